#pragma once
// A tree-view developer window: a tree of named items shown as rows of
// expand/collapse squares with labels. The rows are a fixed cache of row
// widgets handed out afresh to the visible items, in display order, at
// every layout. Derived windows fill the tree and hear which item was picked.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/String.h"
#include "engine/gui/Window.h"
#include "engine/tools/ExplorerBranch.h"

class CMATMaterial;

// One node of an explorer's tree; owns its children.
struct GUIExplorerItem {
  String name;
  uint8_t expanded = 0;
  GUIExplorerItem* parent = nullptr;
  // For the derived window: the register index the item stands for.
  int32_t data = 0;
  std::vector<std::unique_ptr<GUIExplorerItem>> children;
};

// A small fixed-capacity array of (key, value) pairs; kept beside the
// explorer for tools that want to tag rows, unused by the registers.
class ExplorerPairArray {
 public:
  // Room for n pairs, empty.
  void Resize(uint32_t n);
  // Stores a pair while there is room; false when full.
  bool Append(int32_t key, int32_t value);
  void Clear();
  uint32_t Count() const { return static_cast<uint32_t>(pairs_.size()); }
  uint32_t Capacity() const { return capacity_; }

 private:
  std::vector<std::pair<int32_t, int32_t>> pairs_;
  uint32_t capacity_ = 0;
};

class GUIExplorer : public Window {
 public:
  static constexpr uint32_t kDefaultCacheSize = 10;
  static constexpr float kRowHeight = 16.0f;

  // Named "GUI Explorer"; a root item "Root", expanded; no rows yet.
  GUIExplorer();
  ~GUIExplorer() override;

  // Stores the frame (the rows' font), loads the row images, makes a
  // vertical scroll bar and builds the row cache.
  void SetDefaultFrame(int32_t frame) override;
  // The window's layout, then the rows: the visible items from the scroll
  // position on, one row each, in display order.
  void Layout(const Rect& outer, const Rect& inner) override;
  // Draws every row of the cache.
  void DrawContents() override;
  // The window's handling; then, while active: a show lays the rows out,
  // input goes to the rows, and the rows' expand, collapse, pick and release
  // reports are acted on.
  void OnMessage(CMSGMessage* message) override;
  // The wheel moves the view the other way round from a plain window.
  void OnWheelUp(intptr_t value) override;
  void OnWheelDown(intptr_t value) override;
  // A row's label was pressed or released (never with null).
  virtual void ItemPicked(GUIExplorerItem* item);
  virtual void ItemReleased(GUIExplorerItem* item);

  // Replaces the row cache with n rows, stacked one row height apart.
  void CreateBranchCache(uint32_t n);
  // Wants a larger cache (rebuilt at once); a smaller size changes nothing.
  void SetCacheSize(uint32_t n);
  // Appends an item under the parent (null: the root), which collapses the
  // parent; returns its index among the parent's children.
  int32_t AddItem(GUIExplorerItem* parent, const char* itemName);
  // The parent's child at the index, or null.
  GUIExplorerItem* GetChild(GUIExplorerItem* parent, uint32_t index);
  // Frees every descendant of the item; the item stays.
  void ClearChildren(GUIExplorerItem* item);
  // Frees an item (never the root) with its descendants.
  void DeleteItem(GUIExplorerItem* item);

  GUIExplorerItem& Root() { return root_; }
  uint32_t GetCacheCount() const { return static_cast<uint32_t>(branches_.size()); }
  ExplorerBranch* GetBranch(uint32_t index) const {
    return index < branches_.size() ? branches_[index].get() : nullptr;
  }
  // Rows shown by the last layout.
  uint32_t GetShownRows() const { return nextFreeBranch_; }
  // Items in display order that the tree would show with no cache limit.
  uint32_t GetRowTotal() const { return rowTotal_; }
  uint32_t GetFirstVisibleRow() const { return firstVisibleRow_; }

 protected:
  int32_t frameArgument_ = -1;
  uint32_t wantedCacheSize_ = kDefaultCacheSize;

 private:
  void PlaceItem(GUIExplorerItem* item);
  // Sets the scroll range to the row total, keeping the thumb's place.
  void UpdateScrollRange();
  static uint32_t CountRows(const GUIExplorerItem& item);

  CMATMaterial* plus_ = nullptr;   // not owned
  CMATMaterial* minus_ = nullptr;  // not owned
  CMATMaterial* frame_ = nullptr;  // not owned
  std::vector<std::unique_ptr<ExplorerBranch>> branches_;
  GUIExplorerItem root_;
  uint32_t firstVisibleRow_ = 0;
  uint32_t rowCounter_ = 0;
  uint32_t rowTotal_ = 1;
  uint32_t nextFreeBranch_ = 0;
  uint32_t depth_ = 0;
};
