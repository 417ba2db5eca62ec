// The one table from SDL scancodes to the engine's key codes.

#include <SDL2/SDL.h>

#include <array>

#include "platform/KeyCodes.h"

namespace platform {
namespace {

struct Mapping {
  SDL_Scancode sdl;
  uint8_t code;
};

constexpr Mapping kMappings[] = {
    {SDL_SCANCODE_ESCAPE, key::Escape},
    {SDL_SCANCODE_1, key::Digit1},
    {SDL_SCANCODE_2, key::Digit2},
    {SDL_SCANCODE_3, key::Digit3},
    {SDL_SCANCODE_4, key::Digit4},
    {SDL_SCANCODE_5, key::Digit5},
    {SDL_SCANCODE_6, key::Digit6},
    {SDL_SCANCODE_7, key::Digit7},
    {SDL_SCANCODE_8, key::Digit8},
    {SDL_SCANCODE_9, key::Digit9},
    {SDL_SCANCODE_0, key::Digit0},
    {SDL_SCANCODE_MINUS, key::Minus},
    {SDL_SCANCODE_EQUALS, key::Equals},
    {SDL_SCANCODE_BACKSPACE, key::Backspace},
    {SDL_SCANCODE_TAB, key::Tab},
    {SDL_SCANCODE_Q, key::Q},
    {SDL_SCANCODE_W, key::W},
    {SDL_SCANCODE_E, key::E},
    {SDL_SCANCODE_R, key::R},
    {SDL_SCANCODE_T, key::T},
    {SDL_SCANCODE_Y, key::Y},
    {SDL_SCANCODE_U, key::U},
    {SDL_SCANCODE_I, key::I},
    {SDL_SCANCODE_O, key::O},
    {SDL_SCANCODE_P, key::P},
    {SDL_SCANCODE_LEFTBRACKET, key::LeftBracket},
    {SDL_SCANCODE_RIGHTBRACKET, key::RightBracket},
    {SDL_SCANCODE_RETURN, key::Return},
    {SDL_SCANCODE_LCTRL, key::LeftControl},
    {SDL_SCANCODE_A, key::A},
    {SDL_SCANCODE_S, key::S},
    {SDL_SCANCODE_D, key::D},
    {SDL_SCANCODE_F, key::F},
    {SDL_SCANCODE_G, key::G},
    {SDL_SCANCODE_H, key::H},
    {SDL_SCANCODE_J, key::J},
    {SDL_SCANCODE_K, key::K},
    {SDL_SCANCODE_L, key::L},
    {SDL_SCANCODE_SEMICOLON, key::Semicolon},
    {SDL_SCANCODE_APOSTROPHE, key::Apostrophe},
    {SDL_SCANCODE_GRAVE, key::Grave},
    {SDL_SCANCODE_LSHIFT, key::LeftShift},
    {SDL_SCANCODE_BACKSLASH, key::Backslash},
    // On keyboards with a key left of Return, SDL reports it apart; the
    // scan code is the same as the backslash key's.
    {SDL_SCANCODE_NONUSHASH, key::Backslash},
    {SDL_SCANCODE_Z, key::Z},
    {SDL_SCANCODE_X, key::X},
    {SDL_SCANCODE_C, key::C},
    {SDL_SCANCODE_V, key::V},
    {SDL_SCANCODE_B, key::B},
    {SDL_SCANCODE_N, key::N},
    {SDL_SCANCODE_M, key::M},
    {SDL_SCANCODE_COMMA, key::Comma},
    {SDL_SCANCODE_PERIOD, key::Period},
    {SDL_SCANCODE_SLASH, key::Slash},
    {SDL_SCANCODE_RSHIFT, key::RightShift},
    {SDL_SCANCODE_KP_MULTIPLY, key::NumpadMultiply},
    {SDL_SCANCODE_LALT, key::LeftAlt},
    {SDL_SCANCODE_SPACE, key::Space},
    {SDL_SCANCODE_CAPSLOCK, key::CapsLock},
    {SDL_SCANCODE_F1, key::F1},
    {SDL_SCANCODE_F2, key::F2},
    {SDL_SCANCODE_F3, key::F3},
    {SDL_SCANCODE_F4, key::F4},
    {SDL_SCANCODE_F5, key::F5},
    {SDL_SCANCODE_F6, key::F6},
    {SDL_SCANCODE_F7, key::F7},
    {SDL_SCANCODE_F8, key::F8},
    {SDL_SCANCODE_F9, key::F9},
    {SDL_SCANCODE_F10, key::F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, key::NumLock},
    {SDL_SCANCODE_SCROLLLOCK, key::ScrollLock},
    {SDL_SCANCODE_KP_7, key::Numpad7},
    {SDL_SCANCODE_KP_8, key::Numpad8},
    {SDL_SCANCODE_KP_9, key::Numpad9},
    {SDL_SCANCODE_KP_MINUS, key::NumpadMinus},
    {SDL_SCANCODE_KP_4, key::Numpad4},
    {SDL_SCANCODE_KP_5, key::Numpad5},
    {SDL_SCANCODE_KP_6, key::Numpad6},
    {SDL_SCANCODE_KP_PLUS, key::NumpadPlus},
    {SDL_SCANCODE_KP_1, key::Numpad1},
    {SDL_SCANCODE_KP_2, key::Numpad2},
    {SDL_SCANCODE_KP_3, key::Numpad3},
    {SDL_SCANCODE_KP_0, key::Numpad0},
    {SDL_SCANCODE_KP_PERIOD, key::NumpadPeriod},
    {SDL_SCANCODE_NONUSBACKSLASH, key::NonUsBackslash},
    {SDL_SCANCODE_F11, key::F11},
    {SDL_SCANCODE_F12, key::F12},
    {SDL_SCANCODE_F13, key::F13},
    {SDL_SCANCODE_F14, key::F14},
    {SDL_SCANCODE_F15, key::F15},
    {SDL_SCANCODE_KP_EQUALS, key::NumpadEquals},
    {SDL_SCANCODE_KP_ENTER, key::NumpadEnter},
    {SDL_SCANCODE_RCTRL, key::RightControl},
    {SDL_SCANCODE_KP_COMMA, key::NumpadComma},
    {SDL_SCANCODE_KP_DIVIDE, key::NumpadDivide},
    {SDL_SCANCODE_PRINTSCREEN, key::PrintScreen},
    {SDL_SCANCODE_RALT, key::RightAlt},
    {SDL_SCANCODE_PAUSE, key::Pause},
    {SDL_SCANCODE_HOME, key::Home},
    {SDL_SCANCODE_UP, key::Up},
    {SDL_SCANCODE_PAGEUP, key::PageUp},
    {SDL_SCANCODE_LEFT, key::Left},
    {SDL_SCANCODE_RIGHT, key::Right},
    {SDL_SCANCODE_END, key::End},
    {SDL_SCANCODE_DOWN, key::Down},
    {SDL_SCANCODE_PAGEDOWN, key::PageDown},
    {SDL_SCANCODE_INSERT, key::Insert},
    {SDL_SCANCODE_DELETE, key::Delete},
    {SDL_SCANCODE_LGUI, key::LeftGui},
    {SDL_SCANCODE_RGUI, key::RightGui},
    {SDL_SCANCODE_APPLICATION, key::Menu},
};

std::array<uint8_t, SDL_NUM_SCANCODES> BuildTable() {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const Mapping& mapping : kMappings) table[mapping.sdl] = mapping.code;
  return table;
}

}  // namespace

uint8_t KeyCodeFromSdlScancode(int sdlScancode) {
  static const std::array<uint8_t, SDL_NUM_SCANCODES> table = BuildTable();
  if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) return 0;
  return table[sdlScancode];
}

}  // namespace platform
