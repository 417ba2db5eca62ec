#include "support/LogCapture.h"

#include <algorithm>

#include "engine/foundation/Log.h"

namespace {
const FixedLogSettings kEverything(true, false, "ALL");
}  // namespace

LogCapture::LogCapture(int channel) : channel_(channel) {
  SetLogSettings(&kEverything);
  if (LogChannel* log = GetLogChannel(channel_)) log->Clear();
}

LogCapture::~LogCapture() { SetLogSettings(nullptr); }

std::vector<std::string> LogCapture::Lines() const {
  std::vector<std::string> lines;
  const LogChannel* log = GetLogChannel(channel_);
  if (log == nullptr) return lines;
  for (std::string& text : log->LinesInOrder()) {
    const size_t bar = text.find('|');
    if (bar != std::string::npos && bar == 3) text.erase(0, 4);
    lines.push_back(text);
  }
  return lines;
}

bool LogCapture::Has(const std::string& text) const {
  const std::vector<std::string> lines = Lines();
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}
