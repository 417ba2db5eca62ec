#include "engine/gui/GUIWindowManager.h"

#include <algorithm>
#include <memory>

#include "engine/foundation/Log.h"
#include "engine/gui/Window.h"
#include "engine/runtime/messages/MSGService.h"

namespace {

std::unique_ptr<GUIWindowManager>& ManagerSlot() {
  static std::unique_ptr<GUIWindowManager> manager;
  return manager;
}
bool gManagerGone = false;

// Destroys the manager at exit before the message system it is registered in.
struct ManagerReaper {
  ~ManagerReaper() {
    ManagerSlot().reset();
    gManagerGone = true;
  }
};

}  // namespace

GUIWindowManager* GetWindowManager() {
  // The slot is built before the reaper so that it is destroyed after it:
  // the reaper must find the slot still holding the manager.
  std::unique_ptr<GUIWindowManager>& slot = ManagerSlot();
  static ManagerReaper reaper;
  if (!slot && !gManagerGone) slot = std::make_unique<GUIWindowManager>();
  return slot.get();
}

GUIWindowManager* ExistingWindowManager() { return ManagerSlot().get(); }

GUIWindowManager::GUIWindowManager() {
  name = "GEMWindows";
  guiEndpoint_.name = "GEMWindows";
  GetGUIMSGService()->AddListener(&guiEndpoint_);
}

GUIWindowManager::~GUIWindowManager() {
  // Windows outliving the manager must not call back into it.
  for (Window* window : windows_) window->managerIndex = -1;
}

Window* GUIWindowManager::RequestWindow(const char* windowName) {
  if (windowName == nullptr || windowName[0] == '\0') return nullptr;
  LogGEM("Window requested : %s", windowName);
  if (Window* existing = FindWindow(windowName)) {
    LogGEM("Acquired existing window.");
    return existing;
  }
  // Requested windows live until the program ends, like every window.
  Window* window = new Window();
  window->name = windowName;
  return window;
}

Window* GUIWindowManager::FindWindow(const char* windowName) const {
  if (windowName == nullptr) return nullptr;
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if ((*it)->name == windowName) return *it;
  }
  return nullptr;
}

Window* GUIWindowManager::FindWindowByIndex(int index) const {
  if (index < 0) return nullptr;
  for (Window* window : windows_) {
    if (window->managerIndex == index) return window;
  }
  return nullptr;
}

Window* GUIWindowManager::GetWindowAt(int position) const {
  if (position < 0 || position >= static_cast<int>(windows_.size())) return nullptr;
  return windows_[position];
}

void GUIWindowManager::RegisterWindow(Window* window) {
  if (window == nullptr) return;
  windows_.push_back(window);
  // Numbers come from a counter: the list's size would repeat a live
  // window's number once one was removed.
  window->managerIndex = nextWindowIndex_++;
  // The first window gives its place to the first later one of a higher layer.
  for (size_t i = 1; i < windows_.size(); ++i) {
    if (windows_[i]->GetLayer() > windows_[0]->GetLayer()) {
      std::swap(windows_[0], windows_[i]);
      break;
    }
  }
  LogGEM("New window registered... [%d] %s", window->managerIndex, window->name.Chars());
}

void GUIWindowManager::BringToFront(Window* window) {
  auto found = std::find(windows_.begin(), windows_.end(), window);
  if (found == windows_.end()) return;
  windows_.erase(found);
  // The list is drawn last to first: the front is its start.
  auto place = std::find_if(windows_.begin(), windows_.end(),
                            [window](const Window* other) { return other->GetLayer() <= window->GetLayer(); });
  windows_.insert(place, window);
}

void GUIWindowManager::UnregisterWindow(Window* window) {
  for (auto it = windows_.begin(); it != windows_.end(); ++it) {
    if (*it != window) continue;
    windows_.erase(it);
    if (keyboardFocus_ == window || (keyboardFocus_ && window->children.Contains(keyboardFocus_))) {
      keyboardFocus_ = nullptr;
    }
    if (focusedWindow_ == window) {
      if (focusedElement_ == window || (focusedElement_ && window->children.Contains(focusedElement_))) {
        focusedElement_ = nullptr;
      }
      focusedWindow_ = nullptr;
    }
    LogGEM("Window unregistered... [%d] %s", window->managerIndex, window->name.Chars());
    return;
  }
}

void GUIWindowManager::ForgetObject(const GUIObject* object) {
  if (focusedElement_ == object) focusedElement_ = nullptr;
  if (keyboardFocus_ == object) keyboardFocus_ = nullptr;
  if (focusedWindow_ != nullptr && static_cast<const GUIObject*>(focusedWindow_) == object) focusedWindow_ = nullptr;
}

// The walks below go over a copy of the list and skip windows that left it
// meanwhile, so a handler may create or destroy windows.
bool GUIWindowManager::IsRegistered(const Window* window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

void GUIWindowManager::UpdateWindows() {
  std::vector<Window*> snapshot = windows_;
  for (Window* window : snapshot) {
    if (IsRegistered(window)) window->StateMachine::Update();
  }
}

bool GUIWindowManager::PassesLayerFilter(float windowLayer) const {
  return layerFilterExact_ ? windowLayer == layerFilterValue_ : windowLayer <= layerFilterValue_;
}

void GUIWindowManager::DrawWindows() {
  std::vector<Window*> snapshot = windows_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    Window* window = *it;
    if (!IsRegistered(window)) continue;
    if (window->HasState(GUIState::kShown) && PassesLayerFilter(window->GetLayer())) window->Draw();
  }
}

void GUIWindowManager::SetLayerFilter(bool exact, float value) {
  layerFilterExact_ = exact ? 1 : 0;
  layerFilterValue_ = value;
}

void GUIWindowManager::SetFocusedElement(GUIObject* element) {
  focusedElement_ = (element == nullptr || element->GetId() < 0) ? nullptr : element;
}

void GUIWindowManager::SetFocusedWindow(Window* window) {
  focusedWindow_ = (window == nullptr || window->GetId() < 0) ? nullptr : window;
}

void GUIWindowManager::SetKeyboardFocus(GUIObject* element) {
  keyboardFocus_ = (element == nullptr || element->GetId() < 0) ? nullptr : element;
}

namespace {

bool TakesKeys(const GUIObject* element) {
  const uint32_t needed = GUIState::kShown | GUIState::kActive | GUIState::kTakesInput;
  return element != nullptr && (element->GetState() & needed) == needed;
}

}  // namespace

GUIObject* GUIWindowManager::GetKeyTarget() const {
  if (TakesKeys(keyboardFocus_)) return keyboardFocus_;
  return TakesKeys(focusedElement_) ? focusedElement_ : nullptr;
}

void GUIWindowManager::OnMessage(CMSGMessage* message) {
  const uint32_t id = message->id;
  if ((id == eMSG_UIOKEYDOWN || id == eMSG_UIOKEYHELD || id == eMSG_UIOKEYUP) && TakesKeys(keyboardFocus_) &&
      !(message->handled & 1)) {
    if (id == eMSG_UIOKEYDOWN) keyboardFocus_->OnKeyDown(message->parameter);
    if (id == eMSG_UIOKEYHELD) keyboardFocus_->OnKeyHeld(message->parameter);
    if (id == eMSG_UIOKEYUP) keyboardFocus_->OnKeyUp(message->parameter);
    message->handled |= 1;
    return;
  }
  std::vector<Window*> snapshot = windows_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (!IsRegistered(*it)) continue;
    (*it)->OnMessage(message);
    if (message->handled & 1) return;
  }
}
