#pragma once
// An icon that shows one line of text in four state styles and can take
// typed characters.

#include "engine/gui/Icon.h"

class TextBox : public Icon {
 public:
  struct TextStyle {
    int32_t font = -1;  // -1: no text in this state
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  };
  static constexpr const char* kCaret = "|";

  TextBox();
  // When editable: the keys of this poll edit the text (Backspace, Enter,
  // characters), each through TypeKey in the order pressed.
  void OnKeyDown(intptr_t key) override;
  // One pressed key (shifted: a shift key was down at its press); the text
  // box applies the codes that edit a line.
  virtual void TypeKey(uint8_t code, bool shifted);
  void DrawContents() override;
  void Layout(const Rect& outer, const Rect& inner) override;

  // Applies one key code to the text (shifted: upper case and symbols).
  void ApplyKey(uint8_t code, bool shifted);
  // The character a key code types, or 0.
  static char CharacterFor(uint8_t code, bool shifted);
  // True when the box is editable and the keys reach it now.
  bool TakesTheKeys() const;
  // The style index for the current state (2 focused, 3 pressed, 1 input, 0).
  int CurrentStyleIndex() const;
  void SetStyleColour(int index, const float rgba[4]);
  void SetStyles(int32_t font, const float rgba[4]);
  void SetText(const char* text);
  const String& GetText() const { return text; }
  // Redraws the text (the line changed).
  virtual void RefreshText() { OnUpdate(); }

  TextStyle styles[4];
  uint8_t alignment = 0;
  Rect textRect;
  String text;
  uint8_t editable = 0;
  uint8_t submitted = 0;
};
