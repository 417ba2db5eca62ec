#include "engine/tools/PerformanceStatisticsWindow.h"

#include <cstdio>
#include <cstring>

#include "engine/graphics/GFXStats.h"
#include "engine/tools/DebugCanvas.h"

namespace {

constexpr uint32_t kPlainRenderState = 2;
constexpr float kAxisWidth = 2.0f;
constexpr float kPlotWidth = 1.0f;
// The graph sits 8 units inside the client area, with 16 more below it.
constexpr float kInset = 8.0f;
constexpr float kWidthMargin = 16.0f;
constexpr float kHeightMargin = 24.0f;

// The frames a plot covers, oldest first: the whole ring once it has
// wrapped, else the frames recorded so far.
class PlottedFrames {
 public:
  explicit PlottedFrames(const GFXStats& stats)
      : stats_(stats), count_(stats.HasWrapped() ? GFXStats::kCapacity : stats.GetCurrentIndex()) {}
  uint32_t Count() const { return count_; }
  // Frame i of the plot (0 the oldest).
  const GFXStats::Record& At(uint32_t i) const {
    const uint32_t back = count_ - i;
    const uint32_t write = stats_.GetCurrentIndex();
    return stats_.GetRecord(write >= back ? write - back : write + GFXStats::kCapacity - back);
  }

 private:
  const GFXStats& stats_;
  uint32_t count_;
};

// One field plotted as connected segments from x 0 rising with the value;
// a field whose peak is 0 lies on the baseline. Labels the newest value.
template <class ValueOf>
void PlotField(const PlottedFrames& frames, float peak, float step, float height, ValueOf valueOf, const char* label,
               int font) {
  if (frames.Count() == 0) return;
  DebugCanvas& canvas = GetDebugCanvas();
  auto heightOf = [&](float value) { return peak > 0.0f ? -(value / peak) * height : 0.0f; };
  Vector2 previous(0.0f, heightOf(valueOf(frames.At(0))));
  for (uint32_t i = 1; i < frames.Count(); ++i) {
    // x from the frame number, so no error builds up along 9000 steps.
    const Vector2 next(static_cast<float>(i) * step, heightOf(valueOf(frames.At(i))));
    canvas.Line(previous, next, kPlotWidth);
    previous = next;
  }
  canvas.Print(label, font, static_cast<int>(previous.x), static_cast<int>(previous.y));
}

}  // namespace

PerformanceStatisticsWindow::PerformanceStatisticsWindow() {
  name = "Vyre Performance Statistics";
  const float yellow[4] = {0.85f, 0.85f, 0.0f, 1.0f};
  std::memcpy(colour, yellow, sizeof colour);
}

PerformanceStatisticsWindow::~PerformanceStatisticsWindow() = default;

void PerformanceStatisticsWindow::DrawContents() {
  BeginContents(1, 1);
  Plot(*GFXStats::GetInstance());
}

void PerformanceStatisticsWindow::Plot(const GFXStats& stats) const {
  DebugCanvas& canvas = GetDebugCanvas();
  const float width = inner.Width() - kWidthMargin;
  const float height = inner.Height() - kHeightMargin;
  const Vector2 origin(kInset, height + kInset);
  canvas.SetRenderState(kPlainRenderState);
  canvas.Line(Vector2(kInset, kInset), origin, kAxisWidth);
  canvas.Line(origin, Vector2(kInset + width, origin.y), kAxisWidth);

  const float step = width / static_cast<float>(GFXStats::kCapacity);
  const PlottedFrames frames(stats);
  const GFXStats::Record& newest = frames.Count() > 0 ? frames.At(frames.Count() - 1) : stats.GetPeak();
  char label[32];
  canvas.PushOffset(origin);
  canvas.SetRenderState(kPlainRenderState);
  std::snprintf(label, sizeof label, "%.2f", newest.fps);
  PlotField(
      frames, stats.GetPeak().fps, step, height, [](const GFXStats::Record& r) { return r.fps; }, label, frameStyle);
  for (int counter = 0; counter < GFXStats::kCounterCount; ++counter) {
    std::snprintf(label, sizeof label, "%u", newest.counters[counter]);
    PlotField(
        frames, static_cast<float>(stats.GetPeak().counters[counter]), step, height,
        [counter](const GFXStats::Record& r) { return static_cast<float>(r.counters[counter]); }, label, frameStyle);
  }
  canvas.PopOffset();
}

void PerformanceStatisticsWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 200), Vector2(768, 368), kBottom);
}
