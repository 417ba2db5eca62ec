#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/TextureManager.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/scene/core/SceneNode.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/ModelWindow.h"
#include "engine/tools/RegisterWindows.h"

namespace {

std::vector<std::string> Names(const GUIExplorerItem& item) {
  std::vector<std::string> names;
  for (const auto& child : item.children) names.push_back(child->name.Chars());
  return names;
}

std::vector<int32_t> Data(const GUIExplorerItem& item) {
  std::vector<int32_t> data;
  for (const auto& child : item.children) data.push_back(child->data);
  return data;
}

const GUIExplorerItem* FindRow(const GUIExplorerItem& item, const std::string& text) {
  for (const auto& child : item.children) {
    if (text == child->name.Chars()) return child.get();
  }
  return nullptr;
}

template <class Register>
std::unique_ptr<Register> SetUpRegister() {
  auto window = std::make_unique<Register>();
  window->SetDefaultFrame(0);
  window->Activate(true);
  return window;
}

TEST(DirectoryList, ListsUpThenFoldersThenFilesWithTheirIndices) {
  namespace fs = std::filesystem;
  fs::create_directories("listed/beta");
  fs::create_directories("listed/alpha");
  std::ofstream("listed/one.txt") << "1";
  std::ofstream("listed/two.txt") << "2";
  auto window = SetUpRegister<DirectoryListWindow>();
  EXPECT_EQ(window->name, "Vyre Directory List");
  EXPECT_FLOAT_EQ(window->outer.min.x, 32.0f);
  EXPECT_FLOAT_EQ(window->inner.Height(), 536.0f);
  EXPECT_EQ(window->GetCacheCount(), RegisterWindow::kRegisterCacheSize);
  window->pattern = "listed/*.*";
  window->Show(true);
  const GUIExplorerItem& root = window->Root();
  EXPECT_EQ(root.name, window->listing.Path());
  ASSERT_EQ(root.children.size(), 5u);
  EXPECT_EQ(root.children[0]->name, "..");
  EXPECT_EQ(root.children[0]->data, -1);
  std::vector<std::string> names = Names(root);
  std::vector<std::string> folders(names.begin() + 1, names.begin() + 3);
  std::vector<std::string> files(names.begin() + 3, names.end());
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(folders, (std::vector<std::string>{"\\alpha", "\\beta"}));
  EXPECT_EQ(files, (std::vector<std::string>{"one.txt", "two.txt"}));
  EXPECT_EQ(Data(root), (std::vector<int32_t>{-1, 0, 1, 0, 1}));
  EXPECT_TRUE(root.expanded);
}

TEST(RegisterWindows, AnUnchangedCountKeepsTheTreeWhileSceneNodesRebuild) {
  auto textures = SetUpRegister<TextureRegisterWindow>();
  textures->Show(true);
  ASSERT_EQ(textures->Root().children.size(), CTEXManager::GetInstance()->TextureCount());
  textures->Root().children[0]->expanded = 1;  // the user opened a row
  textures->Show(false);
  textures->Show(true);
  EXPECT_TRUE(textures->Root().children[0]->expanded);
  CTEXManager::GetInstance()->CreateTexture(String("another.png"));
  textures->Show(true);
  EXPECT_FALSE(textures->Root().children[0]->expanded);
  EXPECT_NE(std::string(textures->Root().children.back()->name.Chars()).find("] another.png"), std::string::npos);

  auto nodes = SetUpRegister<SceneNodeRegisterWindow>();
  nodes->Show(true);
  ASSERT_EQ(nodes->Root().children.size(), 1u);
  nodes->Root().children[0]->expanded = 1;
  nodes->Show(true);
  EXPECT_FALSE(nodes->Root().children[0]->expanded);
}

TEST(RegisterWindows, ASceneNodeRowShowsItsPositionAndRadius) {
  CSCNNode child;
  child.SetPosition(1.0f, 2.0f, 3.0f);
  child.radius = 4.5f;
  ASSERT_TRUE(CSCNNode::GetRoot().AddChild(&child));
  auto nodes = SetUpRegister<SceneNodeRegisterWindow>();
  nodes->Show(true);
  EXPECT_EQ(nodes->Root().name, "[SCN] Root Node");
  const GUIExplorerItem& rootRow = *nodes->Root().children.at(0);
  ASSERT_EQ(rootRow.children.size(), 1u);
  EXPECT_EQ(rootRow.children[0]->name, "[1.0000, 2.0000, 3.0000] [4.5000]");
  CSCNNode::GetRoot().RemoveChild(&child);
}

TEST(RegisterWindows, PickingARowBelowAModelShowsThatModel) {
  C3MEManager::Instance().CreateModel(String("first.3me"));
  C3MEManager::Instance().CreateModel(String("second.3me"));
  auto models = SetUpRegister<ModelRegisterWindow>();
  ASSERT_NE(models->Viewer(), nullptr);
  models->Show(true);
  ASSERT_EQ(models->Root().children.size(), 2u);
  GUIExplorerItem& second = *models->Root().children[1];
  ASSERT_EQ(Names(second), (std::vector<std::string>{"Components(0)", "Materials(0)"}));
  EXPECT_EQ(Data(second), (std::vector<int32_t>{1, 1}));
  EXPECT_FALSE(models->Viewer()->IsVisible());
  models->ItemPicked(second.children[0].get());
  EXPECT_EQ(models->Viewer()->GetSelectedIndex(), 1);
  EXPECT_TRUE(models->Viewer()->IsVisible());
}

// A window with a number of child widgets.
struct WindowWithChildren {
  explicit WindowWithChildren(const char* windowName, int childCount) : widgets(childCount) {
    window = std::make_unique<DebugWindow>();
    window->name = windowName;
    for (Icon& widget : widgets) window->children.Add(&widget);
  }
  ~WindowWithChildren() { window->children.Clear(); }
  std::vector<Icon> widgets;
  std::unique_ptr<DebugWindow> window;
};

std::string RowOf(const Window& window) { return "[" + std::to_string(window.GetId()) + "] " + window.name.Chars(); }

TEST(RegisterWindows, EachGuiWindowIsListedOnceWithAllButItsLastChild) {
  auto gone = std::make_unique<WindowWithChildren>("gone", 0);
  WindowWithChildren one("one child", 1);
  WindowWithChildren three("three children", 3);
  gone.reset();
  WindowWithChildren later("later", 0);
  WindowWithChildren last("last", 0);
  auto windows = SetUpRegister<UserInterfaceRegisterWindow>();
  windows->Show(true);
  const GUIExplorerItem& root = windows->Root();
  const std::vector<const Window*> live = {one.window.get(), three.window.get(), later.window.get(), last.window.get(),
                                           windows.get()};
  for (const Window* window : live) {
    int rows = 0;
    for (const auto& child : root.children) rows += child->name == RowOf(*window).c_str() ? 1 : 0;
    EXPECT_EQ(rows, 1) << window->name.Chars();
  }
  EXPECT_EQ(root.children.size(), static_cast<size_t>(GetWindowManager()->GetWindowCount()));
  for (const auto& child : root.children) EXPECT_EQ(std::string(child->name.Chars()).find("gone"), std::string::npos);
  EXPECT_TRUE(FindRow(root, RowOf(*one.window))->children.empty());
  EXPECT_EQ(FindRow(root, RowOf(*three.window))->children.size(), 2u);
}

}  // namespace
