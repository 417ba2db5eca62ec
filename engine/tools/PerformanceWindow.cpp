#include "engine/tools/PerformanceWindow.h"

#include "engine/foundation/Clock.h"
#include "engine/tools/DebugCanvas.h"

namespace {

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float kRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};
const float kYellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
const float kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};

}  // namespace

PerformanceWindow::PerformanceWindow() { name = "Vyre Performance"; }

PerformanceWindow::~PerformanceWindow() = default;

void PerformanceWindow::SetTiming(uint32_t frameNumber, float framesPerSecond) {
  frameNumber_ = frameNumber;
  framesPerSecond_ = framesPerSecond;
}

const float* PerformanceWindow::FpsColour(float framesPerSecond) {
  if (framesPerSecond < kSlowFps) return kRed;
  if (framesPerSecond < kSmoothFps) return kYellow;
  return kGreen;
}

void PerformanceWindow::DrawContents() {
  BeginContents(1, 1);
  DebugCanvas& canvas = GetDebugCanvas();
  const int lineHeight = canvas.FontHeight(frameStyle);
  const Clock& clock = Clock::Instance();

  canvas.SetFontColour(frameStyle, kWhite);
  PrintfCell(frameStyle, 0, 0, "Frame : %u", frameNumber_);
  canvas.SetFontColour(frameStyle, FpsColour(framesPerSecond_));
  PrintfCell(frameStyle, 0, lineHeight, "FPS : %f", framesPerSecond_);
  canvas.SetFontColour(frameStyle, kWhite);
  PrintfCell(frameStyle, 0, 2 * lineHeight, "Time : %s", FormatTimeHHMMSS(clock.GetGameTime()));
  PrintfCell(frameStyle, 0, 3 * lineHeight, "dt : %f", clock.GetGameDelta());
}

void PerformanceWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(600, 472), Vector2(200, 96), kRight);
}
