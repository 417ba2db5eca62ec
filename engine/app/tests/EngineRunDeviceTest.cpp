#include "engine/app/EngineRun.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/LogChannel.h"
#include "engine/foundation/LogSettings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
  // state (entered in frame 9) quits; nothing draws after that quit.
  EXPECT_EQ(frames, 9);

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

TEST(EngineRunDevice, SettingsAreSavedAtExitOnlyWhenModified) {
  struct Case {
    const char* name;
    bool resize;
    bool saved;
  };
  for (const Case& c : {Case{"untouched", false, false}, Case{"resized", true, true}}) {
    char folder[] = "/tmp/vyre-engine-run-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string registry = std::string(folder) + "/registry.reg";
    setenv("VYRE_REGISTRY", registry.c_str(), 1);
    // A settings file left in the shared working folder would take the save.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    int step = 0;
    EngineRunOptions options;
    options.pollEvent = [&](platform::Event* event) {
      switch (step++) {
        case 0:
          if (!c.resize) return false;
          event->type = platform::EventType::Resized;
          event->width = 640;
          event->height = 400;
          return true;
        case 1:
          event->type = platform::EventType::WindowClose;
          return true;
        default:
          return false;
      }
    };
    EXPECT_EQ(EngineRun(options), 0) << c.name;
    struct stat info;
    EXPECT_EQ(stat(registry.c_str(), &info) == 0, c.saved) << c.name;
    ASSERT_EQ(chdir(previous), 0);
  }
}

}  // namespace
