// Reading back module log lines in tests.

#include "LogLines.h"

#include <algorithm>

#include "engine/foundation/Log.h"

void EnableTestLogChannels() {
  static const FixedLogSettings kAllChannels(true, false, "ALL");
  SetLogSettings(&kAllChannels);
}

std::vector<std::string> LogLinesOf(int channel) {
  std::vector<std::string> lines;
  LogChannel* log = GetLogChannel(channel);
  if (log == nullptr) return lines;
  for (std::string& text : log->LinesInOrder()) {
    const size_t bar = text.find('|');
    lines.push_back(channel != 0 && bar != std::string::npos ? text.substr(bar + 1) : text);
  }
  return lines;
}

int CountLogLines(int channel, const std::string& text) {
  std::vector<std::string> lines = LogLinesOf(channel);
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

void ClearLogLines(int channel) {
  if (LogChannel* log = GetLogChannel(channel)) log->Clear();
}
