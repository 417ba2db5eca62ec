#pragma once
// One row of an explorer: a small expand/collapse square with a text label
// beside it. The explorer hands its rows out afresh to the visible items at
// every layout, filling the row's message records with the item shown.

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
  // The square, then the label to its right.
  void Layout(const Rect& outer, const Rect& inner) override;
  void Draw() override;
  // The label's hit test, then the square's.
  void OnMouseMove(const Vector2& point) override;
  // The square's handling, then the label's.
  void OnMessage(CMSGMessage* message) override;
  // Takes input (or not) with its label.
  void EnableInput() override;
  void DisableInput() override;
  // A press on the square posts the expand or collapse record and flips the look.
  void OnPress() override;

  void ShowCollapsed();
  void ShowExpanded();
  bool LooksExpanded() const { return HasState(kExpandedLook); }
  // Forgets the item its records carry and stops taking input (a row that
  // shows no item must never hand out an item that may be gone).
  void Forget();

  TextBox label;
  CMSGMessage expandMessage;
  CMSGMessage collapseMessage;
  CMATMaterial* plus = nullptr;   // not owned
  CMATMaterial* minus = nullptr;  // not owned
  CMATMaterial* frame = nullptr;  // not owned
};
