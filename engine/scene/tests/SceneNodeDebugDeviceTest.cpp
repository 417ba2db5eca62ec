// The scene nodes' debug drawings on a real (offscreen) 400 x 300 window. The
// scene view is orthographic, one world unit per pixel around the origin; the
// 800 x 600 overlay the labels are printed in is two units per pixel.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/tests/support/DisplayTestWindow.h"
#include "engine/scene/core/SceneNode.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

struct Rgba {
  uint8_t r, g, b, a;
};

bool IsMagenta(const Rgba& p) { return p.r > 100 && p.b > 100 && p.g < 40; }
bool IsWhite(const Rgba& p) { return p.r > 200 && p.g > 200 && p.b > 200; }

// A label as the feedback buffer saw it: its text and the window pixel its
// first character was printed at.
struct Label {
  std::string text;
  float x, y;
};

// The tree every test draws (positions in world units, radius in brackets):
//   root (0,0) [40]
//   +- a (100,-0.25) [20]
//   |  +- unlabelled, state 2 (150,-100) [10]
//   +- hidden, disabled (-100,0) [20]
//   |  +- underHidden (-100,80) [10]
//   +- quiet, state 1 (0,100) [15]
//   |  +- leaf (-100,100,3.5) [10]
//   +- far (0,-1000) [10]
class SceneNodeDebugDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    display_.Open("Scene node debug", kWidth, kHeight);
    if (HasFatalFailure()) return;
    GFXDisplay::SetProjection(1, -kWidth / 2.0f, kWidth / 2.0f, -kHeight / 2.0f, kHeight / 2.0f, -1000.0f, 1000.0f);
    // Looking down -Z: rings lie in the XY plane.
    GFXDisplay::SetViewVectors({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 100});
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    Place(root_, nullptr, {0, 0, 0}, 40);
    Place(a_, &root_, {100, -0.25f, 0}, 20);
    Place(unlabelled_, &a_, {150, -100, 0}, 10, 2);
    Place(hidden_, &root_, {-100, 0, 0}, 20);
    hidden_.enabled = false;
    Place(underHidden_, &hidden_, {-100, 80, 0}, 10);
    Place(quiet_, &root_, {0, 100, 0}, 15, 1);
    Place(leaf_, &quiet_, {-100, 100, 3.5f}, 10);
    Place(far_, &root_, {0, -1000, 0}, 10);
    root_.Update();
    hidden_.RebuildMatrix();
    underHidden_.RebuildMatrix();
  }

  void TearDown() override { display_.Close(); }

  static void Place(CSCNNode& node, CSCNNode* parent, const Vector3& position, float radius, uint32_t state = 0) {
    node.SetPosition(position);
    node.radius = radius;
    node.state = state;
    node.enabled = true;
    if (parent != nullptr) {
      ASSERT_TRUE(parent->AddChild(&node));
    }
  }

  // Whether a pixel within one of a world point on the z = 0 plane matches
  // (lines fall on either side of a pixel boundary).
  static bool Near(bool (*match)(const Rgba&), float x, float y) {
    Rgba block[9] = {};
    glReadPixels(int(kWidth / 2 + x) - 1, int(kHeight / 2 + y) - 1, 3, 3, GL_RGBA, GL_UNSIGNED_BYTE, block);
    for (const Rgba& p : block) {
      if (match(p)) return true;
    }
    return false;
  }

  // Matching pixels in the window column of world x.
  static int CountInColumn(bool (*match)(const Rgba&), float x) {
    std::vector<Rgba> column(kHeight);
    glReadPixels(int(kWidth / 2 + x), 0, 1, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, column.data());
    int count = 0;
    for (const Rgba& p : column) count += match(p) ? 1 : 0;
    return count;
  }

  // Runs a drawing and checks that it leaves GL as it found it: no error,
  // both matrix stacks at their depth, the line width at 1.
  static void DrawCleanly(void (CSCNNode::*drawing)(), CSCNNode& node) {
    GLint modelview = 0, projection = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelview);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection);
    glLineWidth(1.0f);
    while (glGetError() != GL_NO_ERROR) {
    }
    (node.*drawing)();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint modelviewAfter = 0, projectionAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewAfter);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionAfter);
    EXPECT_EQ(modelviewAfter, modelview);
    EXPECT_EQ(projectionAfter, projection);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
  }

  // Font 0 whose character lists leave a mark in GL's feedback buffer: the
  // character code as a pass-through token and a point at the pen, which
  // then moves on 8 overlay units.
  static void FeedbackFont() {
    const int index = GFXDisplay::NewFont();
    ASSERT_EQ(index, 0);
    GFXFont* font = GFXDisplay::GetFont(index);
    font->type = GFXFont::kSystem;
    font->listBase = glGenLists(GFXFont::kSystemCount);
    for (int i = 0; i < GFXFont::kSystemCount; ++i) {
      glNewList(font->listBase + GLuint(i), GL_COMPILE);
      glPassThrough(float(GFXFont::kSystemFirst + i));
      glBegin(GL_POINTS);
      glVertex2f(0.0f, 0.0f);
      glEnd();
      glTranslatef(8.0f, 0.0f, 0.0f);
      glEndList();
    }
  }

  // The labels the drawing printed, read back from GL's feedback buffer:
  // each character is a pass-through token and the point of its pen.
  std::vector<Label> PrintedLabels() {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    DrawCleanly(&CSCNNode::DrawLabels, root_);
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GT(used, 0) << "nothing printed, or the feedback buffer overflowed";
    std::vector<Label> labels;
    for (GLint i = 0; i + 4 < used; i += 5) {
      EXPECT_EQ(buffer[size_t(i)], GLfloat(GL_PASS_THROUGH_TOKEN));
      EXPECT_EQ(buffer[size_t(i + 2)], GLfloat(GL_POINT_TOKEN));
      const char character = char(buffer[size_t(i + 1)]);
      // Every label begins "[W] ", and only there does that text appear.
      if (labels.empty() || (labels.back().text.ends_with("]") && character == '[')) {
        labels.push_back({"", buffer[size_t(i + 3)], buffer[size_t(i + 4)]});
      }
      labels.back().text += character;
    }
    return labels;
  }

  DisplayTestWindow display_;
  CSCNNode root_, a_, unlabelled_, hidden_, underHidden_, quiet_, leaf_, far_;
};

TEST_F(SceneNodeDebugDevice, BoundsAreRingsAroundEnabledNodesInStateZero) {
  DrawCleanly(&CSCNNode::DrawBounds, root_);
  const struct {
    const char* what;
    float x, y;
    bool ring;
  } probes[] = {
      {"root ring", 40, 0, true},
      {"root ring, left", -40, 0, true},
      {"root ring, top", 0, 40, true},
      {"inside the ring", 0, 0, false},
      {"a's ring", 120, -0.25f, true},
      {"a state-2 node's ring", 160, -100, false},
      {"a disabled node's ring", -120, 0, false},
      {"the ring of a node under a disabled one", -90, 80, false},
      {"a state-1 node's ring", 15, 100, false},
      {"the ring of a state-0 node under a state-1 one", -90, 100, true},
  };
  for (const auto& p : probes) EXPECT_EQ(Near(IsMagenta, p.x, p.y), p.ring) << p.what;
}

TEST_F(SceneNodeDebugDevice, LinksJoinEachStateZeroNodeToItsChildrenTwoPixelsWide) {
  GFXDisplay::SetRenderState(RenderFlag::STARTUP);
  glColor4f(1, 1, 1, 1);
  // Update marks the matrices stale; the drawing brings them up to date.
  TransformNode::sAlwaysRecompute = false;
  root_.Update();
  a_.inverse = Matrix4();
  DrawCleanly(&CSCNNode::DrawLinks, root_);
  TransformNode::sAlwaysRecompute = true;
  EXPECT_EQ(a_.computed, 1);
  EXPECT_FLOAT_EQ(a_.inverse.m[12], -100.0f);

  const struct {
    const char* what;
    float x, y;
    bool line;
  } probes[] = {
      {"root to a", 50, -0.125f, true},
      {"root to the disabled child", -50, 0, true},
      {"root to the state-1 child", 0, 50, true},
      {"a to its state-2 child", 125, -50, true},
      {"nothing from a state-1 node", -50, 100, false},
      {"nothing from a disabled node", -100, 40, false},
  };
  for (const auto& p : probes) EXPECT_EQ(Near(IsWhite, p.x, p.y), p.line) << p.what;
  EXPECT_EQ(CountInColumn(IsWhite, 50), 2) << "width 2";
}

TEST_F(SceneNodeDebugDevice, LabelsPrintTheMatrixTranslationWhereItProjects) {
  FeedbackFont();
  const std::vector<Label> labels = PrintedLabels();
  // Not the state-2 node, nothing at or under the disabled one, nothing off screen.
  const struct {
    const char* text;
    float worldX, worldY;
  } expected[] = {
      {"[W] [0.00,0.00,0.00]", 0, 0},
      {"[W] [100.00,-0.25,0.00]", 100, -0.25f},
      {"[W] [0.00,100.00,0.00]", 0, 100},
      {"[W] [-100.00,100.00,3.50]", -100, 100},
  };
  ASSERT_EQ(labels.size(), std::size(expected));
  for (size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(labels[i].text, expected[i].text);
    // Window pixels from the bottom left; overlay positions are whole units (half pixels).
    EXPECT_NEAR(labels[i].x, kWidth / 2 + expected[i].worldX, 0.5f) << expected[i].text;
    EXPECT_NEAR(labels[i].y, kHeight / 2 + expected[i].worldY, 0.5f) << expected[i].text;
  }

  // Drawn for real, the labels leave GL as they found it too.
  DrawCleanly(&CSCNNode::DrawLabels, root_);
}

}  // namespace
