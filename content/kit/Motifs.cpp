#include "content/kit/Motifs.h"

#include <algorithm>
#include <cmath>

#include "content/kit/Noise.h"

namespace {

constexpr float kPi = 3.14159265358979f;

}  // namespace

void StarField(Image& image, uint32_t seed, int count) {
  SeededRandom random(seed);
  for (int i = 0; i < count; ++i) {
    const Point centre{random.Range(0.0f, float(image.width)), random.Range(0.0f, float(image.height))};
    const float brightness = random.Unit();
    const float tint = random.Unit();
    const Colour colour{0.75f + 0.25f * tint, 0.8f + 0.2f * brightness, 1.0f, 1.0f};
    const float size = 0.5f + brightness * brightness * 1.3f;
    SoftDisc(image, centre, size * 0.6f, 1.0f, colour.WithAlpha(0.35f + 0.65f * brightness), Blend::kAdd);
    if (brightness > 0.93f) Glow(image, centre, size * 6.0f, colour.Scaled(0.35f));
  }
}

void Nebula(Image& image, uint32_t seed, const Colour& first, const Colour& second, float strength, float scale) {
  const int32_t period = int32_t(std::lround(float(image.width) / scale));
  PaintArea(
      image, 0, 0, int(image.width), int(image.height),
      [&](float x, float y, Colour& out) {
        const float cloud = FractalNoise(x / scale, y / scale, seed, 5, period);
        const float hue = FractalNoise(x / scale, y / scale, seed + 17u, 3, period);
        const float density = std::max(0.0f, cloud - 0.42f) * 1.7f;
        out = Mix(first, second, hue * 1.6f - 0.3f);
        return density * density * strength;
      },
      Blend::kAdd);
}

void GemIcon(const Canvas& canvas, float x, float y, float radius, const Colour& colour) {
  const Point centre = canvas.At(x, y);
  const float rx = radius * canvas.sx, ry = radius * canvas.sy;
  auto corner = [&](float scale, int i) {
    const float angle = kPi / 8.0f + kPi / 4.0f * float(i);
    return Point{centre.x + rx * scale * std::cos(angle), centre.y + ry * scale * std::sin(angle)};
  };
  Glow(canvas.image, centre, rx * 1.8f, colour.Scaled(0.35f), Blend::kAdd);
  // Facets lit from the top left get lighter, those facing away darker.
  for (int i = 0; i < 8; ++i) {
    const float facing = std::cos(kPi / 4.0f * (float(i) + 1.0f) + kPi / 4.0f);
    const Colour shade = facing > 0.0f ? Mix(colour, Colour{1, 1, 1, 1}, facing * 0.45f)
                                       : Mix(colour, Colour{0, 0, 0, 1}, -facing * 0.55f);
    SoftPolygon(canvas.image, {corner(1.0f, i), corner(1.0f, i + 1), corner(0.6f, i + 1), corner(0.6f, i)}, 1.0f,
                shade);
  }
  std::vector<Point> table;
  for (int i = 0; i < 8; ++i) table.push_back(corner(0.6f, i));
  SoftPolygon(canvas.image, table, 1.0f, Mix(colour, Colour{1, 1, 1, 1}, 0.2f));
  // A glint on the table.
  Glow(canvas.image, {centre.x - rx * 0.25f, centre.y - ry * 0.25f}, rx * 0.35f, {1, 1, 1, 0.8f});
}

void Twinkle(const Canvas& canvas, float x, float y, float radius, const Colour& colour) {
  const Point centre = canvas.At(x, y);
  const float rx = radius * canvas.sx, ry = radius * canvas.sy;
  Glow(canvas.image, centre, rx * 0.6f, colour);
  for (int arm = 0; arm < 2; ++arm) {
    const Point a = arm == 0 ? Point{centre.x - rx, centre.y} : Point{centre.x, centre.y - ry};
    const Point b = arm == 0 ? Point{centre.x + rx, centre.y} : Point{centre.x, centre.y + ry};
    SoftLine(canvas.image, a, b, std::max(1.0f, rx * 0.05f), std::max(1.0f, rx * 0.08f), colour.Scaled(0.8f),
             Blend::kAdd);
  }
  SoftDisc(canvas.image, centre, std::max(1.0f, rx * 0.08f), 1.0f, {1, 1, 1, 1}, Blend::kAdd);
}
