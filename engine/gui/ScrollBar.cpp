#include "engine/gui/ScrollBar.h"

#include <cmath>

#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"

namespace {
constexpr int32_t kClamped = 2;
constexpr float kPageNotches = 10.0f;
constexpr float kThumbShare = 0.1f;
}  // namespace

ScrollBar::ScrollBar() {
  name = "ScrollBar";
  position.Set(kClamped, 0.0f, 1.0f, 0.0f, 0.0f);
}

void ScrollBar::StepBy(float amount) {
  // The stepper's clamped mode keeps the value within its limits.
  position.Step(amount);
  position.ApplyLimits();
}

void ScrollBar::OnMouseMove(const Vector2& point) {
  GUIObject::OnMouseMove(point);
  if (!HasState(GUIState::kPressed) && !thumb.HasState(GUIState::kPressed)) return;
  const Vector2 motion = GetMouseCursor()->motion;
  StepBy((IsVertical() ? motion.y : motion.x) * thumbFraction);
  UpdateThumb();
}

void ScrollBar::OnPress() {
  const Vector2 cursor = GUICursorPosition();
  const float along = IsVertical() ? cursor.y : cursor.x;
  const float thumbStart = IsVertical() ? thumb.outer.min.y : thumb.outer.min.x;
  const float thumbEnd = IsVertical() ? thumb.outer.max.y : thumb.outer.max.x;
  if (along < thumbStart) {
    StepBy(-pageStep);
  } else if (along > thumbEnd) {
    StepBy(pageStep);
  }
  UpdateThumb();
}

void ScrollBar::Activate(bool active) {
  GUIObject::Activate(active);
  decrement.Activate(active);
  increment.Activate(active);
  thumb.Activate(active);
}

void ScrollBar::EnableInput() {
  state |= GUIState::kTakesInput;
  for (Icon* icon : {&decrement, &increment, &thumb}) PostGUI(eMSG_GUIENABLE, icon->GetId());
}

void ScrollBar::DisableInput() {
  state &= ~GUIState::kTakesInput;
  for (Icon* icon : {&decrement, &increment, &thumb}) PostGUI(eMSG_GUIDISABLE, icon->GetId());
}

void ScrollBar::Layout(const Rect& newOuter, const Rect& newInner) {
  const Vector2 size = newOuter.GetSize();
  const float side = IsVertical() ? size.x : size.y;
  Rect low;
  Rect high;
  if (IsVertical()) {
    high.SetPositionSize(newOuter.min, {side, side});
    low.SetPositionSize({newOuter.min.x, newOuter.max.y - side}, {side, side});
  } else {
    low.SetPositionSize(newOuter.min, {side, side});
    high.SetPositionSize({newOuter.max.x - side, newOuter.min.y}, {side, side});
  }
  decrement.Layout(low, low);
  increment.Layout(high, high);
  GUIObject::Layout(newOuter, newInner);
  UpdateThumb();
}

void ScrollBar::OnCreate() {
  decrement.name = name + ":Decrement";
  increment.name = name + ":Increment";
  thumb.name = name + ":Thumb";
  SetImage(1, "Frames/MainWindow.png");
  decrement.SetImage(1, "Icons/UpArrow.png");
  increment.SetImage(1, "Icons/UpArrow.png");
  thumb.SetImage(1, "Icons/ScrollThumb.png");
  decrement.OnCreate();
  increment.OnCreate();
  thumb.OnCreate();
}

void ScrollBar::Draw() {
  GUIObject::Draw();
  if (!HasState(GUIState::kShown)) return;
  decrement.Draw();
  increment.Draw();
  thumb.Draw();
}

void ScrollBar::OnMessage(CMSGMessage* message) {
  GUIObject::OnMessage(message);
  if (!HasState(GUIState::kActive)) return;
  for (Icon* icon : {&decrement, &increment, &thumb}) icon->OnMessage(message);
  if (message->id == eMSG_Next || message->id == eMSG_Previous) {
    StepBy(message->id == eMSG_Next ? thumbFraction : -thumbFraction);
    UpdateThumb();
    message->handled |= 1;
  }
}

void ScrollBar::SetRange(float a, float b, float visible) {
  range = std::fabs(a - b);
  // An empty range shows everything: the thumb covers the whole bar.
  thumbFraction = range > 0.0f ? visible / range : 1.0f;
  pageStep = thumbFraction * kPageNotches;
  PostGUI(eMSG_GUIENABLE, ownId);
  position.Set(kClamped, 0.0f, 1.0f, 0.5f, thumbFraction);
  Layout(outer, inner);
}

void ScrollBar::SetPosition(float value) {
  float fraction = range > 0.0f ? value / range : 0.0f;
  if (!(fraction >= 0.0f)) fraction = 0.0f;
  if (fraction > 1.0f) fraction = 1.0f;
  position.Set(kClamped, 0.0f, 1.0f, fraction, thumbFraction);
  UpdateThumb();
}

void ScrollBar::Centre() {
  position.SetFraction(0.5f);
  UpdateThumb();
}

void ScrollBar::ToStart() {
  position.ToMinimum();
  UpdateThumb();
}

void ScrollBar::ToEnd() {
  position.ToMaximum();
  UpdateThumb();
}

void ScrollBar::UpdateThumb() {
  const bool vertical = IsVertical();
  const Vector2 size = outer.GetSize();
  const float length = vertical ? size.y : size.x;
  const float thumbLength = kThumbShare * length;
  const float decrementLength = vertical ? decrement.outer.GetSize().y : decrement.outer.GetSize().x;
  const float incrementLength = vertical ? increment.outer.GetSize().y : increment.outer.GetSize().x;
  const float freeLength = length - thumbLength - decrementLength - incrementLength;
  const float start = (vertical ? outer.min.y : outer.min.x) + decrementLength + freeLength * position.GetValue();
  Rect thumbOuter;
  if (vertical) {
    thumbOuter.SetPositionSize({outer.min.x, start}, {size.x, thumbLength});
  } else {
    thumbOuter.SetPositionSize({start, outer.min.y}, {thumbLength, size.y});
  }
  const Vector2 border = Vector2::Scale(decrement.outer.GetSize(), 0.5f);
  Rect thumbInner;
  thumbInner.SetPositionSize(Vector2::Add(thumbOuter.min, border),
                             Vector2::Subtract(thumbOuter.GetSize(), Vector2::Scale(border, 2.0f)));
  thumb.Layout(thumbOuter, thumbInner);
  if (parentId >= 0) PostGUI(eMSG_GUIUPDATE, parentId);
}
