#include "support/RuntimeTestSupport.h"

#include <gtest/gtest.h>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"

namespace runtime_test {
namespace {

uint32_t gTestTick = 0;
uint32_t TestTick() { return gTestTick; }

// Every module channel exists from the start, whatever switches a test's
// settings object installs later, and the clock reads the test's tick.
class RuntimeTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    EnableTestLogChannels();
    for (int channel = 0; channel < kLogChannelCount; ++channel) GetLogChannel(channel);
    Clock::Instance().SetTickSource(TestTick);
  }
};

const ::testing::Environment* const gEnvironment = ::testing::AddGlobalTestEnvironment(new RuntimeTestEnvironment);

}  // namespace

void SetGameTime(double seconds) { Clock::Instance().SetGameTime(static_cast<float>(seconds)); }

void SetClockPaused(bool paused) { Clock::Instance().SetPaused(paused); }

void TickClock(unsigned milliseconds) {
  gTestTick += milliseconds;
  Clock::Instance().Update();
}

}  // namespace runtime_test
