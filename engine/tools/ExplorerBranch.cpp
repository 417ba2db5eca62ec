#include "engine/tools/ExplorerBranch.h"

#include <iterator>

#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/ExplorerMaterials.h"

ExplorerBranch::ExplorerBranch() { name = "ExplorerBranch"; }

ExplorerBranch::~ExplorerBranch() = default;

void ExplorerBranch::Setup() {
  CMATManager* materials = CMATManager::GetInstance();
  if (plus == nullptr) plus = materials->GetMaterial(kExplorerPlusImage);
  if (minus == nullptr) minus = materials->GetMaterial(kExplorerMinusImage);
  if (frame == nullptr) frame = materials->GetMaterial(kExplorerFrameImage);
  SetImageMaterial(1, plus);
  name = name + ":Branch";
  label.name = name + ":Content";
  label.SetParentId(ownId);
  label.SetLayer(layer);
  label.SetImageMaterial(0, frame);
  label.SetImageMaterial(2, frame);
  label.SetImageMaterial(3, frame);
  label.SetStyle(label.GetStyle() & ~0x3u);
  Layout(outer, inner);
  GetGUIMSGService()->Post(eMSG_GUIACTIVATE, ownId, label.GetId(), 0, 0.0);
}

void ExplorerBranch::Layout(const Rect& newOuter, const Rect& newInner) {
  Icon::Layout(newOuter, newInner);
  const float h = outer.Height();
  const float x = outer.max.x;
  Rect text;
  text.SetPositionSize(Vector2(x + h / 2.0f, outer.min.y), Vector2(kLabelWidth - h, h));
  label.Layout(text, text);
  label.SetStyle(label.GetStyle() & ~GUIStyle::kClip);
  PlaceChildBranches();
}

void ExplorerBranch::PlaceChildBranches() {
  const Vector2 size = outer.GetSize();
  const float h = size.y;
  float top = outer.min.y + h;
  for (const auto& child : children_) {
    Rect row;
    row.SetPositionSize(Vector2(outer.min.x + h, top), size);
    child->Layout(row, row);
    top += h * static_cast<float>(child->CountRows());
  }
}

uint32_t ExplorerBranch::CountRows() const {
  uint32_t rows = 1;
  for (const auto& child : children_) rows += child->CountRows();
  return rows;
}

// Nothing else draws or hit-tests the child rows (only windows are drawn by
// the window manager), so the row that owns them does.
void ExplorerBranch::Draw() {
  Icon::Draw();
  label.Draw();
  for (const auto& child : children_) child->Draw();
}

void ExplorerBranch::OnMouseMove(const Vector2& point) {
  label.OnMouseMove(point);
  Icon::OnMouseMove(point);
  for (const auto& child : children_) child->OnMouseMove(point);
}

void ExplorerBranch::OnMessage(CMSGMessage* message) {
  Icon::OnMessage(message);
  label.OnMessage(message);
  for (const auto& child : children_) child->OnMessage(message);
}

void ExplorerBranch::EnableInput() {
  Icon::EnableInput();
  GetGUIMSGService()->Post(eMSG_GUIENABLE, ownId, label.GetId(), 0, 0.0);
}

void ExplorerBranch::DisableInput() {
  Icon::DisableInput();
  GetGUIMSGService()->Post(eMSG_GUIDISABLE, ownId, label.GetId(), 0, 0.0);
}

void ExplorerBranch::OnPress() {
  Icon::OnPress();
  if (!IsFocusedElement()) return;
  if (LooksExpanded()) {
    PostRecord(collapseMessage);
    ShowCollapsed();
  } else {
    PostRecord(expandMessage);
    ShowExpanded();
  }
}

void ExplorerBranch::ShowCollapsed() {
  state &= ~kExpandedLook;
  SetImageMaterial(1, plus);
  Layout(outer, inner);
}

void ExplorerBranch::ShowExpanded() {
  state |= kExpandedLook;
  SetImageMaterial(1, minus);
  Layout(outer, inner);
}

void ExplorerBranch::CollapseAll() {
  ShowCollapsed();
  for (const auto& child : children_) child->CollapseAll();
}

void ExplorerBranch::ExpandAll() {
  ShowExpanded();
  for (const auto& child : children_) child->ExpandAll();
}

int32_t ExplorerBranch::AddChildBranch(const char* branchName) {
  auto child = std::make_unique<ExplorerBranch>();
  child->parentBranch_ = this;
  child->SetParentId(ownId);
  child->name = branchName != nullptr ? branchName : "";
  child->label.SetText(child->name.Chars());
  for (size_t i = 0; i < std::size(label.styles); ++i) child->label.styles[i].font = label.styles[i].font;
  child->plus = plus;
  child->minus = minus;
  child->frame = frame;
  child->Layout(outer, inner);
  child->Setup();
  GetGUIMSGService()->Post(eMSG_GUIACTIVATE, ownId, child->GetId(), 0, 0.0);
  GetGUIMSGService()->Post(eMSG_GUIENABLE, ownId, child->GetId(), 0, 0.0);
  children_.push_back(std::move(child));
  // A new row pushes down every row after it, also those of the rows above.
  ExplorerBranch* top = this;
  while (top->parentBranch_ != nullptr) top = top->parentBranch_;
  top->Layout(top->outer, top->inner);
  return static_cast<int32_t>(children_.size()) - 1;
}

void ExplorerBranch::Forget() {
  for (CMSGMessage* record : {&expandMessage, &collapseMessage, &label.pressMessage, &label.releaseMessage}) {
    record->parameter = 0;
  }
  DisableInput();
}
