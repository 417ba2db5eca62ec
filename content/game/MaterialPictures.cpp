#include "content/game/MaterialPictures.h"

#include <algorithm>
#include <cmath>

#include "content/kit/Gradient.h"
#include "content/kit/Motifs.h"
#include "content/kit/Noise.h"

namespace {

using namespace materialpicture;

constexpr float kPi = 3.14159265358979f;
const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Pale facets the crystal colours tint: cells of slightly different
// brightness, as if the gem's faces caught the light at different angles.
Image CrystalFacet() {
  Image image(256, 256);
  constexpr int kCells = 6;
  PaintArea(image, 0, 0, 256, 256, [](float x, float y, Colour& out) {
    // Nearest and second nearest of a jittered grid of sites (tiling).
    const float u = x / 256.0f * kCells, v = y / 256.0f * kCells;
    float nearest = 1e9f, second = 1e9f;
    int nearestId = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int cx = int(std::floor(u)) + dx, cy = int(std::floor(v)) + dy;
        const int wx = (cx % kCells + kCells) % kCells, wy = (cy % kCells + kCells) % kCells;
        const float sx = float(cx) + HashUnit(wx, wy, 5u), sy = float(cy) + HashUnit(wx, wy, 6u);
        const float d = std::hypot(u - sx, v - sy);
        if (d < nearest) {
          second = nearest;
          nearest = d;
          nearestId = wy * kCells + wx;
        } else if (d < second) {
          second = d;
        }
      }
    }
    const float face = 0.78f + 0.22f * HashUnit(nearestId, 0, 7u);
    const float edge = std::clamp((second - nearest) * 12.0f, 0.0f, 1.0f);
    const float shade = face * (0.85f + 0.15f * edge) + (1.0f - edge) * 0.12f;
    out = {shade, shade, std::min(1.0f, shade * 1.03f), 1.0f};
    return 1.0f;
  });
  return image;
}

// A sphere map of sparkles on black, added over the facets. A facet that
// faces the eye looks up the middle of the map, so the middle stays black:
// flat facets keep their crystal colour and flash only when a sparkle turns
// round to them (the map turns with the galaxy).
Image CrystalGlint() {
  Image image(128, 128);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  Canvas canvas(image, 128.0f, 128.0f);
  Twinkle(canvas, 34.0f, 30.0f, 18.0f, {0.9f, 0.9f, 1.0f});
  Twinkle(canvas, 98.0f, 94.0f, 10.0f, {0.7f, 0.7f, 0.8f});
  Twinkle(canvas, 102.0f, 28.0f, 7.0f, {0.6f, 0.6f, 0.7f});
  Glow(image, {26.0f, 100.0f}, 9.0f, {0.5f, 0.5f, 0.55f});
  Glow(image, {66.0f, 114.0f}, 6.0f, {0.4f, 0.4f, 0.45f});
  return image;
}

// The sky seen from inside its sphere: it wraps round sideways without a
// seam. Two arms of a spiral band wind round it through coloured clouds.
Image Galaxy() {
  constexpr uint32_t kWidth = 1024, kHeight = 512;
  Image image(kWidth, kHeight);
  PaintArea(image, 0, 0, kWidth, kHeight, [](float x, float y, Colour& out) {
    const float turn = 2.0f * kPi * x / float(kWidth);
    const float v = y / float(kHeight);
    float band = 0.0f;
    for (int arm = 0; arm < 2; ++arm) {
      const float centre = 0.5f + 0.13f * std::sin(2.0f * turn + float(arm) * kPi);
      const float distance = (v - centre) / 0.09f;
      band += std::exp(-distance * distance);
    }
    const float clouds = FractalNoise(x / 64.0f, y / 64.0f, 91u, 6, int32_t(kWidth / 64));
    const float tint = FractalNoise(x / 160.0f, y / 160.0f, 92u, 3, int32_t(kWidth / 160));
    const float dust = std::clamp((clouds - 0.35f) * 1.8f, 0.0f, 1.0f);
    const Colour deep{0.01f, 0.01f, 0.04f, 1.0f};
    const Colour violet{0.32f, 0.1f, 0.45f, 1.0f}, blue{0.1f, 0.25f, 0.55f, 1.0f}, glow{0.85f, 0.75f, 0.6f, 1.0f};
    Colour colour = Mix(deep, Mix(violet, blue, tint * 1.5f - 0.25f), dust * (0.25f + 0.75f * std::min(band, 1.0f)));
    colour = Mix(colour, glow, std::min(band, 1.0f) * (0.15f + dust * dust) * 0.6f);
    out = colour;
    return 1.0f;
  });
  // Stars, each also drawn one width over so those on the seam wrap.
  SeededRandom random(93u);
  for (int i = 0; i < 1400; ++i) {
    const float x = random.Range(0.0f, float(kWidth)), y = random.Range(0.0f, float(kHeight));
    const float brightness = random.Unit();
    for (float shift : {-float(kWidth), 0.0f, float(kWidth)}) {
      SoftDisc(image, {x + shift, y}, 0.4f + brightness, 1.0f, {0.9f, 0.92f, 1.0f, 0.3f + 0.7f * brightness},
               Blend::kAdd);
    }
  }
  return image;
}

// Six frames of a twinkling star, 3 across and 2 down, top row first; the
// sprite draws each frame square, so the cells are painted stretched.
Image CompletedStar() {
  Image image(512, 256);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  const float cellWidth = 512.0f / 3.0f, cellHeight = 128.0f;
  for (int frame = 0; frame < 6; ++frame) {
    const float cx = cellWidth * (float(frame % 3) + 0.5f), cy = cellHeight * (float(frame / 3) + 0.5f);
    const float pulse = 0.75f + 0.25f * std::cos(2.0f * kPi * float(frame) / 6.0f);
    Canvas canvas(image, 128.0f, 128.0f);
    canvas.sx = cellWidth / 128.0f;
    canvas.sy = 1.0f;
    Glow(image, {cx, cy}, 40.0f * pulse * canvas.sx, {0.6f, 0.7f, 1.0f});
    Twinkle(canvas, cx / canvas.sx, cy, 56.0f * pulse, {1.0f, 0.95f, 0.8f});
  }
  return image;
}

Image Halo() {
  Image image(128, 128);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  Glow(image, {64.0f, 64.0f}, 64.0f, {1.0f, 0.85f, 0.6f});
  Glow(image, {64.0f, 64.0f}, 30.0f, {0.6f, 0.6f, 0.55f});
  return image;
}

// A bright angular splinter with a soft glow; the particles tint it.
Image Shard() {
  Image image(64, 64);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  Glow(image, {32.0f, 32.0f}, 30.0f, {0.35f, 0.35f, 0.35f});
  SoftPolygon(image, {{30.0f, 8.0f}, {44.0f, 30.0f}, {34.0f, 56.0f}, {20.0f, 34.0f}}, 1.5f, {0.85f, 0.85f, 0.85f},
              Blend::kAdd);
  SoftPolygon(image, {{30.0f, 12.0f}, {38.0f, 30.0f}, {30.0f, 34.0f}}, 1.0f, {0.5f, 0.5f, 0.5f}, Blend::kAdd);
  return image;
}

// A burst of uneven rays round a white-hot core.
Image Burst() {
  Image image(256, 256);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  PaintArea(
      image, 0, 0, 256, 256,
      [](float x, float y, Colour& out) {
        const float dx = x - 128.0f, dy = y - 128.0f;
        const float r = std::hypot(dx, dy) / 128.0f;
        const float angle = std::atan2(dy, dx);
        const float rays = FractalNoise((angle + kPi) / (2.0f * kPi) * 24.0f, 0.5f, 31u, 3, 24);
        const float reach = 0.45f + 0.55f * rays;
        const float t = std::clamp(1.0f - r / reach, 0.0f, 1.0f);
        out = Mix({0.9f, 0.25f, 0.05f, 1.0f}, {1.0f, 0.9f, 0.6f, 1.0f}, t * 1.4f);
        return t * t;
      },
      Blend::kAdd);
  Glow(image, {128.0f, 128.0f}, 60.0f, kWhite);
  return image;
}

// A beam's cross-section: a bright core fading outward, and softly to
// nothing at both ends.
Image Beam(const Colour& colour) {
  Image image(64, 64);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  PaintArea(
      image, 0, 0, 64, 64,
      [&](float x, float y, Colour& out) {
        const float across = (y - 32.0f) / 32.0f, along = (x - 32.0f) / 32.0f;
        const float core = std::exp(-across * across * 18.0f), halo = std::exp(-across * across * 3.0f) * 0.45f;
        const float ends = 1.0f - std::pow(std::fabs(along), 6.0f);
        out = Mix(colour, kWhite, core);
        return (core + halo) * ends;
      },
      Blend::kAdd);
  return image;
}

// The seven rainbow colours in bands, fading at the outer bands.
Image Rainbow() {
  Image image(64, 128);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  const Colour bands[7] = {{1.0f, 0.1f, 0.1f},  {1.0f, 0.5f, 0.05f}, {1.0f, 0.9f, 0.1f}, {0.15f, 0.85f, 0.2f},
                           {0.1f, 0.8f, 0.95f}, {0.2f, 0.35f, 1.0f}, {0.55f, 0.2f, 0.9f}};
  PaintArea(
      image, 0, 0, 64, 128,
      [&](float, float y, Colour& out) {
        const float position = y / 128.0f * 7.0f - 0.5f;
        const int band = std::clamp(int(std::floor(position)), 0, 6);
        out = Mix(bands[band], bands[std::min(band + 1, 6)], position - float(band));
        const float edge = std::sin(kPi * y / 128.0f);
        return std::sqrt(edge);
      },
      Blend::kAdd);
  return image;
}

// A lens flare: six thin rays and a hot centre.
Image Flare() {
  Image image(128, 128);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  Glow(image, {64.0f, 64.0f}, 60.0f, {0.6f, 0.5f, 0.35f});
  for (int ray = 0; ray < 3; ++ray) {
    const float angle = kPi / 3.0f * float(ray) + kPi / 2.0f;
    const Point a{64.0f + 62.0f * std::cos(angle), 64.0f + 62.0f * std::sin(angle)};
    const Point b{64.0f - 62.0f * std::cos(angle), 64.0f - 62.0f * std::sin(angle)};
    SoftLine(image, a, b, 1.5f, 3.0f, {0.8f, 0.75f, 0.6f}, Blend::kAdd);
  }
  Glow(image, {64.0f, 64.0f}, 18.0f, kWhite);
  return image;
}

// The drop marker draws this ring once per stage, each 0.75 times smaller.
Image FocusRing() {
  Image image(128, 128);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  SoftRing(image, {64.0f, 64.0f}, 54.0f, 10.0f, 8.0f, {0.35f, 0.45f, 0.6f}, Blend::kAdd);
  SoftRing(image, {64.0f, 64.0f}, 54.0f, 3.0f, 2.0f, {0.75f, 0.85f, 1.0f}, Blend::kAdd);
  return image;
}

// One gold star with a dark rim on transparent ground (its alpha shows
// earned and unearned achievements).
Image AchievementStar() {
  Image image(64, 64);
  SoftPolygon(image, StarCorners({32.0f, 33.0f}, 31.0f, 14.0f, 5), 1.0f, {0.25f, 0.12f, 0.0f, 1.0f});
  SoftPolygon(image, StarCorners({32.0f, 33.0f}, 27.0f, 11.5f, 5), 1.0f, {1.0f, 0.75f, 0.15f, 1.0f});
  SoftPolygon(image, StarCorners({31.0f, 31.0f}, 15.0f, 6.0f, 5), 1.0f, {1.0f, 0.95f, 0.6f, 0.8f});
  return image;
}

}  // namespace

void WriteMaterialPictures(DataFolder& folder) {
  folder.OpaquePicture(kCrystalFacet, CrystalFacet());
  folder.OpaquePicture(kCrystalGlint, CrystalGlint());
  folder.OpaquePicture(kGalaxy, Galaxy());
  folder.OpaquePicture(kCompletedStar, CompletedStar());
  folder.OpaquePicture(kHalo, Halo());
  folder.OpaquePicture(kShard, Shard());
  folder.OpaquePicture(kBurst, Burst());
  folder.OpaquePicture(kBeam, Beam({0.7f, 0.85f, 1.0f}));
  folder.OpaquePicture(kStarBeam, Beam({1.0f, 0.75f, 0.4f}));
  folder.OpaquePicture(kRainbow, Rainbow());
  folder.OpaquePicture(kFlare, Flare());
  folder.OpaquePicture(kFocusRing, FocusRing());
  folder.Picture(kAchievementStar, AchievementStar());
}
