#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"

namespace gui_test {
namespace {

class GuiTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    EnableTestLogChannels();
    for (int channel = 0; channel < kLogChannelCount; ++channel) GetLogChannel(channel);
  }
};

const ::testing::Environment* const gEnvironment = ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment);

}  // namespace

bool Deliver(CMSGListener* receiver, uint32_t id, intptr_t value, int32_t source) {
  CMSGMessage message;
  message.id = id;
  message.source = source;
  message.parameter = value;
  receiver->OnMessage(&message);
  return (message.handled & 1) != 0;
}

Rect MakeRect(float x, float y, float w, float h) {
  Rect rect;
  rect.SetPositionSize({x, y}, {w, h});
  return rect;
}

}  // namespace gui_test
