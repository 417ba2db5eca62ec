// The renderer on a real (offscreen) context: GL start-up, shaders, material
// state, primitives into the statistics, the depth-offset stack, rings,
// lights, and golden pixels for a two-stage quad and a line of grid text.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXGLInternal.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "platform/GlWindow.h"
#include "support/GlTestWindow.h"
#include "support/ScratchRunFolder.h"

namespace {

constexpr int kSide = 32;

// A mesh vertex as the renderer's vertex arrays read it (stride 28).
struct MeshVertex {
  uint8_t colour[4];
  float normal[3];
  float position[3];
};

class RendererDevice : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    GFX_GL::ResetDriverQueries();
    GFX_GL::Start();
    glViewport(0, 0, kSide, kSide);
  }
  void TearDown() override {
    GFXDisplay::DeleteAllFonts();
    GFX_GL::Stop();
    GFXDisplay::ForgetBindings();
    GFXDisplay::SetDefaultMaterial(nullptr);
    CMATManager::DestroyInstance();
    CTEXManager::DestroyInstance();
    GlContextTest::TearDown();
  }

  // Pixel space with y down, as the overlay draws: (0, 0) is the top left.
  static void PixelSpace() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kSide, kSide, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  // RGBA of the pixel at (x, y), y counted down from the top.
  static std::vector<float> Pixel(int x, int y) {
    std::vector<float> rgba(4, -1.0f);
    glReadPixels(x, kSide - 1 - y, 1, 1, GL_RGBA, GL_FLOAT, rgba.data());
    return rgba;
  }

  static void ExpectColour(const std::vector<float>& pixel, float r, float g, float b, const char* where) {
    constexpr float kTolerance = 0.02f;
    EXPECT_NEAR(pixel[0], r, kTolerance) << where;
    EXPECT_NEAR(pixel[1], g, kTolerance) << where;
    EXPECT_NEAR(pixel[2], b, kTolerance) << where;
  }

  // A texture of solid RGB texels made in memory.
  static CTEXTexture* SolidTexture(const char* name, uint32_t side, uint8_t r, uint8_t g, uint8_t b) {
    CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture(name);
    std::vector<uint8_t> texels;
    for (uint32_t i = 0; i < side * side; ++i) texels.insert(texels.end(), {r, g, b});
    texture->SetMipmap(false);
    EXPECT_TRUE(texture->CreateBlank(side, side, texels.data()));
    return texture;
  }
};

TEST_F(RendererDevice, StartBuildsShapesDefaultMaterialAndState) {
  EXPECT_TRUE(GFX_GL::IsStarted());
  for (int slot = 0; slot < 8; ++slot) EXPECT_TRUE(glIsList(GFX_GL::GetShapeList(slot))) << slot;
  EXPECT_EQ(GFXDisplay::GetRenderState(), RenderFlag::STARTUP);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(GlInteger(GL_DEPTH_FUNC), GL_LESS);
  EXPECT_EQ(GlInteger(GL_FRONT_FACE), GL_CW);

  const CMATMaterial* fallback = GFXDisplay::GetDefaultMaterial();
  ASSERT_NE(fallback, nullptr);
  EXPECT_STREQ(fallback->Name().Chars(), "default");
  EXPECT_EQ(fallback->Sides(), 0u);  // drawn double-sided
  const CMATStage* first = fallback->GetStage(0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->mapName.Chars(), "TEXDefault");
  EXPECT_EQ(first->flags & 0x300u, 0x300u);
  EXPECT_EQ(first->currentFrame, 1);

  EXPECT_TRUE(GFX_GL::ShadersSupported());  // llvmpipe offers ARB shader objects
  EXPECT_EQ(GFX_GL::GetShaderCount(), 1);
  EXPECT_EQ(GFX_GL::GetShaderHandle(0), 0u);
}

TEST_F(RendererDevice, RestartAfterStopRebuildsButKeepsOneFixedFunctionEntry) {
  const uint32_t wireSphere = GFX_GL::GetShapeList(2);
  GFX_GL::Stop();
  EXPECT_FALSE(GFX_GL::IsStarted());
  EXPECT_FALSE(glIsList(wireSphere));
  GFX_GL::Stop();  // a second stop does nothing
  LogCapture log(kLogGFX);
  GFX_GL::Start();
  EXPECT_TRUE(log.Has("[GFX_GL] Initialised..."));
  EXPECT_TRUE(glIsList(GFX_GL::GetShapeList(2)));
  EXPECT_EQ(GFX_GL::GetShaderCount(), 1);
  // A start while started only resets the state.
  GFXDisplay::WindingFlag() = 1;
  GFXDisplay::SetRenderState(RenderFlag::WIREFRAME);
  GFX_GL::Start();
  EXPECT_EQ(GlInteger(GL_FRONT_FACE), GL_CCW);
  EXPECT_EQ(GFXDisplay::GetRenderState(), RenderFlag::STARTUP);
  EXPECT_EQ(GFX_GL::GetShaderCount(), 1);
}

class ShaderDevice : public RendererDevice {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    EXPECT_TRUE(run_.WriteText(name, text));
    return name;
  }
  ScratchRunFolder run_;
  const std::string vertexSource_ = "void main() { gl_Position = ftransform(); }\n";
  const std::string pixelSource_ = "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";
};

TEST_F(ShaderDevice, PairInstallsAndBrokenPairStillTakesItsIndex) {
  const std::string vertex = Write("good.vs", vertexSource_);
  const std::string pixel = Write("good.ps", pixelSource_);
  const std::string broken = Write("broken.vs", "void main() { this is not glsl }\n");
  LogCapture log(kLogGFX);
  EXPECT_EQ(GFX_GL::LoadShader(vertex.c_str(), pixel.c_str()), 1);
  EXPECT_TRUE(log.Has("Vertex Shader requested : good.vs"));
  EXPECT_TRUE(log.Has("Pixel Shader requested  : good.ps"));
  EXPECT_TRUE(log.Has("Shader[1] installed."));
  EXPECT_NE(GFX_GL::GetShaderHandle(1), 0u);

  EXPECT_EQ(GFX_GL::LoadShader(broken.c_str(), pixel.c_str()), 2);
  bool compileLogged = false, linkLogged = false;
  for (const std::string& line : log.Lines()) {
    compileLogged = compileLogged || line.rfind("Vertex Shader[2] : Compilation ", 0) == 0;
    linkLogged = linkLogged || line.rfind("Shader[2] : Linking failed - ", 0) == 0;
  }
  EXPECT_TRUE(compileLogged);
  EXPECT_TRUE(linkLogged);
  EXPECT_FALSE(log.Has("Shader[2] installed."));
  EXPECT_EQ(GFX_GL::GetShaderCount(), 3);

  // A stage naming the installed program uses it; a negative index the
  // fixed function.
  GFX_GL::UseShader(1);
  EXPECT_EQ(GLuint(GlInteger(GL_CURRENT_PROGRAM)), GFX_GL::GetShaderHandle(1));
  GFX_GL::UseShader(-1);
  EXPECT_EQ(GlInteger(GL_CURRENT_PROGRAM), 0);

  GFX_GL::DeleteShader(1);
  EXPECT_TRUE(log.Has("Shader[1] deleted"));
  GFX_GL::UseShader(1);  // a deleted entry falls back to the fixed function
  EXPECT_EQ(GlInteger(GL_CURRENT_PROGRAM), 0);
}

TEST_F(ShaderDevice, MissingFilesAndTheTableLimit) {
  const std::string vertex = Write("v.vs", vertexSource_);
  const std::string pixel = Write("p.ps", pixelSource_);
  {
    LogCapture log(kLogGFX);
    EXPECT_EQ(GFX_GL::LoadShader(vertex.c_str(), "absent.ps"), -1);
    EXPECT_TRUE(log.Has("Pixel Shader 'absent.ps' could not be found!"));
    for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("Vertex Shader '"), std::string::npos) << line;
    EXPECT_EQ(GFX_GL::LoadShader("absent.vs", "absent.ps"), -1);
    EXPECT_TRUE(log.Has("Vertex Shader 'absent.vs' could not be found!"));
    EXPECT_EQ(GFX_GL::GetShaderCount(), 1);
  }
  for (int n = 1; n < GFX_GL::kShaderLimit; ++n) ASSERT_EQ(GFX_GL::LoadShader(vertex.c_str(), pixel.c_str()), n);
  LogCapture log(kLogGFX);
  EXPECT_EQ(GFX_GL::LoadShader(vertex.c_str(), pixel.c_str()), -1);
  EXPECT_TRUE(log.Has("Ran out of shader handles! (Limit = 100)"));
}

// A driver that hands out every address but does not advertise the
// fragment-shader extension.
bool NoFragmentShaders(const char* name) {
  return std::string(name) != "GL_ARB_fragment_shader" && platform::IsGlExtensionSupported(name);
}
// A driver missing one of the 39 entry points.
void* NoValidate(const char* name) {
  return std::string(name) == "glValidateProgramARB" ? nullptr : platform::GetGlProcAddress(name);
}

TEST_F(ShaderDevice, UnsupportedDriversRefuseEveryShader) {
  const std::string vertex = Write("v.vs", vertexSource_);
  const std::string pixel = Write("p.ps", pixelSource_);
  const GFX_GL::DriverQueries drivers[] = {{&platform::GetGlProcAddress, &NoFragmentShaders},
                                           {&NoValidate, &platform::IsGlExtensionSupported}};
  for (const GFX_GL::DriverQueries& driver : drivers) {
    GFX_GL::Stop();
    GFX_GL::SetDriverQueries(driver);
    GFX_GL::Start();
    EXPECT_FALSE(GFX_GL::ShadersSupported());
    LogCapture log(kLogGFX);
    EXPECT_EQ(GFX_GL::LoadShader(vertex.c_str(), pixel.c_str()), -1);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Vertex Shader requested : v.vs", "Pixel Shader requested  : p.ps",
                                                     "Shaders are not supported by this device"}));
  }
  GFX_GL::ResetDriverQueries();
}

TEST_F(RendererDevice, MaterialSidesBecomeCullState) {
  const struct {
    uint32_t sides;
    GFXRenderFlags bits;
    bool culling;
    GLenum culledFace;
  } cases[] = {{0, RenderFlag::DBLSIDED, false, 0},
               {MaterialSide::FRONT, RenderFlag::CULLFRONT, true, GL_FRONT},
               {MaterialSide::BACK, RenderFlag::CULLBACK, true, GL_BACK},
               // Both bits: which face the state layer culls depends on the word before.
               {MaterialSide::FRONT | MaterialSide::BACK, RenderFlag::CULLFRONT | RenderFlag::CULLBACK, true, 0}};
  int n = 0;
  for (const auto& c : cases) {
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(("sides" + std::to_string(n++)).c_str());
    material->SetSides(c.sides);
    GFXDisplay::SetRenderState(RenderFlag::STARTUP);
    GFXDisplay::SetMaterial(material);
    EXPECT_EQ(GFXDisplay::GetCurrentMaterial(), material);
    const GFXRenderFlags sideBits = RenderFlag::DBLSIDED | RenderFlag::CULLFRONT | RenderFlag::CULLBACK;
    EXPECT_EQ(GFXDisplay::GetRenderState() & sideBits, c.bits) << c.sides;
    EXPECT_EQ(bool(glIsEnabled(GL_CULL_FACE)), c.culling) << c.sides;
    if (c.culledFace != 0) {
      EXPECT_EQ(GlInteger(GL_CULL_FACE_MODE), int(c.culledFace)) << c.sides;
    }
  }
  // Locked materials: nothing changes.
  GFXDisplay::SetRenderState(RenderFlag::STARTUP | RenderFlag::NOMATERIALS);
  GFXDisplay::SetMaterial(nullptr);
  EXPECT_NE(GFXDisplay::GetCurrentMaterial(), GFXDisplay::GetDefaultMaterial());
}

TEST_F(RendererDevice, StageColourAndStageRange) {
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("tinted");
  material->GetStage(0)->flags = StageFlag::SOLID;
  material->GetStage(0)->colour[0] = 0.25f;
  material->GetStage(0)->colour[3] = 0.5f;
  GFXDisplay::SetMaterial(material);
  GFXDisplay::BindMaterialStage(0);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 1.0f);  // without COLOUR: white with the stage alpha
  EXPECT_FLOAT_EQ(colour[3], 0.5f);
  material->GetStage(0)->flags |= StageFlag::COLOUR;
  GFXDisplay::BindMaterialStage(0);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 0.25f);

  glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
  GFXDisplay::BindMaterialStage(1);  // past the last stage: nothing
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 0.1f);
}

TEST_F(RendererDevice, PrimitivesAndPassesCountIntoTheStatistics) {
  GFXStats* stats = GFXStats::GetInstance();
  stats->EndFrame(1, 60.0f);
  GFXDisplay::DrawRect({0, 0}, {1, 1});
  GFXDisplay::DrawTexturedRect({0, 0}, {1, 1});
  GFXDisplay::DrawRectOutline2D({0, 0}, {1, 1});
  EXPECT_EQ(stats->GetCurrent().counters[GFXStats::kTriangles], 4u);
  EXPECT_EQ(stats->GetCurrent().counters[GFXStats::kLines], 4u);

  stats->EndFrame(2, 60.0f);
  CMATMaterial* threeStages = CMATManager::GetInstance()->GetMaterial("three");
  ASSERT_TRUE(threeStages->AllocateStages(3));
  const MeshVertex vertices[4] = {{{255, 255, 255, 255}, {0, 0, 1}, {0, 0, 0}},
                                  {{255, 255, 255, 255}, {0, 0, 1}, {1, 0, 0}},
                                  {{255, 255, 255, 255}, {0, 0, 1}, {0, 1, 0}},
                                  {{255, 255, 255, 255}, {0, 0, 1}, {1, 1, 0}}};
  const uint16_t strip[4] = {0, 1, 2, 3};
  const uint16_t list[6] = {0, 1, 2, 2, 1, 3};
  GFXDisplay::SetVertexArrays(vertices, nullptr);
  GFXDisplay::DrawMeshGroup(threeStages, 1, 4, strip);  // 2 triangles, 3 passes
  GFXDisplay::DrawMeshGroup(threeStages, 0, 6, list);   // 2 triangles, 3 passes
  GFXDisplay::DrawMeshGroup(threeStages, 0, 2, list);   // too short: skipped
  EXPECT_EQ(stats->GetCurrent().counters[GFXStats::kTriangles], 12u);
  // Materials locked: the caller's stage is in force, one pass.
  stats->EndFrame(3, 60.0f);
  GFXDisplay::SetRenderState(GFXDisplay::GetRenderState() | RenderFlag::NOMATERIALS);
  GFXDisplay::DrawMeshGroup(threeStages, 0, 6, list);
  EXPECT_EQ(stats->GetCurrent().counters[GFXStats::kTriangles], 2u);
  GFXDisplay::SetRenderState(GFXDisplay::GetRenderState() & ~RenderFlag::NOMATERIALS);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

TEST_F(RendererDevice, DepthOffsetStackRestoresTheProjection) {
  GFXDisplay::SetProjection(0, -1, 1, -1, 1, 1, 100);
  GFXDisplay::SetViewVectors({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 10});
  auto m10 = [] {
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    return m[10];
  };
  const float original = m10();
  GFXDisplay::PushDepthOffset();
  EXPECT_NE(m10(), original);
  EXPECT_FLOAT_EQ(m10(), original * GFXDisplay::DepthOffsetFactor(1, 100, GFXDisplay::DepthOffsetSetting(), 10));
  for (int i = 1; i < 17; ++i) GFXDisplay::PushDepthOffset();
  EXPECT_EQ(GFXDisplay::GetDepthOffsetDepth(), 16);
  for (int i = 0; i < 16; ++i) GFXDisplay::PopDepthOffset();
  EXPECT_FLOAT_EQ(m10(), original);
  EXPECT_EQ(GlInteger(GL_MATRIX_MODE), GL_MODELVIEW);
  GFXDisplay::PopDepthOffset();  // the seventeenth pop does nothing
  EXPECT_EQ(GFXDisplay::GetDepthOffsetDepth(), 0);
  EXPECT_FLOAT_EQ(m10(), original);

  // A camera at the origin: no offset rather than a division by zero.
  GFXDisplay::SetViewVectors({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0});
  GFXDisplay::PushDepthOffset();
  EXPECT_FLOAT_EQ(m10(), original);
  GFXDisplay::PopDepthOffset();
}

TEST_F(RendererDevice, RingFacesTheViewerAndSkipsDegenerateViews) {
  GFXStats* stats = GFXStats::GetInstance();
  GFXDisplay::SetProjection(1, -1, 1, -1, 1, -1, 1);
  const struct {
    Vector3 back, right;
    bool drawn;
  } cases[] = {{{0, 0, 1}, {1, 0, 0}, true},
               {{0, 0, 1}, {0, 0, 2}, false},  // right parallel to the view axis
               {{0, 0, 0}, {1, 0, 0}, false},
               {{0, 0, 1}, {0, 0, 0}, false}};
  for (const auto& c : cases) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GFXDisplay::SetViewVectors(c.back, c.right, {0, 1, 0}, {0, 0, 5});
    stats->EndFrame(1, 60.0f);
    GFXDisplay::DrawRing({0, 0, 0}, 0.5f);
    EXPECT_EQ(stats->GetCurrent().counters[GFXStats::kLines], c.drawn ? 36u : 0u);
    // The circle of radius 0.5 facing the viewer crosses the right edge of
    // the middle row (x = 0.5 in view space, a quarter of the window in).
    const std::vector<float> onRing = Pixel(3 * kSide / 4, kSide / 2);
    EXPECT_EQ(onRing[0] > 0.2f, c.drawn);
  }
}

TEST_F(RendererDevice, LightsSendWhatTheyHold) {
  GLfloat value[4];
  GFXLight light;
  light.SetIndex(7);  // drives GL_LIGHT0
  light.ambient[0] = 0.25f;
  light.Apply();  // disabled: nothing sent
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, value);
  EXPECT_FLOAT_EQ(value[0], 0.0f);

  light.SetEnabled(true);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  light.Apply();
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, value);
  EXPECT_FLOAT_EQ(value[0], 0.25f);
  glGetLightfv(GL_LIGHT0, GL_SPECULAR, value);
  EXPECT_FLOAT_EQ(value[0], 1.0f);
  glGetLightfv(GL_LIGHT0, GL_POSITION, value);
  EXPECT_EQ(std::vector<float>(value, value + 4), (std::vector<float>{0, 0, 0, 0}));

  light.SetPosition({0, 1000, 0});
  light.SetDirection(nullptr);  // positional from now on
  light.Apply();
  glGetLightfv(GL_LIGHT0, GL_POSITION, value);
  EXPECT_EQ(std::vector<float>(value, value + 4), (std::vector<float>{0, 1000, 0, 1}));

  const Vector3 down(0, -1, 0);
  light.SetDirection(&down);
  glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, value);
  EXPECT_FLOAT_EQ(value[1], -1.0f);
  light.Apply();
  glGetLightfv(GL_LIGHT0, GL_POSITION, value);
  EXPECT_FLOAT_EQ(value[3], 0.0f);
  EXPECT_EQ(GFXDisplay::ModelviewNesting(), 0);
  light.SetEnabled(false);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
}

TEST_F(RendererDevice, TwoStageTexturedQuadGoldenPixels) {
  CTEXTexture* red = SolidTexture("red", 4, 255, 0, 0);
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("twostage");
  ASSERT_TRUE(material->AllocateStages(2));
  CMATStage* base = material->GetStage(0);
  base->flags = StageFlag::SOLID | StageFlag::MAP;
  base->texture = red;
  CMATStage* glaze = material->GetStage(1);
  glaze->flags = StageFlag::SOLID | StageFlag::COLOUR | StageFlag::BLEND;
  const float green[4] = {0.0f, 1.0f, 0.0f, 0.5f};
  std::copy(green, green + 4, glaze->colour);

  PixelSpace();
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED);
  GFXDisplay::SetMaterial(material);
  for (int pass = 0; pass < GFXDisplay::PassCount(material); ++pass) {
    GFXDisplay::BindMaterialStage(pass);
    GFXDisplay::DrawTexturedRect({0, 0}, {16, 16});
  }
  ExpectColour(Pixel(8, 8), 0.5f, 0.5f, 0.0f, "red under half green");
  ExpectColour(Pixel(24, 24), 0.0f, 0.0f, 1.0f, "background");
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// A depth-tested quad drawn as a mesh group of two stages: a red body and a
// green glaze added over it. The glaze lies exactly on the depth the body
// wrote, so it shows only when passes after the first accept equal depths.
TEST_F(RendererDevice, LaterPassesDrawOverTheDepthTheFirstWrote) {
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("glazed");
  ASSERT_TRUE(material->AllocateStages(2));
  CMATStage* body = material->GetStage(0);
  body->flags = StageFlag::SOLID | StageFlag::COLOUR;
  const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
  std::copy(red, red + 4, body->colour);
  CMATStage* glaze = material->GetStage(1);
  glaze->flags = StageFlag::SOLID | StageFlag::COLOUR | StageFlag::BLEND;
  glaze->blendSource = GL_ONE;
  glaze->blendDestination = GL_ONE;
  const float green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
  std::copy(green, green + 4, glaze->colour);
  // Tilted in depth, so the glaze must match depths that are not all equal.
  const MeshVertex vertices[4] = {{{255, 255, 255, 255}, {0, 0, 1}, {0, 0, 0.3f}},
                                  {{255, 255, 255, 255}, {0, 0, 1}, {16, 0, 0.3f}},
                                  {{255, 255, 255, 255}, {0, 0, 1}, {0, 16, -0.2f}},
                                  {{255, 255, 255, 255}, {0, 0, 1}, {16, 16, -0.2f}}};
  const uint16_t strip[4] = {0, 1, 2, 3};

  // In the scene the depth test is GL_LESS and comes back so; under the
  // overlay's GL_ALWAYS every pass shows anyway and GL_ALWAYS stays.
  for (const GLenum before : {GLenum(GL_LESS), GLenum(GL_ALWAYS)}) {
    PixelSpace();
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED | RenderFlag::DEPTHTEST);
    glDepthFunc(before);
    GFXDisplay::SetMaterial(material);
    GFXDisplay::SetVertexArrays(vertices, nullptr);
    GFXDisplay::DrawMeshGroup(material, 1, 4, strip);
    ExpectColour(Pixel(8, 8), 1.0f, 1.0f, 0.0f, "red body with green glaze added");
    ExpectColour(Pixel(24, 24), 0.0f, 0.0f, 1.0f, "background");
    EXPECT_EQ(GlInteger(GL_DEPTH_FUNC), int(before));
  }
  glDepthFunc(GL_LESS);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

// A 256 x 256 grid font whose "A" cell is white and every other cell grey.
GFXFont* GridFont(CTEXTexture* sheet) {
  const int index = GFXDisplay::NewFont();
  GFXFont* font = GFXDisplay::GetFont(index);
  font->type = GFXFont::kBitmap;
  font->material = CMATManager::GetInstance()->GetMaterial("gridfont");
  font->material->GetStage(0)->texture = sheet;
  PrepareFontMaterial(font->material, 0);
  font->widths['A'] = 16;
  font->widths['B'] = 8;
  return font;
}

CTEXTexture* GridSheet() {
  CTEXTexture* sheet = CTEXManager::GetInstance()->CreateTexture("gridsheet");
  std::vector<uint8_t> texels(256 * 256 * 3, 64);
  // Grid row 0 sits at the top of the sheet (v = 1): "A" (row 4, column 1)
  // covers texel rows 176-191 counted from v = 0.
  for (int y = 176; y < 192; ++y) {
    for (int x = 16; x < 32; ++x) {
      for (int c = 0; c < 3; ++c) texels[size_t((y * 256 + x) * 3 + c)] = 255;
    }
  }
  sheet->SetMipmap(false);
  EXPECT_TRUE(sheet->CreateBlank(256, 256, texels.data()));
  return sheet;
}

TEST_F(RendererDevice, GridTextGoldenPixelsWithShadow) {
  GFXFont* font = GridFont(GridSheet());
  font->BuildLists();
  ASSERT_FALSE(font->rebuild);
  EXPECT_EQ(font->height, 16);
  font->shadow = true;
  font->SetColourValues(1.0f, 0.0f, 0.0f, 1.0f);

  PixelSpace();
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED);
  glShadeModel(GL_SMOOTH);
  font->Print("AB");
  EXPECT_EQ(GlInteger(GL_SHADE_MODEL), GL_SMOOTH);  // the shade model found is restored

  // "A" is a full white cell tinted red, 16 x 16 at the pen.
  ExpectColour(Pixel(0, 0), 1.0f, 0.0f, 0.0f, "glyph A, top left");
  ExpectColour(Pixel(15, 15), 1.0f, 0.0f, 0.0f, "glyph A, bottom right");
  // The shadow pokes out one pixel right and down: black at 0.75 over white.
  ExpectColour(Pixel(8, 16), 0.25f, 0.25f, 0.25f, "shadow below A");
  // "B" (8 wide) follows A and samples the grey sheet: red x 0.25.
  ExpectColour(Pixel(20, 8), 64.0f / 255.0f, 0.0f, 0.0f, "glyph B");
  // Past the pen: only B's shadow column, then the background.
  ExpectColour(Pixel(24, 8), 0.25f, 0.25f, 0.25f, "shadow right of B");
  ExpectColour(Pixel(28, 8), 1.0f, 1.0f, 1.0f, "background");
}

TEST_F(RendererDevice, FontListsRebuildAfterDeletion) {
  GFXFont* font = GridFont(GridSheet());
  GFXDisplay::RebuildFontLists();
  ASSERT_FALSE(font->rebuild);
  const uint32_t base = font->listBase;
  EXPECT_TRUE(glIsList(base + 'A'));
  GFXDisplay::DeleteFontLists();
  EXPECT_TRUE(font->rebuild);
  EXPECT_FALSE(glIsList(base + 'A'));
  GFXDisplay::RebuildFontLists();
  EXPECT_FALSE(font->rebuild);
  EXPECT_TRUE(glIsList(font->listBase + 'A'));

  // A font whose sheet has no size (its load failed) waits for a later pass.
  const int index = GFXDisplay::NewFont();
  GFXFont* broken = GFXDisplay::GetFont(index);
  broken->type = GFXFont::kBitmap;
  broken->material = CMATManager::GetInstance()->GetMaterial("brokenfont");
  broken->material->GetStage(0)->texture = CTEXManager::GetInstance()->CreateTexture("nothing");
  GFXDisplay::RebuildFontLists();
  EXPECT_TRUE(broken->rebuild);
  EXPECT_EQ(broken->listBase, 0u);
}

TEST_F(RendererDevice, SystemFontBecomesBitmapLists) {
  const int index = GFXDisplay::NewFont();
  GFXFont* font = GFXDisplay::GetFont(index);
  font->CreateSystemFont("DejaVu Sans", 16, 0, 700, false, false, false);
  EXPECT_EQ(font->type, GFXFont::kSystem);
  ASSERT_NE(font->listBase, 0u);
  EXPECT_TRUE(glIsList(font->listBase + ('A' - 32)));
  PixelSpace();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  GFXDisplay::SetRenderState(RenderFlag::SOLID);
  glColor4f(1, 1, 1, 1);
  glRasterPos2f(2, 20);
  font->Print("HH");
  float lit = 0.0f;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) lit += Pixel(x, y)[0];
  }
  EXPECT_GT(lit, 10.0f);
  GFXDisplay::DeleteFontLists();
  EXPECT_TRUE(font->rebuild);
  GFXDisplay::RebuildFontLists();
  EXPECT_FALSE(font->rebuild);
}

}  // namespace

// A font drawn smaller than its sheet's cells (cells of 16 texels drawn 8
// units wide) is measured as drawn, so text centred by its width is centred.
TEST_F(RendererDevice, GridTextMeasuredAsDrawnCentres) {
  GFXFont* font = GridFont(GridSheet());
  font->scale.Set(8.0f, 8.0f);
  font->BuildLists();
  const int index = GFXDisplay::GetFontCount() - 1;
  EXPECT_FLOAT_EQ(font->GetTextWidth("AA"), 32.0f);  // the stored widths stay texels
  EXPECT_EQ(GFXDisplay::GetTextWidth(index, "AA"), 16);

  PixelSpace();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED);
  constexpr int kCentre = kSide / 2;
  GFXDisplay::PrintAt(index, "AA", kCentre - GFXDisplay::GetTextWidth(index, "AA") / 2, 0);
  int left = kSide, right = -1;
  for (int x = 0; x < kSide; ++x) {
    if (Pixel(x, 4)[0] < 0.5f) continue;
    left = std::min(left, x);
    right = std::max(right, x);
  }
  ASSERT_LE(left, right) << "nothing drawn";
  EXPECT_NEAR((left + right + 1) / 2.0, double(kCentre), 1.0) << left << ".." << right;
}
