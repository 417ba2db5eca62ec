#pragma once
// Where the developer windows print their text and draw their plots: the
// renderer while the program runs, a recording canvas in tests. Positions
// are in the window's client space (the window's draw has moved the origin
// there), y down.

#include <cstdint>

#include "engine/foundation/Rect.h"
#include "engine/foundation/Vector2.h"

class DebugCanvas {
 public:
  virtual ~DebugCanvas() = default;
  // Prints a text with an engine font at integer client coordinates.
  virtual void Print(const char* text, int font, int x, int y) = 0;
  // A font's line height in whole units (0 for a missing font).
  virtual int FontHeight(int font) = 0;
  // The width of a text in a font (0 for a missing font).
  virtual int TextWidth(int font, const char* text) = 0;
  // The current drawing colour (glColor4f).
  virtual void SetColour(const float rgba[4]) = 0;
  // A font's own text colour; white for a missing font.
  virtual void GetFontColour(int font, float rgba[4]) = 0;
  virtual void SetFontColour(int font, const float rgba[4]) = 0;
  virtual void SetRenderState(uint32_t word) = 0;
  // Moves the origin by the offset until the matching PopOffset.
  virtual void PushOffset(const Vector2& offset) = 0;
  virtual void PopOffset() = 0;
  // A line from point to point with a width.
  virtual void Line(const Vector2& from, const Vector2& to, float width) = 0;
  // Cuts everything drawn until the matching EndClip to a rectangle of the
  // 800 x 600 GUI screen (not of the client space).
  virtual void BeginClip(const Rect& screenRect) = 0;
  virtual void EndClip() = 0;
};

// The canvas the developer windows use now.
DebugCanvas& GetDebugCanvas();
// Installs a canvas (not owned); null puts the renderer's back.
void SetDebugCanvas(DebugCanvas* canvas);
