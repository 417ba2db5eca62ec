#include "tools/ExplorerBranch.h"

#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "tools/ExplorerMaterials.h"

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
}

void ExplorerBranch::Draw() {
  Icon::Draw();
  label.Draw();
}

void ExplorerBranch::OnMouseMove(const Vector2& point) {
  label.OnMouseMove(point);
  Icon::OnMouseMove(point);
}

void ExplorerBranch::OnMessage(CMSGMessage* message) {
  Icon::OnMessage(message);
  label.OnMessage(message);
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

void ExplorerBranch::Forget() {
  for (CMSGMessage* record : {&expandMessage, &collapseMessage, &label.pressMessage, &label.releaseMessage}) {
    record->parameter = 0;
  }
  DisableInput();
}
