#include "engine/tools/ProfilerWindow.h"

ProfilerWindow::ProfilerWindow() { name = "Vyre Profiler"; }

ProfilerWindow::~ProfilerWindow() = default;

void ProfilerWindow::DrawContents() { BeginContents(1, 1); }

void ProfilerWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 0), Vector2(768, 300), kNoSlide);
}
