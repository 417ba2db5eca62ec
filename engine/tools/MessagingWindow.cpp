#include "engine/tools/MessagingWindow.h"

MessagingWindow::MessagingWindow() { name = "Vyre Messaging"; }

MessagingWindow::~MessagingWindow() = default;

void MessagingWindow::DrawContents() {
  const int cell = WideLetterCell();
  BeginContents(cell, cell);
  PrintCell("#", 0, 0);
  PrintCell("MSG", 2, 0);
  PrintCell("From", 15, 0);
  PrintCell("To", 22, 0);
  PrintCell("Due", 28, 0);
  ApplyColour();
}

void MessagingWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 0), Vector2(300, 568), kNoSlide);
}
