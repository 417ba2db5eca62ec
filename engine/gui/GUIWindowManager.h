#pragma once
// The one registry of the GUI's windows: updates, draws and feeds them
// messages, holds the focus pointers and keeps window places in a layout file.

#include <cstdint>
#include <vector>

#include "engine/foundation/String.h"
#include "engine/runtime/fsm/Base.h"

class GUIObject;
class Window;

class GUIWindowManager : public Base {
 public:
  GUIWindowManager();
  ~GUIWindowManager() override;

  // Null for an empty name; else the window of that name, created when missing.
  Window* RequestWindow(const char* name);
  // The last registered window of that name, or null.
  Window* FindWindow(const char* name) const;
  // The window with that manager index, or null.
  Window* FindWindowByIndex(int index) const;
  // Appends the window, gives it the next number (0, 1, 2... in registration
  // order, never reused), then applies the layer ordering.
  void RegisterWindow(Window* window);
  // Moves a registered window in front of every window of its layer or a
  // lower one (drawn after them); windows of a higher layer stay in front.
  void BringToFront(Window* window);
  // Removes the window and any focus it (or one of its children) held.
  void UnregisterWindow(Window* window);
  // Steps every window's state machine, first to last.
  void UpdateWindows();
  // Draws the shown windows that pass the layer filter, last to first.
  void DrawWindows();
  // exact: only that layer; else every layer up to the value.
  void SetLayerFilter(bool exact, float value);
  bool IsLayerFilterExact() const { return layerFilterExact_ != 0; }
  float GetLayerFilter() const { return layerFilterValue_; }
  // True when DrawWindows would draw a window of this layer.
  bool PassesLayerFilter(float layer) const;
  void SetFocusedElement(GUIObject* element);
  void SetFocusedWindow(Window* window);
  GUIObject* GetFocusedElement() const { return focusedElement_; }
  Window* GetFocusedWindow() const { return focusedWindow_; }
  // An element that takes the keys whatever the pointer rests on (a console
  // line while its console is out); null gives the keys back to the focused
  // element.
  void SetKeyboardFocus(GUIObject* element);
  GUIObject* GetKeyboardFocus() const { return keyboardFocus_; }
  // The element the keys reach now: the keyboard focus while it is shown,
  // active and takes input, else the focused element when it takes input;
  // null when no element takes them.
  GUIObject* GetKeyTarget() const;
  // Drops every focus pointer to the object (it is being destroyed).
  void ForgetObject(const GUIObject* object);
  int GetWindowCount() const { return static_cast<int>(windows_.size()); }
  // The window at a list position (0 first), or null.
  Window* GetWindowAt(int position) const;
  // Offers the message to the windows, last to first, until one handles it;
  // keys go straight to a usable keyboard focus instead.
  void OnMessage(CMSGMessage* message) override;
  // The manager's receiver id on the GUI service, where input is posted to it.
  int32_t GetGUIReceiverId() const { return guiEndpoint_.receiverId; }

  // Writes every window's name, position and size (atomically); false when
  // the file cannot be written.
  bool WriteLayout(const char* path) const;
  // Places the named windows as the file says; unknown names are skipped.
  bool ReadLayout(const char* path);
  // Creates and sets up windows from a GUI definition file.
  bool LoadGUIDefinition(const char* path);

 private:
  bool IsRegistered(const Window* window) const;

  std::vector<Window*> windows_;  // not owned
  // The number the next registered window gets; never handed out twice.
  int nextWindowIndex_ = 0;
  uint8_t layerFilterExact_ = 0;
  float layerFilterValue_ = 0.0f;
  Window* focusedWindow_ = nullptr;
  GUIObject* focusedElement_ = nullptr;
  GUIObject* keyboardFocus_ = nullptr;
  // The manager's second receiver: on the GUI service, next to its GEO one.
  CMSGForwarder<GUIWindowManager, &GUIWindowManager::OnMessage> guiEndpoint_{this};
};

// The manager, built on first use.
GUIWindowManager* GetWindowManager();
// The manager when it exists, else null (destructors at exit).
GUIWindowManager* ExistingWindowManager();
