#include "tools/DBGSystemWindow.h"

DBGPerformanceWindow::DBGPerformanceWindow() { name = "Vyre Performance"; }

void DBGPerformanceWindow::SetTiming(uint32_t frameNumber, float framesPerSecond) {
  frameNumber_ = frameNumber;
  framesPerSecond_ = framesPerSecond;
}

DBGSystemWindow::DBGSystemWindow() { name = "Vyre System"; }

DBGSystemWindow::~DBGSystemWindow() { delete performance_; }

void DBGSystemWindow::SetDefaultFrame(int32_t frame) {
  Window::SetDefaultFrame(frame);
  layer = 90.0f;
  Rect screen;
  screen.SetPositionSize(Vector2(0.0f, 0.0f), Vector2(800.0f, 600.0f));
  SetRect(screen, screen);
  if (performance_ == nullptr) {
    performance_ = new DBGPerformanceWindow();
    performance_->SetDefaultFrame(frame);
  }
}
