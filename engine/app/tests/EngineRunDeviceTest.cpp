#include "engine/app/EngineRun.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/LogChannel.h"
#include "engine/foundation/LogSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> DebugLines() {
  std::vector<std::string> lines;
  LogChannel* log = GetLogChannel(0);
  if (log == nullptr) return lines;
  const uint32_t count = log->IsWrapped() ? log->GetLineCapacity() : log->GetWriteIndex();
  const uint32_t start = log->IsWrapped() ? log->GetWriteIndex() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const LogLine* line = log->GetLine((start + i) % log->GetLineCapacity());
    if (line == nullptr) continue;
    std::string text = line->text.Chars();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    lines.push_back(text);
  }
  return lines;
}

bool Contains(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

TEST(EngineRunDevice, StartsRunsFramesAndEndsOnWindowClose) {
  static const FixedLogSettings kAll(true, false, "ALL");
  SetLogSettings(&kAll);
  char folder[] = "/tmp/vyre-engine-run-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  setenv("VYRE_REGISTRY", (std::string(folder) + "/registry.reg").c_str(), 1);

  int frames = 0;
  int polls = 0;
  EngineRunOptions options;
  options.drawFrame = [&] { ++frames; };
  bool closed = false;
  options.pollEvent = [&](platform::Event* event) {
    // The close arrives once, before the fifth frame, while Create runs.
    if (closed || frames < 4) return false;
    closed = true;
    event->type = platform::EventType::WindowClose;
    return true;
  };
  EXPECT_EQ(EngineRun(options), 0);
  // The close is ignored while Create runs; the shutdown is posted again at
  // the start of every frame, so the first frame that begins in the Default
  // state (entered in frame 9) quits.
  EXPECT_EQ(frames, 10);

  const char* steps[] = {"Checking for CLI arguments...", "Creating display...",
                         "Initialising OpenGL...",        "Creating UIO Manager...",
                         "Creating SFX Manager...",       "Initialising Vyre...",
                         "Initialising random seed...",   "Connecting to toolbridge.dll ...",
                         "... none found.",               "Entering frame loop...",
                         "Exited frame loop.",            "Shutting down Vyre..."};
  std::vector<std::string> lines = DebugLines();
  size_t at = 0;
  for (const char* step : steps) {
    while (at < lines.size() && !Contains(lines[at], step)) ++at;
    EXPECT_LT(at, lines.size()) << "missing or out of order: " << step;
  }
}

TEST(EngineRunDevice, AQuitWhileMinimisedStillEndsTheLoop) {
  char folder[] = "/tmp/vyre-engine-run-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  setenv("VYRE_REGISTRY", (std::string(folder) + "/registry.reg").c_str(), 1);
  int frames = 0;
  int step = 0;
  EngineRunOptions options;
  options.drawFrame = [&] { ++frames; };
  options.pollEvent = [&](platform::Event* event) {
    switch (step++) {
      case 0: event->type = platform::EventType::Minimised; return true;
      case 1: event->type = platform::EventType::Quit; return true;
      default: return false;
    }
  };
  EXPECT_EQ(EngineRun(options), 0);
  EXPECT_EQ(frames, 0);
}

}  // namespace
