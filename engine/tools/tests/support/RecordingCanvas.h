#pragma once
// A developer-window canvas that records what the windows print and draw,
// installed for its lifetime. Optionally it passes every call on to the
// canvas that was installed before (the renderer in drawing tests).

#include <map>
#include <string>
#include <vector>

#include "engine/tools/DebugCanvas.h"

class RecordingCanvas : public DebugCanvas {
 public:
  struct Printed {
    std::string text;
    int font;
    int x;
    int y;
    float colour[4];  // the font's colour when it was printed
  };
  struct DrawnLine {
    Vector2 from;
    Vector2 to;
    float width;
  };

  explicit RecordingCanvas(bool passOn = false);
  ~RecordingCanvas() override;

  void Print(const char* text, int font, int x, int y) override;
  int FontHeight(int font) override;
  int TextWidth(int font, const char* text) override;
  void SetColour(const float rgba[4]) override;
  void GetFontColour(int font, float rgba[4]) override;
  void SetFontColour(int font, const float rgba[4]) override;
  void SetRenderState(uint32_t word) override;
  void PushOffset(const Vector2& offset) override;
  void PopOffset() override;
  void Line(const Vector2& from, const Vector2& to, float width) override;
  void BeginClip(const Rect& screenRect) override;
  void EndClip() override;

  // The printed texts in order.
  std::vector<std::string> Texts() const;
  // The first print of that text, or null.
  const Printed* Find(const std::string& text) const;
  void Clear();

  std::vector<Printed> prints;
  std::vector<DrawnLine> lines;
  int offsetDepth = 0;
  // Line heights by font; fonts not listed are defaultFontHeight high.
  std::map<int, int> fontHeights;
  int defaultFontHeight = 16;
  // Every character of every font is this wide.
  int characterWidth = 8;

 private:
  DebugCanvas* next_ = nullptr;
  std::map<int, std::vector<float>> fontColours_;
};
