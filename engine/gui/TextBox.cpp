#include "engine/gui/TextBox.h"

#include <cstring>

#include "engine/graphics/GFXDisplay.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MSGSystem.h"

namespace {

// US keyboard layout by scan code: unshifted and shifted characters.
struct KeyChars {
  uint8_t code;
  char plain;
  char shifted;
};
constexpr KeyChars kKeyTable[] = {
    {0x02, '1', '!'}, {0x03, '2', '@'}, {0x04, '3', '#'}, {0x05, '4', '$'}, {0x06, '5', '%'},
    {0x07, '6', '^'}, {0x08, '7', '&'}, {0x09, '8', '*'}, {0x0a, '9', '('}, {0x0b, '0', ')'},
    {0x0c, '-', '_'}, {0x0d, '=', '+'}, {0x10, 'q', 'Q'}, {0x11, 'w', 'W'}, {0x12, 'e', 'E'},
    {0x13, 'r', 'R'}, {0x14, 't', 'T'}, {0x15, 'y', 'Y'}, {0x16, 'u', 'U'}, {0x17, 'i', 'I'},
    {0x18, 'o', 'O'}, {0x19, 'p', 'P'}, {0x1a, '[', '{'}, {0x1b, ']', '}'}, {0x1e, 'a', 'A'},
    {0x1f, 's', 'S'}, {0x20, 'd', 'D'}, {0x21, 'f', 'F'}, {0x22, 'g', 'G'}, {0x23, 'h', 'H'},
    {0x24, 'j', 'J'}, {0x25, 'k', 'K'}, {0x26, 'l', 'L'}, {0x27, ';', ':'}, {0x28, '\'', '"'},
    {0x29, '`', '~'}, {0x2b, '\\', '|'}, {0x2c, 'z', 'Z'}, {0x2d, 'x', 'X'}, {0x2e, 'c', 'C'},
    {0x2f, 'v', 'V'}, {0x30, 'b', 'B'}, {0x31, 'n', 'N'}, {0x32, 'm', 'M'}, {0x33, ',', '<'},
    {0x34, '.', '>'}, {0x35, '/', '?'}, {0x37, '*', '*'}, {0x39, ' ', ' '}, {0x47, '7', '7'},
    {0x48, '8', '8'}, {0x49, '9', '9'}, {0x4a, '-', '-'}, {0x4b, '4', '4'}, {0x4c, '5', '5'},
    {0x4d, '6', '6'}, {0x4e, '+', '+'}, {0x4f, '1', '1'}, {0x50, '2', '2'}, {0x51, '3', '3'},
    {0x52, '0', '0'}, {0x53, '.', '.'}, {0xb5, '/', '/'},
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
  if (code == kBackspace) {
    const uint32_t length = text.Length();
    if (length > 0) text = text.Left(static_cast<int>(length) - 1);
    return;
  }
  if (code == kEnter || code == kPadEnter) {
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
  if (code >= 2 && code <= 0x9c) ApplyKey(code, shifted);
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
    case 2: x = outer.min.x + size.x / 2 - textWidth / 2; break;
    case 4: x = outer.max.x - textWidth; break;
    default: x = outer.min.x; break;
  }
  float y;
  switch (alignment & 0xf0) {
    case 0x10: y = outer.min.y; break;
    case 0x40: y = outer.max.y - textHeight; break;
    default: y = outer.min.y + size.y / 2 - textHeight / 2; break;
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
