#include "support/RuntimeTestSupport.h"

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"

#include <gtest/gtest.h>

#include <cstring>

namespace runtime_test {
namespace {

uint32_t gTestTick = 0;
uint32_t TestTick() { return gTestTick; }

// Every module channel exists from the start, whatever switches a test's
// settings object installs later, and the clock reads the test's tick.
class RuntimeTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static const FixedLogSettings kAllChannels(true, false, "ALL");
    SetLogSettings(&kAllChannels);
    for (int channel = 0; channel < kLogChannelCount; ++channel) GetLogChannel(channel);
    Clock::Instance().SetTickSource(TestTick);
  }
};

const ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new RuntimeTestEnvironment);

}  // namespace

std::vector<std::string> LogLines(int channel) {
  std::vector<std::string> lines;
  LogChannel* log = GetLogChannel(channel);
  if (!log) return lines;
  const std::string tag = std::string(log->GetName().Chars()) + "|";
  for (std::string& text : log->LinesInOrder()) {
    if (text.compare(0, tag.size(), tag) == 0) text.erase(0, tag.size());
    lines.push_back(text);
  }
  return lines;
}

void ClearLog(int channel) {
  if (LogChannel* log = GetLogChannel(channel)) log->Clear();
}

bool LogContains(int channel, const std::string& text) {
  for (const std::string& line : LogLines(channel)) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

void SetGameTime(double seconds) { Clock::Instance().SetGameTime(static_cast<float>(seconds)); }

void SetClockPaused(bool paused) { Clock::Instance().SetPaused(paused); }

void TickClock(unsigned milliseconds) {
  gTestTick += milliseconds;
  Clock::Instance().Update();
}

}  // namespace runtime_test
