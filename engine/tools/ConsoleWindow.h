#pragma once
// "Vyre Console": the engine's log as a scrolling list of coloured lines,
// newest at the bottom, sliding in from the bottom edge. It brings the
// console commands "CLEAR" and "HIDE", and builds the one-line prompt and
// the tip box that the System window puts along the screen.

#include <cstdint>

#include "engine/tools/DebugWindow.h"

class ConsoleInputBox;
class TextBox;

class ConsoleWindow : public DebugWindow {
 public:
  // Named "Vyre Console", yellow text, showing channel 0, following the
  // newest line; registers "CLEAR" and "HIDE" the first time.
  ConsoleWindow();
  ~ConsoleWindow() override;
  // Children, then one page of the shown channel from the scroll position up.
  void DrawContents() override;
  // The developer frame at (32, 200), 768 x 368, title buttons, a vertical
  // scroll bar at the newest line, sliding in from the bottom.
  void SetDefaultFrame(int32_t fontIndex) override;
  // The slide in or out; the input line, when there is one, takes the keys
  // while the console is out and gives them back when it goes.
  void Show(bool show) override;

  // Rows of one page: the client height over font 0's line height; 0 when
  // that font has no height.
  int PageRows() const;

  // The console window the commands act on: the last one made that still
  // exists, or null.
  static ConsoleWindow* Live();

  // The prompt along the bottom of the screen, in the owner's font; the
  // caller keeps and deletes it.
  static ConsoleInputBox* CreateConsolePrompt(Window& owner);
  // The small tip box at the top left, in the owner's font; the caller
  // keeps and deletes it.
  static TextBox* CreateTipBox(Window& owner);

  uint8_t followNewest = 1;
  int32_t lastLineCount = 0;
  // The log channel shown (0: the main channel, which copies every other).
  int32_t channel = 0;
  // The line typed commands go to (the System window's prompt; not owned).
  ConsoleInputBox* inputLine = nullptr;
};
