#pragma once
// The base of every developer window: a named Window on its own draw layer
// that can slide in from one edge of the 800 x 600 GUI screen when shown and
// back out when hidden, and prints its text on a grid of text cells.

#include <cstdint>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/Vector2.h"
#include "engine/gui/Window.h"

// The text grid of the developer windows: a column or line number times the
// cell size gives a position. Shared by every developer window, each of
// which sets it before it prints.
void SetDebugTextCell(int widthUnits, int heightUnits);
int DebugTextCellWidth();
int DebugTextCellHeight();
// The width of "W" in font 0 in whole units, at least 1: the cell of the
// windows that print tables.
int WideLetterCell();

class DebugWindow : public Window {
 public:
  static constexpr float kSlideSeconds = 0.5f;
  static constexpr float kBareLayer = 60.0f;
  static constexpr float kDeveloperLayer = 100.0f;
  static constexpr float kClientMargin = 16.0f;
  static constexpr uint32_t kTitleBarStyle = 0x1C00;

  // Edges a window slides from.
  enum SlideEdge : int { kBottom = 0, kTop = 1, kRight = 2, kLeft = 3, kNoSlide = -1 };

  // Named "Vyre Window", hidden, with sliding off.
  DebugWindow();
  ~DebugWindow() override;

  // With sliding on, requests the "Show" or "Hide" slide (even when already
  // visible); otherwise sets or clears the visible bit at once.
  void Show(bool show) override;
  // Draws every child element; derived windows then print their own lines.
  void DrawContents() override;
  // The "Show" slide: visible at once, then one reposition per frame.
  void OnShowEnter() override;
  void OnShowUpdate() override;
  // The "Hide" slide: repositions each frame, invisible when it ends.
  void OnHideEnter() override;
  void OnHideUpdate() override;
  void OnHideExit() override;
  // A show message also turns back a window that is still sliding out.
  void OnMessage(CMSGMessage* message) override;
  // The window default frame on the bare developer layer.
  void SetDefaultFrame(int32_t fontIndex) override;

  // Sets the four slide channels so that the window comes in from the edge
  // to where it is now; an unknown edge changes nothing.
  void SetSlideEdge(int edge);
  // The frame every derived developer window shares: font, frame image,
  // developer layer, title bar, the outer rectangle with the client area
  // 16 units inside, then the slide edge (kNoSlide for none).
  void SetDeveloperFrame(int32_t fontIndex, const Vector2& position, const Vector2& size, int slideEdge);
  // Prints a text at a text-cell column and line with the window's font.
  void PrintCell(const char* text, int column, int line) const;
  // The same with another font (some windows print in font 0).
  void PrintCellInFont(int font, const char* text, int column, int line) const;
  // printf-style PrintCellInFont (texts up to 255 characters).
  void PrintfCell(int font, int column, int line, const char* format, ...) const __attribute__((format(printf, 5, 6)));
  // How every derived window's contents begin: the children, the window
  // colour and the text cell.
  void BeginContents(int cellWidth, int cellHeight);
  // The drawing colour becomes the window colour.
  void ApplyColour() const;
  bool IsVisible() const { return HasState(GUIState::kShown); }

  AnimChannel showX;
  AnimChannel showY;
  AnimChannel hideX;
  AnimChannel hideY;
  uint8_t slideEnabled = 0;
  // Colour of the window's printed text (RGBA).
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};

 private:
  // Advances a pair of channels by the game step, leaves the slide state
  // when both have ended, and moves the window to their output.
  void StepSlide(AnimChannel& x, AnimChannel& y);
};
