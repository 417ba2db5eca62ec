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
  const uint32_t capacity = log->GetLineCapacity();
  // Oldest first: after a wrap, the ring starts at the write index.
  uint32_t start = log->IsWrapped() ? log->GetWriteIndex() : 0;
  uint32_t count = log->IsWrapped() ? capacity : log->GetWriteIndex();
  for (uint32_t i = 0; i < count; ++i) {
    const LogLine* line = log->GetLine((start + i) % capacity);
    if (line == nullptr) continue;
    std::string text = line->text.Chars();
    size_t bar = text.find('|');
    if (channel != 0 && bar != std::string::npos) text = text.substr(bar + 1);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    lines.push_back(text);
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
