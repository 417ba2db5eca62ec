#pragma once
// Raw keyboard, mouse and game-controller state, read once a frame by the
// engine's input devices. The engine keeps all timing and state rules itself;
// a source says what is down right now and, for the keyboard, which keys went
// down and up since the last read, in order: a key tapped between two frames
// is otherwise never seen. "Acquired" means the program's window has the
// keyboard focus: a source that is not acquired reads nothing.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

constexpr int kKeyCount = 256;
constexpr uint8_t kDownBit = 0x80;  // a key or button byte is down when this bit is set
constexpr int kMaxPads = 8;
constexpr int kPadAxisRange = 128;  // axes read -128..128
constexpr int kWheelNotch = 120;    // wheel units per notch
constexpr int kPadButtonCount = 32;
// The most key changes kept between two reads. Later ones are dropped until
// the next read; the key state stays right either way.
constexpr int kMaxKeyEvents = 128;

// One key going down or up.
struct KeyEvent {
  uint8_t code = 0;
  bool down = false;
};

// Mouse movement since the last read, and the buttons (left, right, middle, fourth).
struct MouseRawState {
  int32_t dx = 0;
  int32_t dy = 0;
  int32_t wheel = 0;
  uint8_t buttons[4] = {0, 0, 0, 0};
};

// One game controller: stick axes in -128..128 and its button bytes.
struct PadRawState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;
  int32_t rx = 0;
  int32_t ry = 0;
  int32_t rz = 0;
  uint8_t buttons[kPadButtonCount] = {};
};

// Keys by the engine's key codes (see platform/KeyCodes.h).
class KeyboardSource {
 public:
  virtual ~KeyboardSource() = default;
  // True when the window has the focus and keys can be read.
  virtual bool Acquire() = 0;
  // Fills one byte per key code (kDownBit when down); false when not acquired.
  virtual bool Read(uint8_t keys[kKeyCount]) = 0;
  // Moves the key changes since the previous call into out, oldest first,
  // and returns how many (at most kMaxKeyEvents; 0 when not acquired). A
  // source that keeps no changes returns 0 and is read as a state alone.
  virtual int TakeEvents(KeyEvent[kMaxKeyEvents]) { return 0; }
};

class MouseSource {
 public:
  virtual ~MouseSource() = default;
  virtual bool Acquire() = 0;
  // Movement since the previous read and the buttons; false when not acquired.
  virtual bool Read(MouseRawState* state) = 0;
};

class PadSource {
 public:
  virtual ~PadSource() = default;
  // Controllers attached now (at most kMaxPads).
  virtual int Count() = 0;
  // Product name of controller index, empty when there is none.
  virtual std::string Name(int index) = 0;
  // Starts reading controller index; false when it cannot be opened.
  virtual bool Open(int index) = 0;
  virtual void Close() = 0;
  virtual bool Acquire() = 0;
  // Current state of the opened controller; false when it cannot be read.
  virtual bool Read(PadRawState* state) = 0;
};

// Sources fed from SDL's event queue (tests inject events with SDL_PushEvent).
std::unique_ptr<KeyboardSource> CreateSdlKeyboardSource();
std::unique_ptr<MouseSource> CreateSdlMouseSource();
std::unique_ptr<PadSource> CreateSdlPadSource();

}  // namespace platform
