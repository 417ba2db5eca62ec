#pragma once
// One row of an explorer: a small expand/collapse square with a text label
// beside it. The explorer hands its rows out afresh to the visible items at
// every layout, filling the row's message records with the item shown.
// A row may also own rows of its own (child branches) that it lays out
// below itself, one level in, and that hear every message it hears.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gui/Icon.h"
#include "engine/gui/TextBox.h"

class CMATMaterial;

class ExplorerBranch : public Icon {
 public:
  // The label's width beside the square, before it is narrowed by half a
  // square at both ends.
  static constexpr float kLabelWidth = 128.0f;
  // State bit of the expanded look (the square shows "minus").
  static constexpr uint32_t kExpandedLook = 0x200;

  ExplorerBranch();
  ~ExplorerBranch() override;

  // Loads missing materials, names itself and its label, links the label
  // to it and lays both out.
  void Setup();
  // The square, then the label to its right, then the child rows below.
  void Layout(const Rect& outer, const Rect& inner) override;
  // The square and label, then the child rows.
  void Draw() override;
  // The label's hit test, then the square's, then the child rows'.
  void OnMouseMove(const Vector2& point) override;
  // The square's handling, then the label's, then every child row's.
  void OnMessage(CMSGMessage* message) override;
  // Takes input (or not) with its label.
  void EnableInput() override;
  void DisableInput() override;
  // A press on the square posts the expand or collapse record and flips the look.
  void OnPress() override;

  void ShowCollapsed();
  void ShowExpanded();
  bool LooksExpanded() const { return HasState(kExpandedLook); }
  // The look of this row and of every row below it.
  void CollapseAll();
  void ExpandAll();

  // Appends a child row named (and labelled) after the name, with this row's
  // size and font, active and taking input; returns its index.
  int32_t AddChildBranch(const char* branchName);
  // The child row at the index, or null.
  ExplorerBranch* GetChildBranch(uint32_t index) const {
    return index < children_.size() ? children_[index].get() : nullptr;
  }
  uint32_t GetChildBranchCount() const { return static_cast<uint32_t>(children_.size()); }
  // Forgets the item its records carry and stops taking input (a row that
  // shows no item must never hand out an item that may be gone).
  void Forget();

  TextBox label;
  CMSGMessage expandMessage;
  CMSGMessage collapseMessage;
  CMATMaterial* plus = nullptr;   // not owned
  CMATMaterial* minus = nullptr;  // not owned
  CMATMaterial* frame = nullptr;  // not owned

 private:
  // Stacks the child rows one row in, each below the rows of the one before.
  void PlaceChildBranches();
  // This row and every row below it.
  uint32_t CountRows() const;

  std::vector<std::unique_ptr<ExplorerBranch>> children_;
  ExplorerBranch* parentBranch_ = nullptr;  // not owned; the owner of this row
};
