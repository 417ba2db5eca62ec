#pragma once
// A bar with two arrow icons and a draggable thumb driving a 0..1 position.

#include "engine/foundation/ValueStepper.h"
#include "engine/gui/Icon.h"

class ScrollBar : public GUIObject {
 public:
  ScrollBar();
  void OnMouseMove(const Vector2& point) override;
  // A track click pages toward the click; a click on the thumb does nothing.
  void OnPress() override;
  void Activate(bool active) override;
  void EnableInput() override;
  void DisableInput() override;
  void Layout(const Rect& outer, const Rect& inner) override;
  void OnCreate() override;
  void DrawContents() override {}
  void Draw() override;
  void OnMessage(CMSGMessage* message) override;

  // range = |a - b|, thumb fraction = visible / range (1 for an empty range).
  void SetRange(float a, float b, float visible);
  // Position = value / range, clamped to 0..1.
  void SetPosition(float value);
  void Centre();
  void ToStart();
  void ToEnd();
  // position × range + minimum.
  float GetValue() const { return position.GetValue() * range + minimum; }
  float GetPosition() const { return position.GetValue(); }
  float GetRange() const { return range; }
  float GetMinimum() const { return minimum; }
  float GetThumbFraction() const { return thumbFraction; }
  float GetPageStep() const { return pageStep; }
  bool IsVertical() const { return orientation == 1; }
  // Places the thumb for the position and tells the parent.
  void UpdateThumb();
  // Steps the position by the amount, kept within 0..1.
  void StepBy(float amount);

  Icon decrement;
  Icon increment;
  Icon thumb;
  float minimum = 0.0f;
  float range = 0.0f;
  ValueStepper position;
  float pageStep = 0.0f;
  float thumbFraction = 0.0f;
  int32_t orientation = 0;
};
