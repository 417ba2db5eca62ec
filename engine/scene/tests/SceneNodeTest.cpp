#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/scene/core/SceneNode.h"
#include "platform/TempFolder.h"

namespace {

std::vector<std::string>& Trace() {
  static std::vector<std::string> trace;
  return trace;
}

// Records every call the scene makes on it.
class Recorder : public CSCNObject {
 public:
  explicit Recorder(std::string name) : name_(std::move(name)) {}
  bool PreRender() override { return Note("PreRender"); }
  bool Render() override { return Note("Render"); }
  bool PostRender() override { return Note("PostRender"); }
  bool PreUpdate() override { return Note("PreUpdate"); }
  bool Update() override { return Note("Update"); }
  bool PostUpdate() override { return Note("PostUpdate"); }

 private:
  bool Note(const char* what) {
    Trace().push_back(name_ + "." + what);
    return true;
  }
  std::string name_;
};

class SceneNodes : public ::testing::Test {
 protected:
  void SetUp() override { Trace().clear(); }
  std::vector<std::string> Updates() {
    std::vector<std::string> names;
    for (const std::string& entry : Trace())
      if (entry.find(".Update") != std::string::npos) names.push_back(entry.substr(0, entry.find('.')));
    return names;
  }
};

TEST_F(SceneNodes, NodesStartDisabledTheRootIncluded) {
  CSCNNode node;
  EXPECT_FALSE(node.enabled);
  EXPECT_EQ(node.id, -1);
  EXPECT_FALSE(CSCNNode::GetRoot().enabled);
  EXPECT_TRUE(node.GetName() == "N/A");
}

TEST_F(SceneNodes, UpdateRunsEachObjectsThreeStepsThenTheChildren) {
  CSCNNode parent, child;
  parent.enabled = child.enabled = true;
  Recorder a("A"), b("B"), c("C"), d("D");
  ASSERT_TRUE(parent.AddChild(&child));
  child.Attach(&d, 0);
  parent.Attach(&a, 0);
  parent.Attach(&b, 0);
  parent.Attach(&c, 0);
  parent.Update();
  const std::vector<std::string> expected = {"A.PreUpdate",  "A.Update",     "A.PostUpdate", "B.PreUpdate",
                                             "B.Update",     "B.PostUpdate", "C.PreUpdate",  "C.Update",
                                             "C.PostUpdate", "D.PreUpdate",  "D.Update",     "D.PostUpdate"};
  EXPECT_EQ(Trace(), expected);
}

TEST_F(SceneNodes, DisabledNodesSkipTheirSubtreeAndOtherLayersAreIgnored) {
  CSCNNode parent, child;
  child.enabled = true;
  Recorder a("A"), b("B"), hidden("Hidden");
  parent.AddChild(&child);
  parent.Attach(&a, 0);
  child.Attach(&b, 0);
  parent.Update();
  EXPECT_TRUE(Trace().empty());
  parent.enabled = true;
  parent.Attach(&hidden, 1);
  parent.Update();
  parent.Render();
  EXPECT_EQ(Updates(), (std::vector<std::string>{"A", "B"}));
  for (const std::string& entry : Trace()) EXPECT_EQ(entry.find("Hidden"), std::string::npos);
}

TEST_F(SceneNodes, StateOtherThanZeroUpdatesButDoesNotRender) {
  CSCNNode node;
  node.enabled = true;
  node.state = 1;
  Recorder a("A");
  node.Attach(&a, 0);
  node.Render();
  EXPECT_TRUE(Trace().empty());
  node.Update();
  EXPECT_EQ(Updates(), std::vector<std::string>{"A"});
  node.state = 0;
  Trace().clear();
  node.Render();
  EXPECT_EQ(Trace(), (std::vector<std::string>{"A.PreRender", "A.Render", "A.PostRender"}));
}

TEST_F(SceneNodes, AttachmentsGrowByFourAndDetachSwapsInTheLast) {
  CSCNNode node;
  node.enabled = true;
  std::vector<Recorder> objects;
  for (int i = 0; i < 9; ++i) objects.emplace_back(std::string(1, char('A' + i)));
  for (Recorder& object : objects) node.Attach(&object, 0);
  EXPECT_EQ(node.attachmentCount, 9u);
  EXPECT_EQ(node.attachmentCapacity, 12u);
  for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(node.attachments[i].object, &objects[i]);

  CSCNNode three;
  three.enabled = true;
  three.Attach(&objects[0], 0);
  three.Attach(&objects[1], 0);
  three.Attach(&objects[2], 0);
  three.Detach(&objects[0]);
  Recorder stranger("X");
  three.Detach(&stranger);
  three.Update();
  EXPECT_EQ(Updates(), (std::vector<std::string>{"C", "B"}));
}

TEST_F(SceneNodes, TreeShape) {
  CSCNNode root, a, b, c;
  root.AddChild(&a);
  root.AddChild(&b);
  a.AddChild(&c);
  EXPECT_EQ(root.CountNodes(), 4u);
  // No cycles: a node cannot go below itself.
  EXPECT_FALSE(c.AddChild(&root));
  EXPECT_FALSE(a.AddChild(&a));
  // Moving a node takes it from its old parent.
  b.AddChild(&c);
  EXPECT_EQ(a.GetChildCount(), 0u);
  EXPECT_EQ(c.GetParent(), &b);
  root.RemoveChild(&b);
  EXPECT_EQ(b.GetParent(), nullptr);
  EXPECT_EQ(root.CountNodes(), 2u);
}

TEST_F(SceneNodes, DestroyingANodeReleasesItsChildren) {
  CSCNNode top, grandchild;
  {
    CSCNNode middle;
    top.AddChild(&middle);
    middle.AddChild(&grandchild);
  }
  EXPECT_EQ(grandchild.GetParent(), nullptr);
  EXPECT_EQ(top.GetChildCount(), 0u);
  CSCNNode child;
  {
    CSCNNode parentless;
    parentless.AddChild(&child);
  }
  EXPECT_EQ(child.GetParent(), nullptr);
}

TEST_F(SceneNodes, ResetClearsStateAndEnabled) {
  CSCNNode node;
  node.enabled = true;
  node.state = 2;
  node.centre = Vector3(1, 2, 3);
  node.Reset();
  EXPECT_FALSE(node.enabled);
  EXPECT_EQ(node.state, 0u);
  EXPECT_EQ(node.centre, Vector3());
}

TEST_F(SceneNodes, PickByRayPrefersTheDeepestHit) {
  CSCNNode root, child;
  root.radius = 100.0f;
  child.centre = Vector3(0, 0, 10);
  child.radius = 1.0f;
  root.AddChild(&child);
  Ray ray;
  ray.origin = Vector3(0, 0, -20);
  ray.direction = Vector3(0, 0, 1);
  EXPECT_EQ(root.PickByRay(ray), &child);
  ray.origin = Vector3(5, 0, -20);
  EXPECT_EQ(root.PickByRay(ray), &root);
}

TEST_F(SceneNodes, NodePoolOwnsItsNodes) {
  CSCNNodePool pool;
  EXPECT_TRUE(pool.name == "Un-named");
  CSCNNode* first = pool.Acquire();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(pool.Acquire(), first);
  EXPECT_EQ(pool.nodes.Count(), 2u);
  pool.Rename("scenery", 8);
  EXPECT_TRUE(pool.name == "scenery");
  EXPECT_EQ(pool.nodes.Count(), 0u);
}

}  // namespace

namespace {

TEST(SceneNodeRecord, WritesTheTextRecord) {
  platform::ScopedTempFolder folder("scene-record");
  CSCNNode node;
  node.centre = Vector3(1.5f, -2.0f, 3.0f);
  node.state = 2;
  node.radius = 10.0f;
  node.RebuildMatrix();
  {
    FileText file;
    ASSERT_TRUE(file.OpenWrite((folder / "node.txt").c_str()) & File::kOpen);
    node.WriteText(file);
  }
  std::ifstream in(folder / "node.txt");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "[SCNNODE]\n[POS] [1.5,-2,3]\n[SCALE] [1.0,1.0,1.0]\n[VIEW] [0,0,1]\n[STATE] 2 | 0 | 10\n");
}

}  // namespace
