#include "engine/foundation/tests/support/LogLines.h"

#include <algorithm>

#include "engine/foundation/Log.h"
#include "engine/foundation/LogChannel.h"
#include "engine/foundation/LogSettings.h"

namespace {

const FixedLogSettings kEveryChannel(true, false, "ALL");

}  // namespace

void EnableTestLogChannels() { SetLogSettings(&kEveryChannel); }

std::vector<std::string> LogLinesOf(int channel) {
  std::vector<std::string> lines;
  const LogChannel* log = GetLogChannel(channel);
  if (log == nullptr) return lines;
  // The tag the channel writes before its own lines; the main channel's
  // name is no tag (its lines are written as they are).
  const std::string tag = std::string(log->GetName().Chars()) + "|";
  for (std::string& text : log->LinesInOrder()) {
    if (text.compare(0, tag.size(), tag) == 0) text.erase(0, tag.size());
    lines.push_back(std::move(text));
  }
  return lines;
}

int CountLogLines(int channel, const std::string& text) {
  const std::vector<std::string> lines = LogLinesOf(channel);
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

bool LogContains(int channel, const std::string& text) {
  const std::vector<std::string> lines = LogLinesOf(channel);
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

void ClearLogLines(int channel) {
  if (LogChannel* log = GetLogChannel(channel)) log->Clear();
}

LogCapture::LogCapture(int channel) : channel_(channel) {
  EnableTestLogChannels();
  ClearLogLines(channel_);
}

LogCapture::~LogCapture() { SetLogSettings(nullptr); }

std::vector<std::string> LogCapture::Lines() const { return LogLinesOf(channel_); }

bool LogCapture::Has(const std::string& text) const { return CountLogLines(channel_, text) > 0; }

bool LogCapture::Contains(const std::string& text) const { return LogContains(channel_, text); }

FreshLog::FreshLog() {
  Log::Reset();
  EnableTestLogChannels();
}

FreshLog::~FreshLog() {
  Log::Reset();
  SetLogSettings(nullptr);
}
