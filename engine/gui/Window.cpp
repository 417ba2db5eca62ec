#include "engine/gui/Window.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/foundation/Maths.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/RenderState.h"
#include "engine/gui/GUILog.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Icon.h"
#include "engine/gui/ScrollBar.h"
#include "engine/gui/TitleBar.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MSGService.h"

Window::Window() {
  name = "Window";
  style = 0xc9;
  showState.Set(this, "Show", &Window::ShowEnter, &Window::ShowUpdate, &Window::ShowMessage, &Window::ShowExit);
  idleState.Set(this, "Idle", &Window::IdleEnter, &Window::IdleUpdate, &Window::IdleMessage, &Window::IdleExit);
  hideState.Set(this, "Hide", &Window::HideEnter, &Window::HideUpdate, &Window::HideMessage, &Window::HideExit);
  QueueState(&idleState);
  GetWindowManager()->RegisterWindow(this);
}

Window::~Window() {
  if (GUIWindowManager* manager = ExistingWindowManager()) manager->UnregisterWindow(this);
  // The frame children are the window's own; the content children are not.
  delete titleBar;
  delete verticalBar;
  delete horizontalBar;
  delete resizeIcon;
}

// Next writes the state's trace line.
void Window::QueueState(FsmState* next) { Next(next); }

void Window::OnShowEnter() { QueueState(&idleState); }
void Window::OnHideEnter() { QueueState(&idleState); }

void Window::LoseFocus() {
  GUIWindowManager* manager = GetWindowManager();
  state |= GUIState::kFocusLost;
  manager->SetFocusedWindow(nullptr);
  GUIPrintf("Window %s lost focus", name.Chars());
  if (manager->GetFocusedElement() == this) manager->SetFocusedElement(nullptr);
}

void Window::GainFocus() {
  GUIWindowManager* manager = GetWindowManager();
  Window* previous = manager->GetFocusedWindow();
  if (previous != nullptr && previous != this) PostGUI(eMSG_GUILOSEFOCUS, previous->GetId());
  manager->SetFocusedWindow(ownId < 0 ? nullptr : this);
  GUIPrintf("Window %s gained focus", name.Chars());
  GUIObject::GainFocus();
}

void Window::OnMouseMove(const Vector2& point) {
  GUIWindowManager* manager = GetWindowManager();
  const bool focused = manager->GetFocusedWindow() == this;
  if (HitTest(point)) {
    if (HasState(GUIState::kPressed)) dragOffset = Vector2::Subtract(point, pressPosition);
    if (!focused) {
      GainFocus();
      UpdateImageState();
    }
  } else {
    if (HasState(GUIState::kPressed)) dragOffset = Vector2::Subtract(point, pressPosition);
    if (focused) {
      LoseFocus();
      UpdateImageState();
    } else {
      state &= ~GUIState::kFocusLost;
    }
  }
  const Vector2 origin = hitOnInner ? inner.min : outer.min;
  localPointer = Vector2::Subtract(point, origin);
  children.HitTestAll(localPointer);
}

void Window::OnWheelUp(intptr_t) {
  if (verticalBar != nullptr) PostGUI(eMSG_Next, verticalBar->GetId());
}

void Window::OnWheelDown(intptr_t) {
  if (verticalBar != nullptr) PostGUI(eMSG_Previous, verticalBar->GetId());
}

void Window::Layout(const Rect& newOuter, const Rect& newInner) {
  GUIObject::Layout(newOuter, newInner);
  LayoutFrameChildren();
}

void Window::MoveTo(const Vector2& position) {
  GUIObject::MoveTo(position);
  LayoutFrameChildren();
}

void Window::OnUpdate() {
  if (!scrollsContents) return;
  if (verticalBar != nullptr) scrollY = verticalBar->GetValue();
  if (horizontalBar != nullptr) scrollX = -horizontalBar->GetValue();
}

void Window::DrawContents() { children.DrawAll(); }

void Window::Draw() {
  GUIObject::Draw();
  if (!HasState(GUIState::kShown)) return;
  if (titleBar != nullptr) titleBar->Draw();
  if (IsMinimised()) return;
  if (horizontalBar != nullptr) horizontalBar->Draw();
  if (verticalBar != nullptr) verticalBar->Draw();
  if (resizeIcon != nullptr) resizeIcon->Draw();
}

void Window::OnMessage(CMSGMessage* message) {
  if (!acceptsAnySender && message->source != parentId) return;
  GUIObject::OnMessage(message);
  if (HasState(GUIState::kActive) && !(message->handled & 1)) {
    bool taken = true;
    switch (message->id) {
      case eMSG_GUIMINIMISE:
        Minimise();
        break;
      case eMSG_GUIMAXIMISE:
        Maximise();
        break;
      case eMSG_GUIRESTORE:
        Restore();
        break;
      // Messages carrying a pointer are posted with delay 0; a null one is ignored.
      case eMSG_GUIRESIZE:
        if (message->parameter != 0) {
          const Rect& rect = *reinterpret_cast<const Rect*>(message->parameter);
          Layout(rect, rect);
        }
        break;
      case eMSG_GUIREPOSITION:
        if (message->parameter != 0) MoveTo(*reinterpret_cast<const Vector2*>(message->parameter));
        break;
      case eMSG_GUIADJUSTSIZE:
        if (message->parameter != 0) AdjustSize(*reinterpret_cast<const Vector2*>(message->parameter));
        break;
      default:
        taken = false;
        break;
    }
    if (taken) message->handled |= 1;
    if (GetWindowManager()->GetFocusedWindow() == this &&
        (message->id == eMSG_UIOWHEEL_UP || message->id == eMSG_UIOWHEEL_DOWN)) {
      if (message->id == eMSG_UIOWHEEL_UP) {
        OnWheelUp(message->parameter);
      } else {
        OnWheelDown(message->parameter);
      }
      message->handled |= 1;
    }
  }
  if (titleBar != nullptr) titleBar->OnMessage(message);
  if (verticalBar != nullptr) verticalBar->OnMessage(message);
  if (horizontalBar != nullptr) horizontalBar->OnMessage(message);
  if (resizeIcon != nullptr) resizeIcon->OnMessage(message);
  if (message->id != eMSG_UIOMOUSEMOVE) children.Broadcast(message);
}

void Window::LayoutFrameChildren() {
  const float border = std::fabs(outer.min.x - inner.min.x);
  float x = outer.min.x;
  float y = outer.min.y;
  Vector2 size = outer.GetSize();
  float width = size.x;
  float height = size.y;
  bool placeRest = true;
  if (titleBar != nullptr) {
    Rect bar;
    bar.SetPositionSize({x, y}, {width, border});
    Rect barInner;
    barInner.SetPositionSize({x + border / 2, y}, {width - border, border});
    titleBar->Layout(bar, barInner);
    minimisedRect = bar;
    y += border;
    height -= border;
    if (IsMinimised()) {
      height = 0.0f;
      placeRest = false;
    }
  }
  if (placeRest) {
    if (resizeIcon != nullptr) {
      Rect grip;
      grip.SetPositionSize({outer.max.x - border, outer.max.y - border}, {border, border});
      resizeIcon->Layout(grip, grip);
    }
    if (verticalBar != nullptr) {
      float reserved = 0.0f;
      if (resizeIcon != nullptr) {
        reserved = resizeIcon->outer.GetSize().y;
      } else if (horizontalBar != nullptr) {
        reserved = horizontalBar->outer.GetSize().y;
      }
      Rect bar;
      bar.SetPositionSize({x + width - border, y}, {border, height - reserved});
      Rect barInner;
      barInner.SetPositionSize({bar.min.x, bar.min.y + border / 2}, {border, height - reserved - border});
      verticalBar->Layout(bar, barInner);
      width -= border;
    }
    if (horizontalBar != nullptr) {
      const float reserved = (verticalBar == nullptr && resizeIcon != nullptr) ? resizeIcon->outer.GetSize().x : 0.0f;
      Rect bar;
      bar.SetPositionSize({x, y + height - border}, {width - reserved, border});
      Rect barInner;
      barInner.SetPositionSize({bar.min.x + border / 2, bar.min.y}, {width - reserved - border, border});
      horizontalBar->Layout(bar, barInner);
      height -= border;
    }
  }
  if (width < 0.0f) width = 0.0f;
  if (height < 0.0f) height = 0.0f;
  clientSize = {width, height};
  CDisplay* display = GetDisplay();
  ViewportFor(inner, display->GetWidth(), display->GetHeight(), viewport);
}

void Window::ViewportFor(const Rect& area, int displayWidth, int displayHeight, int out[4]) {
  const Vector2 size = area.GetSize();
  // A rectangle far outside the screen saturates instead of overflowing.
  out[2] = TruncateToInt(size.x / 800.0f * displayWidth);
  out[3] = TruncateToInt(size.y / 600.0f * displayHeight);
  out[0] = TruncateToInt(area.min.x / 800.0f * displayWidth);
  out[1] = TruncateToInt(displayHeight - (area.min.y / 600.0f * displayHeight + out[3]));
}

void Window::AdjustSize(const Vector2& delta) {
  normalRect.SetPositionSize(normalRect.min, Vector2::Add(normalRect.GetSize(), delta));
  Layout(normalRect, normalRect);
}

void Window::Maximise() {
  if (IsMaximised()) {
    Restore();
    return;
  }
  state = (state & ~GUIState::kMinimised) | GUIState::kMaximised;
  style |= GUIStyle::kContents;
  Layout(maximisedRect, maximisedRect);
}

void Window::Minimise() {
  if (IsMinimised()) return;
  state = (state & ~GUIState::kMaximised) | GUIState::kMinimised;
  style &= ~GUIStyle::kContents;
  Layout(minimisedRect, minimisedRect);
}

void Window::Restore() {
  if (!IsMaximised() && !IsMinimised()) return;
  state &= ~(GUIState::kMaximised | GUIState::kMinimised);
  style |= GUIStyle::kContents;
  Layout(normalRect, normalRect);
  Activate(true);
}

void Window::SetDefaultFrame(int32_t styleId) {
  frameStyle = styleId;
  SetImage(1, "Frames/MainWindow.png");
}

void Window::SetRect(const Rect& newOuter, const Rect& newInner) {
  normalRect = newOuter;
  maximisedRect = newOuter;
  minimisedRect = newOuter;
  state &= ~GUIState::kDefaults;
  Layout(newOuter, newInner);
}

void Window::CreateTitleBar(const char* caption, uint32_t buttons) {
  if (titleBar != nullptr) return;
  titleBar = new TitleBar();
  titleBar->name = name + "TitleBar";
  style |= GUIStyle::kHasTitleBar;
  titleBar->SetParentId(ownId);
  titleBar->SetStyle(titleBar->GetStyle() | buttons | GUIStyle::kFrame);
  for (int32_t& id : titleBar->frameStyles) id = frameStyle;
  titleBar->Show(true);
  titleBar->Activate(true);
  titleBar->SetText(caption);
  LayoutFrameChildren();
  titleBar->OnCreate();
  PostGUI(eMSG_GUIENABLE, titleBar->GetId());
}

void Window::CreateScrollBars() { CreateScrollBars(true, true); }

void Window::CreateScrollBars(bool horizontal, bool vertical) {
  if (horizontalBar != nullptr || verticalBar != nullptr) return;
  if (horizontal) {
    horizontalBar = new ScrollBar();
    horizontalBar->name = name + ":HScrollBar";
    horizontalBar->orientation = 0;
  }
  if (vertical) {
    verticalBar = new ScrollBar();
    verticalBar->name = name + ":VScrollBar";
    verticalBar->orientation = 1;
  }
  for (ScrollBar* bar : {horizontalBar, verticalBar}) {
    if (bar == nullptr) continue;
    bar->hitOnInner = 0;
    bar->SetParentId(ownId);
    bar->Show(true);
    bar->Activate(true);
    bar->OnCreate();
    PostGUI(eMSG_GUIENABLE, bar->GetId());
  }
  // The vertical bar is shortened by the horizontal bar's height, which the
  // first pass only just gave it.
  LayoutFrameChildren();
  LayoutFrameChildren();
}

void Window::CreateResizeIcon() {
  if (resizeIcon != nullptr) return;
  resizeIcon = new Icon();
  resizeIcon->name = name + ":ResizeIcon";
  resizeIcon->Show(true);
  resizeIcon->Activate(true);
  resizeIcon->OnCreate();
  LayoutFrameChildren();
}

void Window::SetMinimisedRect(const Rect& rect) {
  minimisedRect = rect;
  state &= ~GUIState::kDefaults;
}

void Window::SetMaximisedRect(const Rect& rect) {
  maximisedRect = rect;
  state &= ~GUIState::kDefaults;
}

void Window::SetCaption(const char* text) {
  if (titleBar == nullptr) return;
  titleBar->SetText(text);
  titleBar->OnUpdate();
}

void Window::Rename(const char* text) { name = text != nullptr ? text : ""; }

void Window::PushViewport(float nearPlane, float farPlane) {
  // The display may have changed size since the window was laid out.
  CDisplay* display = GetDisplay();
  ViewportFor(inner, display->GetWidth(), display->GetHeight(), viewport);
  glGetIntegerv(GL_VIEWPORT, savedViewport);
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  GFXDisplay::SetProjection(1, -100.0f, 100.0f, -100.0f, 100.0f, nearPlane, farPlane);
  savedRenderState = GFXDisplay::GetRenderState();
}

void Window::PopViewport() {
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
  GFXDisplay::SetRenderState(savedRenderState);
}
