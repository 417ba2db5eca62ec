// The developer drawings on a real (offscreen) 400 x 300 window: half the
// 800 x 600 overlay, so one overlay unit is half a pixel. Scene drawings use
// an orthographic view 300 x 225 units wide around the origin.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "engine/app/DeveloperViews.h"
#include "engine/foundation/ValueStepper.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/tests/support/DisplayTestWindow.h"
#include "engine/runtime/display/Display.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/tests/support/SquareModel.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
// Pixels per world unit of the scene view.
constexpr float kPixelsPerUnit = kWidth / 300.0f;

struct Rgba {
  uint8_t r, g, b, a;
};

bool IsBlack(const Rgba& p) { return p.r < 8 && p.g < 8 && p.b < 8; }
bool IsRed(const Rgba& p) { return p.r > 200 && p.g < 60 && p.b < 60; }
bool IsGreen(const Rgba& p) { return p.g > 200 && p.r < 60 && p.b < 60; }
bool IsBlue(const Rgba& p) { return p.b > 200 && p.r < 60 && p.g < 60; }
bool IsWhite(const Rgba& p) { return p.r > 200 && p.g > 200 && p.b > 200; }
// White at alpha 0.75 over black, or brighter.
bool IsLight(const Rgba& p) { return p.r > 150 && p.g > 150 && p.b > 150; }
// (1, 0.5, 0) at alpha 0.75 over black.
bool IsOrange(const Rgba& p) { return p.r > 150 && p.g > 60 && p.g < 130 && p.b < 30; }
bool IsMagenta(const Rgba& p) { return p.r > 100 && p.b > 100 && p.g < 40; }

class DeveloperViewsDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    display_.Open("Developer views", kWidth, kHeight);
    if (HasFatalFailure()) return;
    SceneView();
    Clear();
  }

  void TearDown() override {
    model_.reset();
    display_.Close();
  }

  static void SceneView() { GFXDisplay::SetProjection(1, -150.0f, 150.0f, -112.5f, 112.5f, -1000.0f, 1000.0f); }

  static void Clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Every pixel, rows from the bottom as GL reads them.
  static std::vector<Rgba> Frame() {
    std::vector<Rgba> pixels(size_t(kWidth * kHeight));
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  // Pixels matching inside [x0, x1) x [y0, y1), y counted down from the top
  // (the whole frame by default).
  static int Count(const std::function<bool(const Rgba&)>& match, int x0 = 0, int y0 = 0, int x1 = kWidth,
                   int y1 = kHeight) {
    const std::vector<Rgba> pixels = Frame();
    int count = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        if (match(pixels[size_t((kHeight - 1 - y) * kWidth + x)])) ++count;
      }
    }
    return count;
  }

  static int CountNotBlack() {
    return Count([](const Rgba& p) { return !IsBlack(p); });
  }

  // The pixel of a world point on the z = 0 plane of the scene view.
  static Rgba ScenePixel(float x, float y) {
    Rgba p{};
    glReadPixels(int(kWidth / 2 + x * kPixelsPerUnit), int(kHeight / 2 + y * kPixelsPerUnit), 1, 1, GL_RGBA,
                 GL_UNSIGNED_BYTE, &p);
    return p;
  }

  // Pixels matching within a pixel of a world point on the z = 0 plane (lines
  // fall on either side of a pixel boundary).
  static int CountNear(const std::function<bool(const Rgba&)>& match, float x, float y) {
    const int px = int(kWidth / 2 + x * kPixelsPerUnit);
    const int py = kHeight - 1 - int(kHeight / 2 + y * kPixelsPerUnit);
    return Count(match, px - 1, py - 1, px + 2, py + 2);
  }

  // A texture of rows of solid colour, the first row at the image's top.
  static CTEXTexture* StripedTexture(const char* name, const std::vector<Rgba>& topToBottom) {
    CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture(name);
    const uint32_t side = uint32_t(topToBottom.size());
    std::vector<uint8_t> texels;
    // Texel rows count up from v = 0, the bottom of the image.
    for (uint32_t row = side; row-- > 0;) {
      for (uint32_t x = 0; x < side; ++x)
        texels.insert(texels.end(), {topToBottom[row].r, topToBottom[row].g, topToBottom[row].b});
    }
    texture->SetMipmap(false);
    EXPECT_TRUE(texture->CreateBlank(side, side, texels.data()));
    return texture;
  }

  // A material of one textured stage, with the side and stage flags the
  // application gives its logos and ground.
  static CMATMaterial* TexturedMaterial(const char* name, CTEXTexture* texture, uint32_t sides, uint32_t stageFlags) {
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(name);
    material->SetSides(sides);
    CMATStage* stage = material->GetStage(0);
    stage->flags = StageFlag::MAP | StageFlag::SOLID | stageFlags;
    stage->texture = texture;
    return material;
  }

  // Font 0 cut from an all-white sheet: every character a white 16 x 16
  // cell, 8 units apart.
  static int WhiteFont() {
    const int index = GFXDisplay::NewFont();
    GFXFont* font = GFXDisplay::GetFont(index);
    font->type = GFXFont::kBitmap;
    font->material = CMATManager::GetInstance()->GetMaterial("whitefont");
    font->material->GetStage(0)->texture = StripedTexture("whitesheet", std::vector<Rgba>(64, {255, 255, 255, 255}));
    PrepareFontMaterial(font->material, 0);
    for (int c = 32; c < 128; ++c) font->widths[c] = 8;
    font->BuildLists();
    EXPECT_FALSE(font->rebuild);
    return index;
  }

  // One component: a white square over x -100..0, y -50..50, wound
  // clockwise (a front face) as the engine's models are.
  C3MEModel& SquareModel() {
    model_ = std::make_unique<C3MEModel>();
    C3MEModel& model = *model_;
    const float corners[4][2] = {{-100, 50}, {0, 50}, {-100, -50}, {0, -50}};
    BuildSquareModel(model, corners, "plain", StageFlag::INITIAL);
    C3MEMesh& mesh = model.meshes[0];
    mesh.volumeKind = C3MEMesh::kCuboid;
    mesh.box.min = Vector3(-100, -50, -1);
    mesh.box.max = Vector3(0, 50, 1);
    model.ComputeBounds();
    return model;
  }

  static int ModelviewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
  }

  DisplayTestWindow display_;
  std::unique_ptr<C3MEModel> model_;
};

TEST_F(DeveloperViewsDevice, AxesDrawOnlyTheMaskedAxesInTheirColours) {
  const struct {
    uint8_t mask;
    bool red, green, blue;
  } cases[] = {
      {0, false, false, false},
      {0x8, false, false, false},  // no axis bit
      {AxisBit::X, true, false, false},
      {AxisBit::Y | AxisBit::Z, false, true, true},
      {AxisBit::X | AxisBit::Y | AxisBit::Z, true, true, true},
  };
  for (const auto& c : cases) {
    Clear();
    GFXDisplay::SetRenderState(RenderFlag::STARTUP);
    // Turned so that Z does not point at the viewer.
    glLoadIdentity();
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-30.0f, 0.0f, 1.0f, 0.0f);
    DrawAxes(c.mask, false, 1.0f, 0);
    EXPECT_EQ(Count(IsRed) > 0, c.red) << int(c.mask);
    EXPECT_EQ(Count(IsGreen) > 0, c.green) << int(c.mask);
    EXPECT_EQ(Count(IsBlue) > 0, c.blue) << int(c.mask);
    if (!c.red && !c.green && !c.blue) {
      EXPECT_EQ(CountNotBlack(), 0) << int(c.mask);
      EXPECT_EQ(GFXDisplay::GetRenderState(), RenderFlag::STARTUP) << "an empty mask applies nothing";
    }
  }

  // Seen straight on, the X axis runs through the middle row, scaled.
  Clear();
  glLoadIdentity();
  DrawAxes(AxisBit::X, false, 0.5f, 0);
  EXPECT_GT(CountNear(IsRed, 40.0f, 0.0f), 0);
  EXPECT_GT(CountNear(IsRed, -40.0f, 0.0f), 0);
  EXPECT_EQ(CountNear(IsRed, 60.0f, 0.0f), 0) << "past 100 x 0.5";
  EXPECT_EQ(CountNear(IsRed, 40.0f, 10.0f), 0);
}

TEST_F(DeveloperViewsDevice, AxisLabelsAppearOnlyWithAFontAndTheSwitch) {
  auto redWithLabels = [](bool labels) {
    Clear();
    glLoadIdentity();
    DrawAxes(AxisBit::X, labels, 1.0f, 0);
    return Count(IsRed);
  };
  const int bare = redWithLabels(false);
  ASSERT_GT(bare, 0);
  EXPECT_EQ(redWithLabels(true), bare) << "no font: no labels";
  WhiteFont();
  EXPECT_EQ(redWithLabels(false), bare);
  // The labels are printed in the axis colour below the line (overlay y
  // grows downwards from the projected point): only there does red grow.
  const int labelled = redWithLabels(true);
  EXPECT_GT(labelled, bare);
  const int labelBand = Count(IsRed, 0, kHeight / 2 + 3, kWidth, kHeight / 2 + 10);
  EXPECT_GT(labelBand, 0);
  EXPECT_EQ(GFXDisplay::GetFont(0)->colour[0], 1.0f);
  EXPECT_EQ(GFXDisplay::GetFont(0)->colour[1], 1.0f) << "the font's colour is given back";
}

TEST_F(DeveloperViewsDevice, StatusTextIsDrawnOnlyWhenSetAndNotEmpty) {
  auto drawStatus = [&](const char* text) {
    Clear();
    display_->BeginOrtho2D(nullptr);
    DrawStatusText(text);
    display_->EndOrtho2D();
  };
  drawStatus("8");
  EXPECT_EQ(CountNotBlack(), 0) << "no font yet";

  WhiteFont();
  for (const char* text : {static_cast<const char*>(nullptr), ""}) {
    drawStatus(text);
    EXPECT_EQ(CountNotBlack(), 0);
  }
  drawStatus("8");
  // One character cell from (16, 560): pixels from (8, 280), 8 high.
  const int orange = Count(IsOrange);
  EXPECT_GT(orange, 40);
  EXPECT_EQ(Count(IsOrange, 8, 280, 40, 288), orange);
  const GFXFont* font = GFXDisplay::GetFont(0);
  EXPECT_EQ(font->colour[1], 1.0f);
  EXPECT_EQ(font->colour[3], 1.0f) << "the font's colour is given back";
}

TEST_F(DeveloperViewsDevice, LogosNeedBothMaterialsAndSitUprightAtTheBottomRight) {
  const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};
  // The application marks logo materials front-sided and their stages punched.
  CMATMaterial* maker = TexturedMaterial("maker", StripedTexture("makertex", {red, red, green, green}),
                                         MaterialSide::FRONT, StageFlag::PUNCH | StageFlag::FRONT);
  CMATMaterial* engine = TexturedMaterial("engine", StripedTexture("enginetex", {blue, blue, blue, blue}),
                                          MaterialSide::FRONT, StageFlag::PUNCH | StageFlag::FRONT);
  ValueStepper turn;
  turn.Set(ValueStepper::kWrap, 0.0f, 360.0f, 0.0f, 0.0f);
  auto drawLogos = [&](CMATMaterial* a, CMATMaterial* b) {
    Clear();
    display_->BeginOrtho2D(nullptr);
    DrawLogos(a, b, turn, 0.5f, 0);
    display_->EndOrtho2D();
  };

  drawLogos(nullptr, engine);
  drawLogos(maker, nullptr);
  EXPECT_EQ(CountNotBlack(), 0);
  EXPECT_EQ(turn.value, 0.0f);

  WhiteFont();
  drawLogos(maker, engine);
  EXPECT_FLOAT_EQ(turn.value, 18.0f);  // 0.5 s x 36 degrees
  // Maker logo: overlay x 736..800, y 515..579, pixels (368..400, 257..289),
  // red over its top half.
  EXPECT_EQ(Count(IsRed, 368, 258, 400, 272), 32 * 14);
  EXPECT_EQ(Count(IsGreen, 368, 274, 400, 289), 32 * 15);
  // Engine logo: overlay x 666..730, pixels (333..365).
  EXPECT_EQ(Count(IsBlue, 333, 258, 365, 289), 32 * 31);
  EXPECT_EQ(Count(IsBlue, 366, 250, kWidth, kHeight), 0);
  // The web address in translucent white from (665, 582): pixels from (332, 291).
  EXPECT_GT(Count(IsLight, 332, 291, kWidth, kHeight), 0);
  EXPECT_EQ(Count(IsLight, 0, 0, kWidth, 291), 0);
}

TEST_F(DeveloperViewsDevice, ModelViewerModesTurnsAndKeepsTheMatrixStack) {
  ValueStepper turn;
  turn.Set(ValueStepper::kWrap, 0.0f, 360.0f, 0.0f, 0.0f);
  ModelViewerView view;
  view.turn = &turn;
  view.frameTime = 10.0f / 36.0f;  // ten degrees
  const int depth = ModelviewDepth();

  // No model: nothing drawn, nothing turned.
  view.turning = true;
  DrawModelViewer(view);
  EXPECT_EQ(CountNotBlack(), 0);
  EXPECT_EQ(turn.value, 0.0f);

  view.model = &SquareModel();
  // The application's word culls back faces; a turned model needs both.
  constexpr GFXRenderFlags kDoubleSided = RenderFlag::DEPTHTEST | RenderFlag::SOLID | RenderFlag::DBLSIDED;
  const struct {
    uint8_t mode;
    bool turning;
    float startDegrees;
    GFXRenderFlags word;
    // Where white shows: inside the square, and inside its mirror image.
    bool left, right;
  } cases[] = {
      {0, false, 0.0f, 0x82c, true, false},
      {7, false, 0.0f, 0x82c, true, false},  // unknown modes draw normally
      {ModelViewerMode::kMoved, false, 0.0f, 0x82c, false, true},
      {0, true, 170.0f, kDoubleSided, false, true},  // turned to 180 degrees: mirrored
      {0, true, 355.0f, kDoubleSided, true, false},  // wraps back to 0
  };
  view.offset = Vector3(100.0f, 0.0f, 0.0f);
  for (const auto& c : cases) {
    Clear();
    glLoadIdentity();
    view.drawMode = c.mode;
    view.turning = c.turning;
    view.renderState = c.word;
    turn.value = c.startDegrees;
    DrawModelViewer(view);
    EXPECT_EQ(IsWhite(ScenePixel(-75.0f, 25.0f)), c.left) << int(c.mode) << " " << c.startDegrees;
    EXPECT_EQ(IsWhite(ScenePixel(75.0f, 25.0f)), c.right) << int(c.mode) << " " << c.startDegrees;
    EXPECT_EQ(ModelviewDepth(), depth);
    EXPECT_EQ(GFXDisplay::GetRenderState(), view.renderState);
  }
  EXPECT_FLOAT_EQ(turn.value, 0.0f);

  // Every developer mode leaves the matrix and the caller's word as found.
  view.turning = false;
  view.renderState = 0x82c;
  for (uint8_t mode = 1; mode <= 6; ++mode) {
    Clear();
    view.drawMode = mode;
    DrawModelViewer(view);
    EXPECT_EQ(ModelviewDepth(), depth) << int(mode);
    EXPECT_EQ(GFXDisplay::GetRenderState(), view.renderState) << int(mode);
    EXPECT_GT(CountNotBlack(), 0) << int(mode);
  }

  // The wire outline: the square's left edge in thick lines, its inside
  // (away from the strip's diagonal) open; the fill comes back after.
  Clear();
  view.drawMode = ModelViewerMode::kWireOutline;
  DrawModelViewer(view);
  EXPECT_GT(CountNear(IsWhite, -100.0f, 25.0f), 0);
  EXPECT_TRUE(IsBlack(ScenePixel(-75.0f, 25.0f)));
  GLint fill[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, fill);
  EXPECT_EQ(fill[0], GL_FILL);
  EXPECT_EQ(fill[1], GL_FILL);
  // The flat silhouette is translucent white.
  Clear();
  view.drawMode = ModelViewerMode::kFlat;
  DrawModelViewer(view);
  const Rgba flat = ScenePixel(-75.0f, 25.0f);
  EXPECT_NEAR(flat.r, 128, 8);
}

TEST_F(DeveloperViewsDevice, GroundPlaneFacesUpAndLeavesPolygonOffsetOff) {
  DrawGroundPlane(nullptr);
  EXPECT_EQ(CountNotBlack(), 0);

  const Rgba white{255, 255, 255, 255};
  // The application's ground: both sides, a blended stage.
  CMATMaterial* ground =
      TexturedMaterial("ground", StripedTexture("groundtex", {white, white}), MaterialSide::FRONT | MaterialSide::BACK,
                       StageFlag::FRONT | StageFlag::BACK | StageFlag::BLEND);
  const struct {
    float tilt;  // degrees about X: 90 looks down from above
    bool seen;
  } cases[] = {{90.0f, true}, {-90.0f, false}};
  for (const auto& c : cases) {
    Clear();
    glLoadIdentity();
    glRotatef(c.tilt, 1.0f, 0.0f, 0.0f);
    DrawGroundPlane(ground);
    const Rgba centre = ScenePixel(0.0f, 0.0f);
    if (c.seen) {
      EXPECT_NEAR(centre.r, 191, 8) << "white at 0.75 over black";
      // +-50 units square.
      EXPECT_TRUE(IsBlack(ScenePixel(55.0f, 0.0f)));
    } else {
      EXPECT_TRUE(IsBlack(centre)) << "the underside is culled";
    }
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  }
}

TEST_F(DeveloperViewsDevice, LightGizmosRingEnabledLightsOnly) {
  GFXDisplay::SetViewVectors({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 500});
  for (int n = 0; n < kStaticLightCount; ++n) GetLight(n)->enabled = 0;
  glLoadIdentity();
  DrawLightGizmos();
  EXPECT_EQ(CountNotBlack(), 0);

  GetLight(3)->enabled = 1;
  GetLight(3)->SetPosition(Vector3(50.0f, 0.0f, 0.0f));
  DrawLightGizmos();
  // Radius 10 around (50, 0): on the ring, not at its centre.
  EXPECT_TRUE(IsMagenta(ScenePixel(60.0f, 0.0f)) || IsMagenta(ScenePixel(59.5f, 0.0f)));
  EXPECT_TRUE(IsBlack(ScenePixel(50.0f, 0.0f)));
  EXPECT_EQ(Count(IsMagenta, 0, 0, kWidth / 2, kHeight), 0);
  GetLight(3)->enabled = 0;
}

}  // namespace
