#pragma once
// Helpers shared by the GUI tests: a recording element and message
// shorthands; every module channel is on from the start.

#include <string>
#include <vector>

#include "engine/gui/GUIObject.h"

namespace gui_test {

// Delivers a message straight to a receiver (as the service would); returns
// whether it came back handled.
bool Deliver(CMSGListener* receiver, uint32_t id, intptr_t value = 0, int32_t source = -1);

// A GUI element that records which of its operations ran.
class Probe : public GUIObject {
 public:
  void OnKeyDown(intptr_t key) override { calls.push_back("KeyDown:" + std::to_string(key)); }
  void OnLButtonDown(CMSGMessage*) override { calls.push_back("LButtonDown"); }
  void OnLButtonUp() override {
    calls.push_back("LButtonUp");
    GUIObject::OnLButtonUp();
  }
  void OnWheelUp(intptr_t) override { calls.push_back("WheelUp"); }
  void OnMouseMove(const Vector2& p) override {
    calls.push_back("MouseMove");
    GUIObject::OnMouseMove(p);
  }
  void UpdateImageState() override {
    ++imageRefreshes;
    GUIObject::UpdateImageState();
  }
  void OnCreate() override { calls.push_back("Create"); }
  void DrawContents() override {}
  // Shown, active and taking input.
  void Enable() { state |= GUIState::kShown | GUIState::kActive | GUIState::kTakesInput; }
  std::vector<std::string> calls;
  int imageRefreshes = 0;
};

// A rectangle from position and size.
Rect MakeRect(float x, float y, float w, float h);

}  // namespace gui_test
