#pragma once
// The engine's key codes: keyboard scan codes of set 1, extended keys as
// 0x80 | code. Every key-code number in the engine and the game means these.

#include <cstdint>

namespace platform {

// Engine key code for an SDL scancode number; 0 for keys the engine has no code for.
uint8_t KeyCodeFromSdlScancode(int sdlScancode);

namespace key {
constexpr uint8_t Escape = 0x01;
constexpr uint8_t Digit1 = 0x02;
constexpr uint8_t Digit2 = 0x03;
constexpr uint8_t Digit3 = 0x04;
constexpr uint8_t Digit4 = 0x05;
constexpr uint8_t Digit5 = 0x06;
constexpr uint8_t Digit6 = 0x07;
constexpr uint8_t Digit7 = 0x08;
constexpr uint8_t Digit8 = 0x09;
constexpr uint8_t Digit9 = 0x0A;
constexpr uint8_t Digit0 = 0x0B;
constexpr uint8_t Minus = 0x0C;
constexpr uint8_t Equals = 0x0D;
constexpr uint8_t Backspace = 0x0E;
constexpr uint8_t Tab = 0x0F;
constexpr uint8_t Q = 0x10;
constexpr uint8_t W = 0x11;
constexpr uint8_t E = 0x12;
constexpr uint8_t R = 0x13;
constexpr uint8_t T = 0x14;
constexpr uint8_t Y = 0x15;
constexpr uint8_t U = 0x16;
constexpr uint8_t I = 0x17;
constexpr uint8_t O = 0x18;
constexpr uint8_t P = 0x19;
constexpr uint8_t LeftBracket = 0x1A;
constexpr uint8_t RightBracket = 0x1B;
constexpr uint8_t Return = 0x1C;
constexpr uint8_t LeftControl = 0x1D;
constexpr uint8_t A = 0x1E;
constexpr uint8_t S = 0x1F;
constexpr uint8_t D = 0x20;
constexpr uint8_t F = 0x21;
constexpr uint8_t G = 0x22;
constexpr uint8_t H = 0x23;
constexpr uint8_t J = 0x24;
constexpr uint8_t K = 0x25;
constexpr uint8_t L = 0x26;
constexpr uint8_t Semicolon = 0x27;
constexpr uint8_t Apostrophe = 0x28;
constexpr uint8_t Grave = 0x29;
constexpr uint8_t LeftShift = 0x2A;
constexpr uint8_t Backslash = 0x2B;
constexpr uint8_t Z = 0x2C;
constexpr uint8_t X = 0x2D;
constexpr uint8_t C = 0x2E;
constexpr uint8_t V = 0x2F;
constexpr uint8_t B = 0x30;
constexpr uint8_t N = 0x31;
constexpr uint8_t M = 0x32;
constexpr uint8_t Comma = 0x33;
constexpr uint8_t Period = 0x34;
constexpr uint8_t Slash = 0x35;
constexpr uint8_t RightShift = 0x36;
constexpr uint8_t NumpadMultiply = 0x37;
constexpr uint8_t LeftAlt = 0x38;
constexpr uint8_t Space = 0x39;
constexpr uint8_t CapsLock = 0x3A;
constexpr uint8_t F1 = 0x3B;
constexpr uint8_t F2 = 0x3C;
constexpr uint8_t F3 = 0x3D;
constexpr uint8_t F4 = 0x3E;
constexpr uint8_t F5 = 0x3F;
constexpr uint8_t F6 = 0x40;
constexpr uint8_t F7 = 0x41;
constexpr uint8_t F8 = 0x42;
constexpr uint8_t F9 = 0x43;
constexpr uint8_t F10 = 0x44;
constexpr uint8_t NumLock = 0x45;
constexpr uint8_t ScrollLock = 0x46;
constexpr uint8_t Numpad7 = 0x47;
constexpr uint8_t Numpad8 = 0x48;
constexpr uint8_t Numpad9 = 0x49;
constexpr uint8_t NumpadMinus = 0x4A;
constexpr uint8_t Numpad4 = 0x4B;
constexpr uint8_t Numpad5 = 0x4C;
constexpr uint8_t Numpad6 = 0x4D;
constexpr uint8_t NumpadPlus = 0x4E;
constexpr uint8_t Numpad1 = 0x4F;
constexpr uint8_t Numpad2 = 0x50;
constexpr uint8_t Numpad3 = 0x51;
constexpr uint8_t Numpad0 = 0x52;
constexpr uint8_t NumpadPeriod = 0x53;
constexpr uint8_t NonUsBackslash = 0x56;
constexpr uint8_t F11 = 0x57;
constexpr uint8_t F12 = 0x58;
constexpr uint8_t F13 = 0x64;
constexpr uint8_t F14 = 0x65;
constexpr uint8_t F15 = 0x66;
constexpr uint8_t NumpadEquals = 0x8D;
constexpr uint8_t NumpadEnter = 0x9C;
constexpr uint8_t RightControl = 0x9D;
constexpr uint8_t NumpadComma = 0xB3;
constexpr uint8_t NumpadDivide = 0xB5;
constexpr uint8_t PrintScreen = 0xB7;
constexpr uint8_t RightAlt = 0xB8;
constexpr uint8_t Pause = 0xC5;
constexpr uint8_t Home = 0xC7;
constexpr uint8_t Up = 0xC8;
constexpr uint8_t PageUp = 0xC9;
constexpr uint8_t Left = 0xCB;
constexpr uint8_t Right = 0xCD;
constexpr uint8_t End = 0xCF;
constexpr uint8_t Down = 0xD0;
constexpr uint8_t PageDown = 0xD1;
constexpr uint8_t Insert = 0xD2;
constexpr uint8_t Delete = 0xD3;
constexpr uint8_t LeftGui = 0xDB;
constexpr uint8_t RightGui = 0xDC;
constexpr uint8_t Menu = 0xDD;
}  // namespace key

}  // namespace platform
