#include "engine/tools/tests/support/RecordingCanvas.h"

#include <cstring>

RecordingCanvas::RecordingCanvas(bool passOn) {
  if (passOn) next_ = &GetDebugCanvas();
  SetDebugCanvas(this);
}

RecordingCanvas::~RecordingCanvas() { SetDebugCanvas(next_); }

void RecordingCanvas::Print(const char* text, int font, int x, int y) {
  Printed printed{text, font, x, y, {}};
  GetFontColour(font, printed.colour);
  prints.push_back(printed);
  if (next_ != nullptr) next_->Print(text, font, x, y);
}

int RecordingCanvas::FontHeight(int font) {
  if (next_ != nullptr) return next_->FontHeight(font);
  const auto found = fontHeights.find(font);
  return found != fontHeights.end() ? found->second : defaultFontHeight;
}

int RecordingCanvas::TextWidth(int font, const char* text) {
  if (next_ != nullptr) return next_->TextWidth(font, text);
  return characterWidth * static_cast<int>(std::strlen(text));
}

void RecordingCanvas::SetColour(const float rgba[4]) {
  if (next_ != nullptr) next_->SetColour(rgba);
}

void RecordingCanvas::GetFontColour(int font, float rgba[4]) {
  if (next_ != nullptr) {
    next_->GetFontColour(font, rgba);
    return;
  }
  const auto found = fontColours_.find(font);
  for (int i = 0; i < 4; ++i) rgba[i] = found != fontColours_.end() ? found->second[i] : 1.0f;
}

void RecordingCanvas::SetFontColour(int font, const float rgba[4]) {
  fontColours_[font] = std::vector<float>(rgba, rgba + 4);
  if (next_ != nullptr) next_->SetFontColour(font, rgba);
}

void RecordingCanvas::SetRenderState(uint32_t word) {
  if (next_ != nullptr) next_->SetRenderState(word);
}

void RecordingCanvas::PushOffset(const Vector2& offset) {
  ++offsetDepth;
  if (next_ != nullptr) next_->PushOffset(offset);
}

void RecordingCanvas::PopOffset() {
  --offsetDepth;
  if (next_ != nullptr) next_->PopOffset();
}

void RecordingCanvas::Line(const Vector2& from, const Vector2& to, float width) {
  lines.push_back({from, to, width});
  if (next_ != nullptr) next_->Line(from, to, width);
}

void RecordingCanvas::BeginClip(const Rect& screenRect) {
  if (next_ != nullptr) next_->BeginClip(screenRect);
}

void RecordingCanvas::EndClip() {
  if (next_ != nullptr) next_->EndClip();
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> texts;
  for (const Printed& printed : prints) texts.push_back(printed.text);
  return texts;
}

const RecordingCanvas::Printed* RecordingCanvas::Find(const std::string& text) const {
  for (const Printed& printed : prints) {
    if (printed.text == text) return &printed;
  }
  return nullptr;
}

void RecordingCanvas::Clear() {
  prints.clear();
  lines.clear();
}
