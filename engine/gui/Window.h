#pragma once
// The top-level GUI element: a framed window with an optional title bar,
// scroll bars and resize grip, child elements, normal / maximised /
// minimised shapes, its own "Show" / "Idle" / "Hide" states and a pixel
// viewport for 3D views drawn inside it.

#include "engine/gui/GUIObject.h"
#include "engine/runtime/fsm/FsmState.h"

class Icon;
class ScrollBar;
class TitleBar;

class Window : public GUIObject {
 public:
  // Registers with the window manager and queues "Idle".
  Window();
  // Unregisters; deletes the title bar, scroll bars and resize icon it made.
  ~Window() override;

  void LoseFocus() override;
  void GainFocus() override;
  // Base hit test with window focus, then the children get the local point.
  void OnMouseMove(const Vector2& point) override;
  void OnWheelUp(intptr_t value) override;
  void OnWheelDown(intptr_t value) override;
  void Layout(const Rect& outer, const Rect& inner) override;
  void MoveTo(const Vector2& position) override;
  void OnUpdate() override;
  void DrawContents() override;
  void Draw() override;
  void OnMessage(CMSGMessage* message) override;

  // Places the title bar, resize icon and scroll bars, and the pixel viewport.
  virtual void LayoutFrameChildren();
  virtual void OnShowEnter();
  virtual void OnShowUpdate() {}
  virtual void OnShowExit() {}
  virtual void OnShowMessage(CMSGMessage*) {}
  virtual void OnIdleEnter() {}
  virtual void OnIdleUpdate() {}
  virtual void OnIdleExit() {}
  virtual void OnIdleMessage(CMSGMessage*) {}
  virtual void OnHideEnter();
  virtual void OnHideUpdate() {}
  virtual void OnHideExit() {}
  virtual void OnHideMessage(CMSGMessage*) {}
  // The normal rectangle grows by delta from its top-left corner.
  virtual void AdjustSize(const Vector2& delta);
  // Toggles between maximised and normal.
  virtual void Maximise();
  // Rolls up to the title bar; nothing when already minimised.
  virtual void Minimise();
  // Back to normal from either shape, and active.
  virtual void Restore();
  virtual void SetDefaultFrame(int32_t frameStyle);

  // Normal, maximised and minimised rectangles all become outer.
  void SetRect(const Rect& outer, const Rect& inner);
  void CreateTitleBar(const char* caption, uint32_t buttons);
  // Both scroll bars.
  void CreateScrollBars();
  // Only the bars asked for; nothing when the window already has one.
  void CreateScrollBars(bool horizontal, bool vertical);
  void CreateResizeIcon();
  void SetMinimisedRect(const Rect& rect);
  void SetMaximisedRect(const Rect& rect);
  void SetCaption(const char* text);
  void Rename(const char* text);
  TitleBar* GetTitleBar() const { return titleBar; }
  Icon* GetResizeIcon() const { return resizeIcon; }
  ScrollBar* GetScrollBar(bool vertical) const { return vertical ? verticalBar : horizontalBar; }
  bool IsMaximised() const { return HasState(GUIState::kMaximised); }
  bool IsMinimised() const { return HasState(GUIState::kMinimised); }
  void QueueShow() { QueueState(&showState); }
  void QueueHide() { QueueState(&hideState); }
  void QueueIdle() { QueueState(&idleState); }
  // Sets the GL viewport to the window's, with an orthographic projection.
  void PushViewport(float nearPlane, float farPlane);
  void PopViewport();
  // Pixel viewport for a display size (x, y from the bottom left, width, height).
  static void ViewportFor(const Rect& inner, int displayWidth, int displayHeight, int out[4]);

  GUIChildList children;
  int32_t managerIndex = -1;
  int32_t frameStyle = -1;
  float spare[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  Vector2 localPointer;
  // The content area left once the frame children are placed (never negative).
  Vector2 clientSize;
  Rect maximisedRect;
  Rect normalRect;
  Rect minimisedRect;
  uint8_t scrollsContents = 1;
  uint8_t acceptsAnySender = 1;
  TitleBar* titleBar = nullptr;
  ScrollBar* verticalBar = nullptr;
  ScrollBar* horizontalBar = nullptr;
  Icon* resizeIcon = nullptr;
  int32_t savedViewport[4] = {0, 0, 0, 0};
  uint32_t savedRenderState = 0;
  int32_t viewport[4] = {0, 0, 0, 0};
  FsmStateOf<Window> showState;
  FsmStateOf<Window> idleState;
  FsmStateOf<Window> hideState;

 private:
  void QueueState(FsmState* next);
  void ShowEnter() { OnShowEnter(); }
  void ShowUpdate() { OnShowUpdate(); }
  void ShowExit() { OnShowExit(); }
  void ShowMessage(CMSGMessage* m) { OnShowMessage(m); }
  void IdleEnter() { OnIdleEnter(); }
  void IdleUpdate() { OnIdleUpdate(); }
  void IdleExit() { OnIdleExit(); }
  void IdleMessage(CMSGMessage* m) { OnIdleMessage(m); }
  void HideEnter() { OnHideEnter(); }
  void HideUpdate() { OnHideUpdate(); }
  void HideExit() { OnHideExit(); }
  void HideMessage(CMSGMessage* m) { OnHideMessage(m); }
};
