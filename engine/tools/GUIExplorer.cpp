#include "engine/tools/GUIExplorer.h"

#include <algorithm>
#include <cmath>

#include "engine/foundation/Log.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/ScrollBar.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/ExplorerMaterials.h"
#include "engine/tools/MessageRecord.h"

// ---- ExplorerPairArray ----

void ExplorerPairArray::Resize(uint32_t n) {
  pairs_.clear();
  pairs_.shrink_to_fit();
  pairs_.reserve(n);
  capacity_ = n;
}

bool ExplorerPairArray::Append(int32_t key, int32_t value) {
  if (pairs_.size() >= capacity_) return false;
  pairs_.emplace_back(key, value);
  return true;
}

void ExplorerPairArray::Clear() {
  pairs_.clear();
  pairs_.shrink_to_fit();
  capacity_ = 0;
}

// ---- GUIExplorer ----

GUIExplorer::GUIExplorer() {
  name = "GUI Explorer";
  root_.name = "Root";
  root_.expanded = 1;
}

GUIExplorer::~GUIExplorer() = default;

void GUIExplorer::SetDefaultFrame(int32_t frame) {
  frameArgument_ = frame;
  Window::SetDefaultFrame(frame);
  CMATManager* materials = CMATManager::GetInstance();
  plus_ = materials->GetMaterial(kExplorerPlusImage);
  minus_ = materials->GetMaterial(kExplorerMinusImage);
  frame_ = materials->GetMaterial(kExplorerFrameImage);
  CreateScrollBars(false, true);
  CreateBranchCache(wantedCacheSize_);
}

void GUIExplorer::CreateBranchCache(uint32_t n) {
  LogDBG("GUIExplorer::CreateBranchCache(%d)", static_cast<int>(n));
  branches_.clear();
  rowTotal_ = 0;
  nextFreeBranch_ = 0;
  Rect place;
  place.SetPositionSize(Vector2(0.0f, 0.0f), Vector2(kRowHeight, kRowHeight));
  for (uint32_t i = 0; i < n; ++i) {
    auto branch = std::make_unique<ExplorerBranch>();
    branch->Layout(place, place);
    branch->plus = plus_;
    branch->minus = minus_;
    branch->frame = frame_;
    for (TextBox::TextStyle& style : branch->label.styles) style.font = frameArgument_;
    branch->Setup();
    GetGUIMSGService()->Post(eMSG_GUIENABLE, ownId, branch->GetId(), 0, 0.0);
    GetGUIMSGService()->Post(eMSG_GUIACTIVATE, ownId, branch->GetId(), 0, 0.0);
    branch->label.Layout(branch->label.outer, branch->label.inner);
    const float height = place.Height();
    place.SetPositionSize(Vector2(place.min.x, place.min.y + height), place.GetSize());
    branches_.push_back(std::move(branch));
  }
}

void GUIExplorer::SetCacheSize(uint32_t n) {
  if (n <= wantedCacheSize_) return;
  wantedCacheSize_ = n;
  CreateBranchCache(n);
}

int32_t GUIExplorer::AddItem(GUIExplorerItem* parent, const char* itemName) {
  if (parent == nullptr) parent = &root_;
  auto item = std::make_unique<GUIExplorerItem>();
  item->name = itemName != nullptr ? itemName : "";
  item->parent = parent;
  parent->children.push_back(std::move(item));
  // A new child closes its parent: a freshly filled tree shows its top level.
  parent->expanded = 0;
  ++rowTotal_;
  if (verticalBar != nullptr) {
    verticalBar->SetRange(0.0f, static_cast<float>(rowTotal_), 1.0f);
    // The view starts at the root.
    verticalBar->ToStart();
    verticalBar->UpdateThumb();
  }
  return static_cast<int32_t>(parent->children.size()) - 1;
}

GUIExplorerItem* GUIExplorer::GetChild(GUIExplorerItem* parent, uint32_t index) {
  if (parent == nullptr) parent = &root_;
  return index < parent->children.size() ? parent->children[index].get() : nullptr;
}

void GUIExplorer::ClearChildren(GUIExplorerItem* item) {
  if (item != nullptr) item->children.clear();
}

void GUIExplorer::DeleteItem(GUIExplorerItem* item) {
  if (item == nullptr || item == &root_ || item->parent == nullptr) return;
  auto& siblings = item->parent->children;
  siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                [item](const std::unique_ptr<GUIExplorerItem>& s) { return s.get() == item; }),
                 siblings.end());
}

uint32_t GUIExplorer::CountRows(const GUIExplorerItem& item) {
  uint32_t rows = 1;
  if (item.expanded) {
    for (const auto& child : item.children) rows += CountRows(*child);
  }
  return rows;
}

void GUIExplorer::UpdateScrollRange() {
  if (verticalBar == nullptr) return;
  const float fraction = verticalBar->GetPosition();
  verticalBar->SetRange(0.0f, static_cast<float>(rowTotal_), 1.0f);
  verticalBar->SetPosition(fraction * static_cast<float>(rowTotal_));
}

void GUIExplorer::Layout(const Rect& newOuter, const Rect& newInner) {
  Window::Layout(newOuter, newInner);
  if (branches_.empty()) return;
  nextFreeBranch_ = 0;
  rowCounter_ = 0;
  depth_ = 0;
  // The total follows the tree as it is now, so rebuilds never inflate it.
  rowTotal_ = CountRows(root_);
  UpdateScrollRange();
  // The thumb at its start shows the root, at its end the last page.
  const uint32_t rows = GetCacheCount();
  const uint32_t lastFirst = rowTotal_ > rows ? rowTotal_ - rows : 0;
  const float position = verticalBar != nullptr ? verticalBar->GetPosition() : 0.0f;
  firstVisibleRow_ = std::min(lastFirst, static_cast<uint32_t>(std::lround(position * static_cast<float>(lastFirst))));
  PlaceItem(&root_);
  for (uint32_t i = nextFreeBranch_; i < rows; ++i) {
    ExplorerBranch* unused = branches_[i].get();
    GetGUIMSGService()->Post(eMSG_GUIHIDE, ownId, unused->GetId(), 0, 0.0);
    unused->Forget();
  }
}

void GUIExplorer::PlaceItem(GUIExplorerItem* item) {
  if (rowCounter_ >= firstVisibleRow_ && nextFreeBranch_ < branches_.size()) {
    ExplorerBranch* branch = branches_[nextFreeBranch_++].get();
    branch->label.SetText(item->name.Chars());
    branch->label.Layout(branch->label.outer, branch->label.inner);
    const int32_t from = branch->GetId();
    const intptr_t shown = reinterpret_cast<intptr_t>(item);
    FillRecord(branch->expandMessage, eMSG_GUIBRANCHEXPANDED, from, ownId, shown);
    FillRecord(branch->collapseMessage, eMSG_GUIBRANCHCOLLAPSED, from, ownId, shown);
    FillRecord(branch->label.pressMessage, eMSG_GUIBRANCHPICKED, from, ownId, shown);
    FillRecord(branch->label.releaseMessage, eMSG_GUIBRANCHRELEASED, from, ownId, shown);
    if (!branch->HasState(GUIState::kTakesInput)) branch->EnableInput();
    GetGUIMSGService()->Post(eMSG_GUISHOW, ownId, from, 0, 0.0);
    // One row height of indent per level.
    const float h = branch->outer.Height();
    Rect row;
    row.SetPositionSize(Vector2(static_cast<float>(depth_) * h, branch->outer.min.y), Vector2(h, h));
    branch->Layout(row, row);
    if (item->expanded) {
      branch->ShowExpanded();
    } else {
      branch->ShowCollapsed();
    }
  }
  // Counted before the children: rows run in display order.
  ++rowCounter_;
  if (!item->expanded) return;
  ++depth_;
  for (const auto& child : item->children) {
    if (nextFreeBranch_ >= branches_.size()) break;
    PlaceItem(child.get());
  }
  --depth_;
}

void GUIExplorer::DrawContents() {
  for (const auto& branch : branches_) branch->Draw();
}

void GUIExplorer::OnMessage(CMSGMessage* message) {
  Window::OnMessage(message);
  if (!HasState(GUIState::kActive)) return;
  if (message->id == eMSG_GUISHOW && message->target == ownId) {
    Layout(outer, inner);
  } else if (GetWindowManager()->GetFocusedWindow() == this) {
    for (const auto& branch : branches_) {
      if (message->id == eMSG_UIOMOUSEMOVE) {
        branch->OnMouseMove(localPointer);
      } else {
        branch->OnMessage(message);
      }
    }
  }
  GUIExplorerItem* item = reinterpret_cast<GUIExplorerItem*>(message->parameter);
  switch (message->id) {
    case eMSG_GUIBRANCHEXPANDED:
    case eMSG_GUIBRANCHCOLLAPSED: {
      const uint8_t open = message->id == eMSG_GUIBRANCHEXPANDED ? 1 : 0;
      if (item == nullptr || item->expanded == open) break;
      item->expanded = open;
      // Laid out again at once, so the children appear or go now.
      Layout(outer, inner);
      break;
    }
    case eMSG_GUIBRANCHPICKED:
      if (item != nullptr) ItemPicked(item);
      break;
    case eMSG_GUIBRANCHRELEASED:
      if (item != nullptr) ItemReleased(item);
      break;
    default:
      break;
  }
}

void GUIExplorer::OnWheelUp(intptr_t) {
  if (verticalBar != nullptr) PostGUI(eMSG_Previous, verticalBar->GetId());
}

void GUIExplorer::OnWheelDown(intptr_t) {
  if (verticalBar != nullptr) PostGUI(eMSG_Next, verticalBar->GetId());
}

void GUIExplorer::ItemPicked(GUIExplorerItem*) {}

void GUIExplorer::ItemReleased(GUIExplorerItem*) {}
