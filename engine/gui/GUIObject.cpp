#include "engine/gui/GUIObject.h"

#include <cmath>

#include "engine/foundation/Maths.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"

namespace {

// Render-state bit a material gets once a GUI element uses it.
constexpr uint32_t kGUIMaterialFlag = 0x200000;

bool IsHandled(const CMSGMessage* message) { return (message->handled & 1) != 0; }
void MarkHandled(CMSGMessage* message) { message->handled |= 1; }

}  // namespace

GUIObject::GUIObject() {
  // The frame pieces cover the first three quarters of the frame image in u
  // and its three thirds in v, from the top (v = 1) down.
  const float third = 0.33333334f;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      Rect& piece = pieceUV[row * 3 + column];
      piece.min = {0.25f * column, 1.0f - third * row};
      piece.max = {0.25f * (column + 1), 1.0f - third * (row + 1)};
      piece.centre = {(piece.min.x + piece.max.x) / 2, (piece.min.y + piece.max.y) / 2};
    }
  }
  imageUV.min = {0.0f, 1.0f};
  imageUV.max = {1.0f, 0.0f};
  name = "Default";
  ownId = GetGUIMSGService()->AddListener(this);
}

GUIObject::~GUIObject() {
  // The listener base leaves the GUI service.
  if (GUIWindowManager* manager = ExistingWindowManager()) manager->ForgetObject(this);
}

void GUIObject::PostGUI(uint32_t id, int32_t target, intptr_t value) const {
  GetGUIMSGService()->Post(id, ownId, target, value, 0.0);
}

bool GUIObject::IsFocusedElement() const {
  GUIWindowManager* manager = ExistingWindowManager();
  return manager != nullptr && manager->GetFocusedElement() == this;
}

CMATMaterial* GUIObject::GetImage(int index) const {
  return index >= 0 && index < kImageCount ? images[index] : nullptr;
}

void GUIObject::SetLayer(float value) {
  layer = value;
  state &= ~GUIState::kDefaults;
}

void GUIObject::SetRenderFunction(GUIRenderFunction* function) {
  renderFunction = function;
  state &= ~GUIState::kDefaults;
}

void GUIObject::UpdateImageState() {
  if (!imageStates || !HasState(GUIState::kShown)) return;
  const bool takesInput = HasState(GUIState::kTakesInput);
  const bool focused = IsFocusedElement();
  const bool pressed = HasState(GUIState::kPressed);
  CMATMaterial* chosen;
  if ((style & GUIStyle::kBandStrip) == 0) {
    int index = !takesInput ? 0 : focused ? 2 : pressed ? 3 : 1;
    chosen = images[index];
  } else {
    chosen = images[1];
    float from = !takesInput ? 1.0f : focused ? 0.5f : pressed ? 0.25f : 0.75f;
    imageUV.min = {0.0f, from};
    imageUV.max = {1.0f, from - 0.25f};
  }
  if (style & GUIStyle::kImageIsFrame) {
    frameMaterial = chosen;
  } else {
    overlayMaterial = chosen;
  }
}

void GUIObject::ForgetMaterials() {
  for (CMATMaterial*& image : images) image = nullptr;
  frameMaterial = nullptr;
  overlayMaterial = nullptr;
}

bool GUIObject::SetImageMaterial(int index, CMATMaterial* material) {
  if (index < 0 || index >= kImageCount || material == nullptr) return false;
  images[index] = material;
  frameMaterial = material;
  overlayMaterial = material;
  if (CMATStage* first = material->GetStage(0)) first->flags |= kGUIMaterialFlag;
  if (index != 1) style &= ~GUIStyle::kBandStrip;
  state &= ~GUIState::kDefaults;
  return true;
}

bool GUIObject::SetImage(int index, const char* materialName) {
  CMATManager* materials = CMATManager::GetInstance();
  if (materials == nullptr || materialName == nullptr) return false;
  return SetImageMaterial(index, materials->GetMaterial(materialName));
}

void GUIObject::LoseFocus() {
  if (!IsFocusedElement()) return;
  state |= GUIState::kFocusLost;
  GetWindowManager()->SetFocusedElement(nullptr);
}

void GUIObject::GainFocus() {
  GUIWindowManager* manager = GetWindowManager();
  GUIObject* previous = manager->GetFocusedElement();
  if (previous != nullptr && previous != this) PostGUI(eMSG_GUILOSEFOCUS, previous->ownId);
  manager->SetFocusedElement(ownId < 0 ? nullptr : this);
}

bool GUIObject::HitTest(const Vector2& point) const {
  const Rect& box = HitRect();
  return point.x >= box.min.x && point.x <= box.max.x && point.y >= box.min.y && point.y <= box.max.y;
}

void GUIObject::OnMouseMove(const Vector2& point) {
  if (HitTest(point)) {
    if (!IsFocusedElement()) {
      GainFocus();
      UpdateImageState();
    }
    return;
  }
  if (HasState(GUIState::kPressed)) dragOffset = Vector2::Subtract(point, pressPosition);
  if (IsFocusedElement()) {
    LoseFocus();
    UpdateImageState();
  } else {
    state &= ~GUIState::kFocusLost;
  }
}

void GUIObject::OnPress() {
  pressPosition = GUICursorPosition();
  BeginDrag();
}

void GUIObject::OnLButtonUp() { EndDrag(); }
void GUIObject::OnMButtonDown() { pressPosition = dragOffset; }
void GUIObject::OnRButtonDown() { pressPosition = dragOffset; }

void GUIObject::Show(bool shown) {
  if (shown) {
    state |= GUIState::kShown;
  } else {
    state &= ~GUIState::kShown;
  }
}

void GUIObject::Activate(bool active) {
  if (active) {
    state |= GUIState::kActive;
    OnUpdate();
  } else {
    state &= ~GUIState::kActive;
  }
}

void GUIObject::EnableInput() { state |= GUIState::kTakesInput; }
void GUIObject::DisableInput() { state &= ~GUIState::kTakesInput; }

static void RecomputeCentre(Rect& rect) {
  rect.centre = {(rect.min.x + rect.max.x) / 2, (rect.min.y + rect.max.y) / 2};
}

void GUIObject::UpdateContentArea() {
  const Rect& box = HitRect();
  contentAnchor = {box.min.x, box.max.y};
  contentExtent = box.GetSize();
}

void GUIObject::Layout(const Rect& newOuter, const Rect& newInner) {
  outer = newOuter;
  inner = newInner;
  RecomputeCentre(outer);
  RecomputeCentre(inner);
  UpdateContentArea();
}

void GUIObject::BeginDrag() {
  if (!IsFocusedElement()) return;
  state |= GUIState::kPressed;
  pressPosition = GUICursorPosition();
}

void GUIObject::EndDrag() { state &= ~GUIState::kPressed; }

void GUIObject::Close() {
  if (IsFocusedElement()) PostGUI(eMSG_GUILOSEFOCUS, ownId);
}

void GUIObject::MoveTo(const Vector2& position) {
  const Vector2 innerOffset = Vector2::Subtract(inner.min, outer.min);
  outer.SetPositionSize(position, outer.GetSize());
  inner.SetPositionSize(Vector2::Add(position, innerOffset), inner.GetSize());
  UpdateContentArea();
}

void GUIObject::Grow(const Vector2& delta) {
  const Vector2 size = Vector2::Add(outer.GetSize(), delta);
  outer.SetPositionSize(outer.min, size);
  inner.SetPositionSize(outer.min, size);
  UpdateContentArea();
}

void GUIObject::OnMessage(CMSGMessage* message) {
  if (!IsHandled(message)) {
    if (GetCurrentState() != nullptr) HandleMessage(message);
    const uint32_t id = message->id;
    if (!HasState(GUIState::kActive)) {
      if (id == eMSG_GUIACTIVATE) Activate(true);
    } else {
      if (HasState(GUIState::kShown)) {
        if (IsFocusedElement() && HasState(GUIState::kTakesInput)) {
          bool taken = true;
          switch (id) {
            case eMSG_GUILOSEFOCUS:
              LoseFocus();
              break;
            case eMSG_UIOKEYDOWN:
              OnKeyDown(message->parameter);
              break;
            case eMSG_UIOKEYHELD:
              OnKeyHeld(message->parameter);
              break;
            case eMSG_UIOKEYUP:
              OnKeyUp(message->parameter);
              break;
            case eMSG_UIOLMB_DOWN:
              OnPress();
              OnLButtonDown(message);
              break;
            case eMSG_UIOLMB_HELD:
              OnLButtonHeld();
              break;
            case eMSG_UIOLMB_DBL:
              OnLButtonDouble();
              break;
            case eMSG_UIOMMB_DOWN:
              OnMButtonDown();
              break;
            case eMSG_UIOMMB_UP:
              OnMButtonUp();
              break;
            case eMSG_UIOMMB_DBL:
              OnMButtonDouble();
              break;
            case eMSG_UIORMB_DOWN:
              OnRButtonDown();
              break;
            case eMSG_UIORMB_UP:
              OnRButtonUp();
              break;
            case eMSG_UIORMB_DBL:
              OnRButtonDouble();
              break;
            case eMSG_UIOWHEEL_UP:
              OnWheelUp(message->parameter);
              break;
            case eMSG_UIOWHEEL_DOWN:
              OnWheelDown(message->parameter);
              break;
            default:
              taken = false;
              break;
          }
          if (taken) MarkHandled(message);
        }
        switch (id) {
          case eMSG_GUIGAINFOCUS:
            GainFocus();
            MarkHandled(message);
            break;
          case eMSG_UIOLMB_UP:
            OnLButtonUp();
            break;
          case eMSG_UIOMOUSEMOVE:
            OnMouseMove(GUICursorPosition());
            break;
          default:
            break;
        }
      } else if (id == eMSG_GUISHOW) {
        Show(true);
      }
      switch (id) {
        case eMSG_GUICREATE:
          OnCreate();
          break;
        case eMSG_GUICLOSE:
          Close();
          break;
        case eMSG_GUIDEACTIVATE:
          Activate(false);
          break;
        case eMSG_GUIHIDE:
          Show(false);
          break;
        case eMSG_GUIUPDATE:
          OnUpdate();
          break;
        case eMSG_GUICHANGE:
          OnChange();
          break;
        case eMSG_GUITOGGLESHOW:
          Show(!HasState(GUIState::kShown));
          break;
        default:
          break;
      }
    }
    if (id == eMSG_GUIENABLE) EnableInput();
    if (id == eMSG_GUIDISABLE) DisableInput();
  }
  UpdateImageState();
}

void GUIObject::ContentScissor(const Vector2& anchor, const Vector2& extent, int displayWidth, int displayHeight,
                               int box[4]) {
  box[0] = TruncateToInt(anchor.x * displayWidth / 800.0f);
  box[1] = TruncateToInt(displayHeight - anchor.y * displayHeight / 600.0f);
  box[2] = TruncateToInt(extent.x * displayWidth / 800.0f);
  box[3] = TruncateToInt(extent.y * displayHeight / 600.0f);
}

// ---- GUIChildList ----

void GUIChildList::Add(GUIObject* element) {
  if (element != nullptr) children_.push_back(element);
}

void GUIChildList::Remove(GUIObject* element) {
  for (auto it = children_.begin(); it != children_.end(); ++it) {
    if (*it == element) {
      children_.erase(it);
      return;
    }
  }
}

void GUIChildList::Clear() { children_.clear(); }

bool GUIChildList::Contains(const GUIObject* element) const {
  for (GUIObject* child : children_) {
    if (child == element) return true;
  }
  return false;
}

GUIObject* GUIChildList::GetAt(int index) const {
  if (index < 0 || index >= static_cast<int>(children_.size())) return nullptr;
  return children_[index];
}

int GUIChildList::LastIndex() const { return static_cast<int>(children_.size()) - 1; }
int GUIChildList::Count() const { return static_cast<int>(children_.size()); }

// Walks a copy so a child that leaves the list during the walk cannot
// invalidate the iteration.
void GUIChildList::DrawAll() {
  std::vector<GUIObject*> snapshot = children_;
  for (GUIObject* child : snapshot) child->Draw();
}

void GUIChildList::HitTestAll(const Vector2& point) {
  std::vector<GUIObject*> snapshot = children_;
  for (GUIObject* child : snapshot) child->OnMouseMove(point);
}

void GUIChildList::Broadcast(CMSGMessage* message) {
  std::vector<GUIObject*> snapshot = children_;
  for (GUIObject* child : snapshot) {
    child->OnMessage(message);
    if (IsHandled(message)) return;
  }
}
