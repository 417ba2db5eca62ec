#include "tools/DBGSystemWindow.h"

DBGSystemWindow::DBGSystemWindow() { name = "Vyre System"; }

DBGSystemWindow::~DBGSystemWindow() { delete performance_; }

void DBGSystemWindow::SetDefaultFrame(int32_t frame) {
  Window::SetDefaultFrame(frame);
  layer = 90.0f;
  Rect screen;
  screen.SetPositionSize(Vector2(0.0f, 0.0f), Vector2(800.0f, 600.0f));
  SetRect(screen, screen);
  if (performance_ == nullptr) {
    performance_ = new PerformanceWindow();
    performance_->SetDefaultFrame(frame);
  }
}
