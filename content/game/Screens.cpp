#include "content/game/Screens.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "content/game/GameDataNames.h"
#include "content/kit/Gradient.h"
#include "content/kit/Motifs.h"
#include "content/kit/StyledText.h"
#include "game/shell/ShellResources.h"

namespace {

// The screens the game draws at 800 x 600 are painted 1024 x 512, pre-stretched.
constexpr uint32_t kScreenWidth = 1024, kScreenHeight = 512;
constexpr float kVirtualWidth = 800.0f, kVirtualHeight = 600.0f;

// The rainbow colours of the gems, in rainbow order.
const Colour kGemColours[7] = {{0.95f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.05f}, {1.0f, 0.85f, 0.1f}, {0.15f, 0.8f, 0.2f},
                               {0.1f, 0.8f, 0.9f},  {0.15f, 0.3f, 1.0f}, {0.5f, 0.15f, 0.85f}};

struct Fonts {
  TextPainter regular;
  TextPainter bold;
};

// Text in screen units: sizes and positions of the 800 x 600 screen.
void Write(const Canvas& canvas, const TextPainter& painter, const std::string& text, float x, float baseline,
           float size, const TextStyle& style) {
  DrawText(canvas.image, painter, text, x * canvas.sx, baseline * canvas.sy, int(std::lround(size * canvas.sx)),
           int(std::lround(size * canvas.sy)), style);
}

TextStyle Title(const Colour& top, const Colour& bottom, const Colour& glow) {
  TextStyle style;
  style.top = top;
  style.bottom = bottom;
  style.outline = {0.02f, 0.02f, 0.08f, 0.9f};
  style.outlineWidth = 2.0f;
  style.glow = glow;
  style.glowRadius = 6;
  style.bevel = 2.0f;
  return style;
}

TextStyle Plain(const Colour& colour) {
  TextStyle style;
  style.top = style.bottom = colour;
  style.outline = {0.0f, 0.0f, 0.05f, 0.7f};
  style.outlineWidth = 1.0f;
  return style;
}

// A deep space backdrop: a gradient, clouds and stars.
Image SpaceBackdrop(uint32_t width, uint32_t height, uint32_t seed, const Colour& top, const Colour& bottom,
                    const Colour& cloudA, const Colour& cloudB) {
  Image image(width, height);
  VerticalGradient(image, top, bottom);
  Nebula(image, seed, cloudA, cloudB, 0.9f, float(width) / 5.0f);
  StarField(image, seed + 1u, int(width * height / 900));
  return image;
}

Image TitleBanner(const Fonts& fonts) {
  // Drawn 800 x 272 over the turning galaxy of the menus: a soft dark band
  // behind the title and its row of gems, transparent towards its edges.
  // The front end writes over the lower part ("Welcome" and the high
  // scores' title from y = 184, the profile page's headings from 172), so
  // nothing is painted from kTitlePictureClearFrom down.
  Image image(1024, 256);
  Canvas canvas(image, kTitlePictureWidth, kTitlePictureHeight);
  const float clearRow = kTitlePictureClearFrom * canvas.sy;
  PaintArea(image, 0, 0, 1024, int(std::ceil(clearRow)), [clearRow](float x, float y, Colour& out) {
    out = {0.02f, 0.01f, 0.08f, 1.0f};
    const float across = std::sin(3.14159265f * x / 1024.0f);
    const float down = std::sin(3.14159265f * std::min(y / clearRow, 1.0f));
    return 0.6f * std::sqrt(across) * down * down;
  });
  Write(canvas, fonts.bold, "NOVALITHS", 400.0f, 110.0f, 100.0f,
        Title({1.0f, 0.97f, 0.8f}, {1.0f, 0.6f, 0.15f}, {1.0f, 0.45f, 0.1f, 0.55f}));
  // Each gem's glow reaches 1.8 radii: the row ends above the clear band.
  for (int i = 0; i < 7; ++i) GemIcon(canvas, 160.0f + 80.0f * float(i), 143.0f, 13.0f, kGemColours[i]);
  Twinkle(canvas, 628.0f, 34.0f, 24.0f, {1.0f, 0.9f, 0.6f});
  Twinkle(canvas, 168.0f, 28.0f, 13.0f, {0.7f, 0.8f, 1.0f});
  return image;
}

Image StudioScreen(const Fonts& fonts) {
  Image image = SpaceBackdrop(kScreenWidth, kScreenHeight, 21, {0.0f, 0.0f, 0.02f}, {0.02f, 0.03f, 0.1f},
                              {0.1f, 0.15f, 0.4f}, {0.25f, 0.1f, 0.35f});
  Canvas canvas(image, kVirtualWidth, kVirtualHeight);
  // The studio's mark: a ring around a bold V of two light strokes.
  const Point centre = canvas.At(400.0f, 230.0f);
  const float r = 110.0f;
  Glow(image, centre, r * 1.6f * canvas.sx, {0.15f, 0.3f, 0.6f});
  SoftRing(image, centre, r * canvas.sy, 6.0f, 2.0f, {0.7f, 0.85f, 1.0f});
  const Point left = canvas.At(340.0f, 170.0f), right = canvas.At(460.0f, 170.0f), tip = canvas.At(400.0f, 300.0f);
  SoftLine(image, left, tip, 16.0f, 2.0f, {0.95f, 0.97f, 1.0f});
  SoftLine(image, right, tip, 16.0f, 2.0f, {0.95f, 0.97f, 1.0f});
  Write(canvas, fonts.bold, "VELK", 400.0f, 440.0f, 78.0f,
        Title({1.0f, 1.0f, 1.0f}, {0.55f, 0.7f, 1.0f}, {0.2f, 0.4f, 1.0f, 0.5f}));
  Write(canvas, fonts.regular, "S O F T W A R E   S T U D I O", 400.0f, 490.0f, 26.0f, Plain({0.75f, 0.82f, 1.0f}));
  return image;
}

Image EngineScreen(const Fonts& fonts) {
  Image image(kScreenWidth, kScreenHeight);
  VerticalGradient(image, {0.0f, 0.05f, 0.06f}, {0.0f, 0.0f, 0.0f});
  Canvas canvas(image, kVirtualWidth, kVirtualHeight);
  // A wire-frame pyramid: the engine draws in three dimensions.
  const Point apex = canvas.At(400.0f, 100.0f), baseLeft = canvas.At(300.0f, 330.0f),
              baseRight = canvas.At(500.0f, 330.0f), baseBack = canvas.At(430.0f, 270.0f);
  const Colour line{0.3f, 1.0f, 0.85f};
  Glow(image, canvas.At(400.0f, 240.0f), 220.0f * canvas.sx, {0.0f, 0.25f, 0.22f});
  for (const auto& [a, b] : std::vector<std::pair<Point, Point>>{{apex, baseLeft},
                                                                 {apex, baseRight},
                                                                 {apex, baseBack},
                                                                 {baseLeft, baseRight},
                                                                 {baseRight, baseBack},
                                                                 {baseBack, baseLeft}}) {
    SoftLine(image, a, b, 4.0f, 2.0f, line, Blend::kAdd);
  }
  for (const Point& p : {apex, baseLeft, baseRight, baseBack}) SoftDisc(image, p, 6.0f, 2.0f, {1, 1, 1}, Blend::kAdd);
  Write(canvas, fonts.regular, "powered by", 400.0f, 400.0f, 26.0f, Plain({0.6f, 0.8f, 0.8f}));
  Write(canvas, fonts.bold, "VYRE", 400.0f, 490.0f, 96.0f,
        Title({0.85f, 1.0f, 0.95f}, {0.1f, 0.75f, 0.65f}, {0.0f, 0.8f, 0.7f, 0.45f}));
  Write(canvas, fonts.regular, "real-time 3D engine", 400.0f, 535.0f, 22.0f, Plain({0.55f, 0.75f, 0.75f}));
  return image;
}

Image InstructionsScreen(const Fonts& fonts) {
  Image image = SpaceBackdrop(kScreenWidth, kScreenHeight, 31, {0.02f, 0.02f, 0.08f}, {0.0f, 0.0f, 0.02f},
                              {0.2f, 0.08f, 0.35f}, {0.05f, 0.15f, 0.35f});
  Canvas canvas(image, kVirtualWidth, kVirtualHeight);
  // Two darker panels behind the text.
  for (float x : {30.0f, 410.0f}) {
    PaintArea(image, int(x * canvas.sx), int(120.0f * canvas.sy), int((x + 360.0f) * canvas.sx),
              int(560.0f * canvas.sy), [](float, float, Colour& out) {
                out = {0.0f, 0.0f, 0.05f, 1.0f};
                return 0.55f;
              });
  }
  Write(canvas, fonts.bold, "HOW TO PLAY", 400.0f, 82.0f, 52.0f,
        Title({1.0f, 0.97f, 0.8f}, {1.0f, 0.65f, 0.2f}, {1.0f, 0.5f, 0.1f, 0.45f}));
  const TextStyle heading = Title({0.8f, 0.95f, 1.0f}, {0.3f, 0.6f, 1.0f}, {0, 0, 0, 0});
  const TextStyle body = Plain({0.92f, 0.92f, 0.98f});
  Write(canvas, fonts.bold, "Controls", 210.0f, 165.0f, 30.0f, heading);
  Write(canvas, fonts.bold, "Rules", 590.0f, 165.0f, 30.0f, heading);
  const char* controls[] = {"Up and Down arrows",
                            "turn the disc",
                            "",
                            "Z",
                            "drops the next gem",
                            "",
                            "Escape",
                            "pauses the game",
                            "",
                            "Joystick: up and down turn,",
                            "any button drops"};
  const char* rules[] = {"Three or more touching gems",   "of one colour break.",     "Same shape too: more points.",
                         "Black gems join any colour.",   "White gems count down.",   "Gold scores extra.",
                         "Seven groups in rainbow order", "make a rainbow.",          "Keep the disc from filling up.",
                         "Rebuild each constellation,",   "star by star, within par."};
  float y = 205.0f;
  for (const char* line : controls) {
    Write(canvas, fonts.regular, line, 210.0f, y, 21.0f, body);
    y += 30.0f;
  }
  y = 205.0f;
  for (const char* line : rules) {
    Write(canvas, fonts.regular, line, 590.0f, y, 21.0f, body);
    y += 30.0f;
  }
  for (int i = 0; i < 7; ++i) GemIcon(canvas, 130.0f + 90.0f * float(i), 578.0f, 14.0f, kGemColours[i]);
  return image;
}

Image CompletedScreen(const Fonts& fonts, bool onPar) {
  const Colour glow = onPar ? Colour{1.0f, 0.75f, 0.2f} : Colour{0.4f, 0.6f, 1.0f};
  Image image = SpaceBackdrop(kScreenWidth, kScreenHeight, onPar ? 41 : 51, {0.0f, 0.0f, 0.03f}, {0.03f, 0.02f, 0.08f},
                              glow.Scaled(0.45f), {0.3f, 0.1f, 0.45f});
  Canvas canvas(image, kVirtualWidth, kVirtualHeight);
  // A great five-pointed star, the Novalith, with its crystals around it.
  const Point centre = canvas.At(400.0f, 250.0f);
  Glow(image, centre, 260.0f * canvas.sx, glow.Scaled(0.6f));
  std::vector<Point> star = StarCorners({0.0f, 0.0f}, 130.0f, 55.0f, 5);
  for (Point& p : star) p = canvas.At(400.0f + p.x, 250.0f + p.y);
  SoftPolygon(image, star, 2.0f, onPar ? Colour{1.0f, 0.85f, 0.35f} : Colour{0.85f, 0.9f, 1.0f});
  std::vector<Point> core = StarCorners({0.0f, 0.0f}, 80.0f, 34.0f, 5);
  for (Point& p : core) p = canvas.At(400.0f + p.x, 250.0f + p.y);
  SoftPolygon(image, core, 2.0f, {1.0f, 1.0f, 1.0f, 0.55f});
  for (int i = 0; i < 7; ++i) {
    const float angle = 6.2831853f * float(i) / 7.0f;
    GemIcon(canvas, 400.0f + 200.0f * std::sin(angle), 250.0f - 165.0f * std::cos(angle), 18.0f, kGemColours[i]);
  }
  const Colour top = onPar ? Colour{1.0f, 1.0f, 0.8f} : Colour{1.0f, 1.0f, 1.0f};
  const Colour bottom = onPar ? Colour{1.0f, 0.7f, 0.1f} : Colour{0.5f, 0.7f, 1.0f};
  Write(canvas, fonts.bold, "CHALLENGE COMPLETE", 400.0f, 505.0f, 54.0f, Title(top, bottom, glow.WithAlpha(0.5f)));
  Write(canvas, fonts.regular, onPar ? "Every star rebuilt within par. Perfect!" : "Every constellation shines again.",
        400.0f, 552.0f, 24.0f, Plain({0.9f, 0.9f, 1.0f}));
  return image;
}

}  // namespace

void WriteScreens(DataFolder& folder, const std::string& fontFolder) {
  const Fonts fonts{TextPainter(fontFolder + "/DejaVuSans.ttf"), TextPainter(fontFolder + "/DejaVuSans-Bold.ttf")};
  if (!fonts.regular.Ok() || !fonts.bold.Ok()) {
    folder.Fail();
    return;
  }
  folder.Picture(gamedata::kScreens[0], TitleBanner(fonts));
  folder.OpaquePicture(gamedata::kScreens[1], StudioScreen(fonts));
  folder.OpaquePicture(gamedata::kScreens[2], EngineScreen(fonts));
  folder.OpaquePicture(gamedata::kScreens[3], InstructionsScreen(fonts));
  folder.OpaquePicture(gamedata::kScreens[4], CompletedScreen(fonts, false));
  folder.OpaquePicture(gamedata::kScreens[5], CompletedScreen(fonts, true));
  // The HUD draws this over the whole screen every frame: it shows nothing.
  folder.Picture(gamedata::kScreens[6], Image(4, 4));
}
