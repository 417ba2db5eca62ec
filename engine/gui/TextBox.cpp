#include "engine/gui/TextBox.h"

#include <cstring>

#include "engine/graphics/GFXDisplay.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "platform/KeyCodes.h"

namespace {

namespace key = platform::key;

// US keyboard layout by key code: unshifted and shifted characters.
struct KeyChars {
  uint8_t code;
  char plain;
  char shifted;
};
constexpr KeyChars kKeyTable[] = {
    {key::Digit1, '1', '!'},
    {key::Digit2, '2', '@'},
    {key::Digit3, '3', '#'},
    {key::Digit4, '4', '$'},
    {key::Digit5, '5', '%'},
    {key::Digit6, '6', '^'},
    {key::Digit7, '7', '&'},
    {key::Digit8, '8', '*'},
    {key::Digit9, '9', '('},
    {key::Digit0, '0', ')'},
    {key::Minus, '-', '_'},
    {key::Equals, '=', '+'},
    {key::Q, 'q', 'Q'},
    {key::W, 'w', 'W'},
    {key::E, 'e', 'E'},
    {key::R, 'r', 'R'},
    {key::T, 't', 'T'},
    {key::Y, 'y', 'Y'},
    {key::U, 'u', 'U'},
    {key::I, 'i', 'I'},
    {key::O, 'o', 'O'},
    {key::P, 'p', 'P'},
    {key::LeftBracket, '[', '{'},
    {key::RightBracket, ']', '}'},
    {key::A, 'a', 'A'},
    {key::S, 's', 'S'},
    {key::D, 'd', 'D'},
    {key::F, 'f', 'F'},
    {key::G, 'g', 'G'},
    {key::H, 'h', 'H'},
    {key::J, 'j', 'J'},
    {key::K, 'k', 'K'},
    {key::L, 'l', 'L'},
    {key::Semicolon, ';', ':'},
    {key::Apostrophe, '\'', '"'},
    {key::Grave, '`', '~'},
    {key::Backslash, '\\', '|'},
    {key::Z, 'z', 'Z'},
    {key::X, 'x', 'X'},
    {key::C, 'c', 'C'},
    {key::V, 'v', 'V'},
    {key::B, 'b', 'B'},
    {key::N, 'n', 'N'},
    {key::M, 'm', 'M'},
    {key::Comma, ',', '<'},
    {key::Period, '.', '>'},
    {key::Slash, '/', '?'},
    {key::NumpadMultiply, '*', '*'},
    {key::Space, ' ', ' '},
    {key::Numpad7, '7', '7'},
    {key::Numpad8, '8', '8'},
    {key::Numpad9, '9', '9'},
    {key::NumpadMinus, '-', '-'},
    {key::Numpad4, '4', '4'},
    {key::Numpad5, '5', '5'},
    {key::Numpad6, '6', '6'},
    {key::NumpadPlus, '+', '+'},
    {key::Numpad1, '1', '1'},
    {key::Numpad2, '2', '2'},
    {key::Numpad3, '3', '3'},
    {key::Numpad0, '0', '0'},
    {key::NumpadPeriod, '.', '.'},
    {key::NumpadDivide, '/', '/'},
};

}  // namespace

TextBox::TextBox() { name = "TextBox"; }

char TextBox::CharacterFor(uint8_t code, bool shifted) {
  for (const KeyChars& entry : kKeyTable) {
    if (entry.code == code) return shifted ? entry.shifted : entry.plain;
  }
  return 0;
}

void TextBox::ApplyKey(uint8_t code, bool shifted) {
  if (code == key::Backspace) {
    const uint32_t length = text.Length();
    if (length > 0) text = text.Left(static_cast<int>(length) - 1);
    return;
  }
  if (code == key::Return || code == key::NumpadEnter) {
    CMSGSystem::Get()->Post(eMSG_GUICHANGE, ownId, parentId >= 0 ? parentId : ownId, 0, 0.0);
    submitted = 1;
    return;
  }
  const char c = CharacterFor(code, shifted);
  if (c != 0) {
    const char typed[2] = {c, '\0'};
    text += typed;
  }
}

void TextBox::OnKeyDown(intptr_t) {
  if (!editable) return;
  CUIOManager* input = GetUIOManager();
  CUIOKeyboard* keyboard = input != nullptr ? input->GetKeyboard() : nullptr;
  if (keyboard == nullptr) return;
  // Each key in the order typed, as a capital when a shift key was down at
  // its press (a quick typist lets go of shift before the next frame).
  const uint8_t* pressed = keyboard->GetPressed();
  const uint8_t count = keyboard->GetPressedCount();
  for (uint8_t i = 0; i < count; ++i) TypeKey(pressed[i], keyboard->WasShiftedAt(i));
  RefreshText();
}

void TextBox::TypeKey(uint8_t code, bool shifted) {
  // The main block and the pad edit the line; Escape and the keys past the
  // pad's Enter (the arrows among them) are left to whoever else reads them.
  if (code >= key::Digit1 && code <= key::NumpadEnter) ApplyKey(code, shifted);
}

int TextBox::CurrentStyleIndex() const {
  if (IsFocusedElement()) return 2;
  if (HasState(GUIState::kPressed)) return 3;
  return HasState(GUIState::kTakesInput) ? 1 : 0;
}

bool TextBox::TakesTheKeys() const {
  const GUIWindowManager* manager = ExistingWindowManager();
  return editable && manager != nullptr && manager->GetKeyTarget() == this;
}

void TextBox::DrawContents() {
  const TextStyle& current = styles[CurrentStyleIndex()];
  if (current.font < 0) return;
  GFXDisplay::SetFontColour(current.font, current.colour);
  // A box that the keys reach shows a caret after its text.
  String shown = text;
  if (TakesTheKeys()) shown += kCaret;
  GFXDisplay::PrintAt(current.font, shown.Chars(), 0, 0);
}

void TextBox::Layout(const Rect& newOuter, const Rect& newInner) {
  Icon::Layout(newOuter, newInner);
  const TextStyle& current = styles[CurrentStyleIndex()];
  float textWidth = 0.0f;
  float textHeight = 0.0f;
  if (current.font >= 0 && current.font < GFXDisplay::GetFontCount()) {
    textWidth = static_cast<float>(GFXDisplay::GetTextWidth(current.font, text.Chars()));
    textHeight = static_cast<float>(GFXDisplay::GetFontHeight(current.font));
  }
  const Vector2 size = outer.GetSize();
  float x;
  switch (alignment & 0x0f) {
    case 2:
      x = outer.min.x + size.x / 2 - textWidth / 2;
      break;
    case 4:
      x = outer.max.x - textWidth;
      break;
    default:
      x = outer.min.x;
      break;
  }
  float y;
  switch (alignment & 0xf0) {
    case 0x10:
      y = outer.min.y;
      break;
    case 0x40:
      y = outer.max.y - textHeight;
      break;
    default:
      y = outer.min.y + size.y / 2 - textHeight / 2;
      break;
  }
  textRect.SetPositionSize({x, y}, {textWidth, textHeight});
  // Contents are drawn translated to the hit-test rectangle's corner, so the
  // offset is the text's place relative to it: the text lands exactly on
  // its rectangle whatever the frame border.
  const Rect& hit = HitRect();
  scrollX = x - hit.min.x;
  scrollY = y - hit.min.y;
}

void TextBox::SetStyleColour(int index, const float rgba[4]) {
  if (index < 0 || index > 3) return;
  std::memcpy(styles[index].colour, rgba, sizeof styles[index].colour);
}

void TextBox::SetStyles(int32_t font, const float rgba[4]) {
  for (TextStyle& entry : styles) {
    entry.font = font;
    std::memcpy(entry.colour, rgba, sizeof entry.colour);
  }
}

void TextBox::SetText(const char* newText) {
  text = newText != nullptr ? newText : "";
  OnUpdate();
}
