#include "support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include "engine/foundation/Log.h"
#include "engine/foundation/LogChannel.h"
#include "engine/foundation/LogSettings.h"

namespace gui_test {
namespace {

class GuiTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static const FixedLogSettings kAllChannels(true, false, "ALL");
    SetLogSettings(&kAllChannels);
    for (int channel = 0; channel < kLogChannelCount; ++channel) GetLogChannel(channel);
  }
};

const ::testing::Environment* const gEnvironment = ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment);

}  // namespace

std::vector<std::string> LogLines(int channel) {
  std::vector<std::string> lines;
  LogChannel* log = GetLogChannel(channel);
  if (log == nullptr) return lines;
  for (std::string& text : log->LinesInOrder()) {
    const size_t bar = text.find('|');
    lines.push_back(bar != std::string::npos ? text.substr(bar + 1) : text);
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
