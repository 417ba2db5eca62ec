#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/ScrollBar.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "engine/tools/GUIExplorer.h"

namespace {

// An explorer set up on the left of the screen, active, that records picks.
class RecordingExplorer : public GUIExplorer {
 public:
  RecordingExplorer() {
    SetDefaultFrame(0);
    Rect outerRect;
    outerRect.SetPositionSize(Vector2(32, 0), Vector2(300, 568));
    Rect client;
    client.SetPositionSize(Vector2(48, 16), Vector2(268, 536));
    SetRect(outerRect, client);
    Activate(true);
  }
  void ItemPicked(GUIExplorerItem* item) override { picked.push_back(item->name.Chars()); }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (uint32_t i = 0; i < GetShownRows(); ++i) rows.push_back(GetBranch(i)->label.GetText().Chars());
    return rows;
  }
  void Relayout() { Layout(outer, inner); }
  // What a press on a row's square or label posts.
  static void Press(const CMSGMessage& record) { CMSGSystem::Get()->Repost(record); }
  std::vector<std::string> picked;
};

TEST(GUIExplorer, ANewExplorerShowsOnlyItsOpenRoot) {
  RecordingExplorer explorer;
  explorer.Relayout();
  EXPECT_EQ(explorer.name, "GUI Explorer");
  EXPECT_EQ(explorer.GetCacheCount(), GUIExplorer::kDefaultCacheSize);
  EXPECT_EQ(explorer.Rows(), std::vector<std::string>{"Root"});
  EXPECT_TRUE(explorer.GetBranch(0)->LooksExpanded());
  EXPECT_FALSE(explorer.GetBranch(1)->HasState(GUIState::kShown));
  EXPECT_EQ(explorer.GetScrollBar(false), nullptr);
  EXPECT_NE(explorer.GetScrollBar(true), nullptr);
  // Row k of the cache sits k rows down; the label starts half a row right of the square.
  EXPECT_FLOAT_EQ(explorer.GetBranch(3)->outer.min.y, 48.0f);
  EXPECT_FLOAT_EQ(explorer.GetBranch(0)->label.outer.min.x, 24.0f);
  EXPECT_FLOAT_EQ(explorer.GetBranch(0)->label.outer.max.x, 16.0f + 128.0f - 8.0f);
}

TEST(GUIExplorer, AChildClosesItsParentAndAnExpandShowsTheChildrenAtOnce) {
  RecordingExplorer explorer;
  GUIExplorerItem* a = explorer.GetChild(nullptr, explorer.AddItem(nullptr, "a"));
  explorer.AddItem(a, "a1");
  explorer.AddItem(nullptr, "b");
  EXPECT_FALSE(explorer.Root().expanded);
  EXPECT_FALSE(a->expanded);
  explorer.Relayout();
  EXPECT_EQ(explorer.Rows(), std::vector<std::string>{"Root"});
  EXPECT_FALSE(explorer.GetBranch(0)->LooksExpanded());

  RecordingExplorer::Press(explorer.GetBranch(0)->expandMessage);
  EXPECT_EQ(explorer.Rows(), (std::vector<std::string>{"Root", "a", "b"}));
  RecordingExplorer::Press(explorer.GetBranch(1)->expandMessage);
  EXPECT_EQ(explorer.Rows(), (std::vector<std::string>{"Root", "a", "a1", "b"}));
  RecordingExplorer::Press(explorer.GetBranch(0)->collapseMessage);
  EXPECT_EQ(explorer.Rows(), std::vector<std::string>{"Root"});
}

TEST(GUIExplorer, EachLevelIndentsByOneRow) {
  RecordingExplorer explorer;
  GUIExplorerItem* parent = nullptr;
  for (const char* level : {"one", "two", "three"}) {
    parent = explorer.GetChild(parent, explorer.AddItem(parent, level));
  }
  for (GUIExplorerItem* item = parent->parent; item != nullptr; item = item->parent) item->expanded = 1;
  explorer.Relayout();
  ASSERT_EQ(explorer.Rows(), (std::vector<std::string>{"Root", "one", "two", "three"}));
  EXPECT_FLOAT_EQ(explorer.GetBranch(3)->outer.min.x, 48.0f);
  EXPECT_FLOAT_EQ(explorer.GetBranch(3)->outer.Width(), 16.0f);
  EXPECT_FLOAT_EQ(explorer.GetBranch(1)->outer.min.x, 16.0f);
}

TEST(GUIExplorer, TheCacheCapsTheRowsAndTheBarScrollsInDisplayOrder) {
  RecordingExplorer explorer;
  for (int i = 0; i < 15; ++i) explorer.AddItem(nullptr, ("item " + std::to_string(i)).c_str());
  explorer.Root().expanded = 1;
  explorer.Relayout();
  EXPECT_EQ(explorer.GetShownRows(), 10u);
  EXPECT_EQ(explorer.GetRowTotal(), 16u);

  explorer.CreateBranchCache(3);
  GUIExplorerItem* a = explorer.GetChild(nullptr, 0);
  explorer.AddItem(a, "a1");
  explorer.AddItem(a, "a2");
  a->expanded = 1;
  explorer.Root().expanded = 1;
  ScrollBar* bar = explorer.GetScrollBar(true);
  bar->ToStart();
  explorer.Relayout();
  EXPECT_EQ(explorer.Rows(), (std::vector<std::string>{"Root", "item 0", "a1"}));
  bar->ToEnd();
  explorer.Relayout();
  EXPECT_EQ(explorer.GetFirstVisibleRow(), 18u - 3u);
  EXPECT_EQ(explorer.Rows(), (std::vector<std::string>{"item 12", "item 13", "item 14"}));
  bar->SetPosition(bar->GetRange() * (2.0f / 15.0f));
  explorer.Relayout();
  EXPECT_EQ(explorer.Rows(), (std::vector<std::string>{"a1", "a2", "item 1"}));
}

TEST(GUIExplorer, RebuildingKeepsTheRowTotalToTheTree) {
  RecordingExplorer explorer;
  for (int round = 0; round < 3; ++round) {
    explorer.ClearChildren(&explorer.Root());
    for (const char* row : {"x", "y", "z"}) explorer.AddItem(nullptr, row);
    explorer.Root().expanded = 1;
    explorer.Relayout();
  }
  EXPECT_EQ(explorer.GetRowTotal(), 4u);
  EXPECT_FLOAT_EQ(explorer.GetScrollBar(true)->GetRange(), 4.0f);
}

TEST(GUIExplorer, ARowLeftFromALargerTreePicksNothing) {
  RecordingExplorer explorer;
  for (int i = 0; i < 5; ++i) explorer.AddItem(nullptr, ("old " + std::to_string(i)).c_str());
  explorer.Root().expanded = 1;
  explorer.Relayout();
  ExplorerBranch* leftOver = explorer.GetBranch(4);
  ASSERT_EQ(leftOver->label.GetText(), "old 3");

  explorer.ClearChildren(&explorer.Root());  // the items the rows carried are gone
  explorer.AddItem(nullptr, "new");
  explorer.Root().expanded = 1;
  explorer.Relayout();
  EXPECT_FALSE(leftOver->HasState(GUIState::kTakesInput));
  RecordingExplorer::Press(leftOver->label.pressMessage);
  RecordingExplorer::Press(leftOver->expandMessage);
  EXPECT_TRUE(explorer.picked.empty());

  RecordingExplorer::Press(explorer.GetBranch(1)->label.pressMessage);
  EXPECT_EQ(explorer.picked, std::vector<std::string>{"new"});
}

TEST(GUIExplorer, NothingHappensWhileInactive) {
  RecordingExplorer explorer;
  explorer.AddItem(nullptr, "a");
  explorer.Relayout();
  explorer.Activate(false);
  RecordingExplorer::Press(explorer.GetBranch(0)->expandMessage);
  EXPECT_FALSE(explorer.Root().expanded);
}

// A 16-unit row at the origin, set up and switched on as the explorer does its rows.
void SetUpRow(ExplorerBranch& row) {
  Rect square;
  square.SetPositionSize(Vector2(0, 0), Vector2(16, 16));
  row.Layout(square, square);
  for (TextBox::TextStyle& style : row.label.styles) style.font = 2;
  row.Setup();
  row.Activate(true);
  row.EnableInput();
}

void Send(uint32_t id, const ExplorerBranch& to) { GetGUIMSGService()->Post(id, 0, to.GetId(), 0, 0.0); }

Vector2 Corner(const GUIObject& element) { return element.outer.min; }

// Root (0, 0) { a { a1 { a11 } }, b }.
struct RowTree {
  RowTree() {
    SetUpRow(root);
    a = root.GetChildBranch(root.AddChildBranch("a"));
    a1 = a->GetChildBranch(a->AddChildBranch("a1"));
    a11 = a1->GetChildBranch(a1->AddChildBranch("a11"));
    b = root.GetChildBranch(root.AddChildBranch("b"));
  }
  ExplorerBranch root;
  ExplorerBranch* a = nullptr;
  ExplorerBranch* a1 = nullptr;
  ExplorerBranch* a11 = nullptr;
  ExplorerBranch* b = nullptr;
};

TEST(ExplorerBranch, ChildRowsAreFoundByIndexAndTakeTheirParentsIdAndFont) {
  ExplorerBranch root;
  SetUpRow(root);
  EXPECT_EQ(root.GetChildBranch(0), nullptr);
  root.ExpandAll();  // a row without children only changes its own look
  EXPECT_TRUE(root.LooksExpanded());

  EXPECT_EQ(root.AddChildBranch("a"), 0);
  EXPECT_EQ(root.AddChildBranch("b"), 1);
  EXPECT_EQ(root.GetChildBranchCount(), 2u);
  EXPECT_EQ(root.GetChildBranch(2), nullptr);
  EXPECT_EQ(root.GetChildBranch(UINT32_MAX), nullptr);
  ExplorerBranch* b = root.GetChildBranch(1);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->name, "b:Branch");
  EXPECT_EQ(b->label.GetText(), "b");
  EXPECT_EQ(b->GetParentId(), root.GetId());
  EXPECT_EQ(b->label.styles[3].font, 2);
  EXPECT_EQ(b->plus, root.plus);
  EXPECT_TRUE(b->HasState(GUIState::kActive));
  EXPECT_TRUE(b->HasState(GUIState::kTakesInput));
  EXPECT_TRUE(b->label.HasState(GUIState::kTakesInput));
  EXPECT_FALSE(b->LooksExpanded());
}

TEST(ExplorerBranch, ExpandAllAndCollapseAllReachEveryRowBelowAndNoneAbove) {
  RowTree tree;
  auto& [root, a, a1, a11, b] = tree;
  ASSERT_NE(a11->plus, a11->minus);

  a->ExpandAll();
  for (ExplorerBranch* row : {a, a1, a11}) EXPECT_TRUE(row->LooksExpanded()) << row->name.Chars();
  EXPECT_FALSE(root.LooksExpanded());
  EXPECT_FALSE(b->LooksExpanded());
  EXPECT_EQ(a11->GetImage(1), a11->minus);

  root.CollapseAll();
  for (ExplorerBranch* row : {&root, a, a1, a11, b}) EXPECT_FALSE(row->LooksExpanded()) << row->name.Chars();
  EXPECT_EQ(a11->GetImage(1), a11->plus);
}

TEST(ExplorerBranch, MessagesToARowReachEveryRowBelowItAndTheirLabels) {
  RowTree tree;
  auto& [root, a, a1, a11, b] = tree;
  const std::vector<const GUIObject*> everyRow = {&root, a, a1, a11, b, &a11->label, &b->label};

  Send(eMSG_GUISHOW, root);
  for (const GUIObject* row : everyRow) EXPECT_TRUE(row->HasState(GUIState::kShown)) << row->name.Chars();
  Send(eMSG_GUIDISABLE, root);
  for (const GUIObject* row : everyRow) EXPECT_FALSE(row->HasState(GUIState::kTakesInput)) << row->name.Chars();
  // A message to a child row goes down, never up.
  Send(eMSG_GUIHIDE, *a);
  EXPECT_FALSE(a1->HasState(GUIState::kShown));
  EXPECT_TRUE(root.HasState(GUIState::kShown));
  EXPECT_TRUE(b->HasState(GUIState::kShown));
}

TEST(ExplorerBranch, ChildRowsStackBelowTheirParentOneLevelInAndFollowIt) {
  RowTree tree;
  auto& [root, a, a1, a11, b] = tree;
  EXPECT_EQ(Corner(*a), Vector2(16, 16));
  EXPECT_EQ(Corner(*a1), Vector2(32, 32));
  EXPECT_EQ(Corner(*a11), Vector2(48, 48));
  EXPECT_EQ(Corner(*b), Vector2(16, 64));
  EXPECT_EQ(a11->outer.GetSize(), Vector2(16, 16));
  EXPECT_FLOAT_EQ(a11->label.outer.min.x, 48.0f + 16.0f + 8.0f);

  // A row added deep in the tree pushes down the rows after it at every level.
  ExplorerBranch* a2 = a->GetChildBranch(a->AddChildBranch("a2"));
  EXPECT_EQ(Corner(*a2), Vector2(32, 64));
  EXPECT_EQ(Corner(*b), Vector2(16, 80));

  Rect moved;
  moved.SetPositionSize(Vector2(100, 200), Vector2(16, 16));
  root.Layout(moved, moved);
  EXPECT_EQ(Corner(*a1), Vector2(132, 232));
  EXPECT_EQ(Corner(*b), Vector2(116, 280));

  // The pointer over a nested row's square gives that row the focus.
  root.OnMouseMove(Vector2(136, 236));
  EXPECT_TRUE(a1->IsFocusedElement());
  root.OnMouseMove(Vector2(0, 0));
  EXPECT_FALSE(a1->IsFocusedElement());
}

TEST(ExplorerBranch, ChildRowsGoWithTheirOwner) {
  int32_t deepest = -1;
  {
    RowTree tree;
    deepest = tree.a11->GetId();
    Send(eMSG_GUISHOW, tree.root);
  }
  // The rows left the message service with their owner: a late message finds nobody.
  GetGUIMSGService()->Post(eMSG_GUIHIDE, 0, deepest, 0, 0.0);

  RecordingExplorer explorer;
  explorer.GetBranch(0)->AddChildBranch("extra");
  explorer.CreateBranchCache(2);  // frees the old rows with their children
  EXPECT_EQ(explorer.GetBranch(0)->GetChildBranch(0), nullptr);
}

TEST(ExplorerPairArray, StoresPairsOnlyWhileThereIsRoom) {
  ExplorerPairArray pairs;
  EXPECT_FALSE(pairs.Append(1, 2));
  pairs.Resize(2);
  EXPECT_TRUE(pairs.Append(1, 2));
  EXPECT_TRUE(pairs.Append(3, 4));
  EXPECT_FALSE(pairs.Append(5, 6));
  EXPECT_EQ(pairs.Count(), 2u);
  pairs.Clear();
  EXPECT_EQ(pairs.Capacity(), 0u);
}

}  // namespace
