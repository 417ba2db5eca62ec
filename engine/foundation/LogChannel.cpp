#include "engine/foundation/LogChannel.h"

#include <cstring>
#include <string>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"

namespace {

constexpr uint32_t kRecordTextReserve = 128;
// Ring texts hold at most this many characters, as a formatted String does.
constexpr uint32_t kRecordTextMax = 255;
constexpr int kSeparatorLength = 72;

// Copies a text into a ring record, cut at the cap; a cut line keeps its end.
void AssignCapped(String& target, const String& full) {
  uint32_t length = full.Length();
  if (length <= kRecordTextMax) {
    target = full;
    return;
  }
  target.Reserve(kRecordTextMax);
  if (target.Buffer() == nullptr) return;
  target.ClearText();
  std::memcpy(target.Buffer(), full.Chars(), kRecordTextMax);
  if (full[length - 1] == '\n') target[kRecordTextMax - 1] = '\n';
}

}  // namespace

LogChannel::~LogChannel() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  FreeLines();
}

void LogChannel::FreeLines() {
  if (lines_ == nullptr) return;
  for (PooledListNode* node = lines_->Head(); node != nullptr; node = node->next) {
    delete static_cast<LogLine*>(node->data);
  }
  delete lines_;
  lines_ = nullptr;
  writeNode_ = nullptr;
}

void LogChannel::Initialise(const char* name, const char* fileName, const float colour[4], uint32_t lineCapacity) {
  FreeLines();
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  name_ = name != nullptr ? name : "";
  fileName_ = fileName != nullptr ? fileName : "";
  if (colour != nullptr) std::memcpy(colour_, colour, sizeof colour_);
  lineCapacity_ = lineCapacity;

  lines_ = new PooledList(10);
  if (lines_ != nullptr) {
    lines_->SetGrowSize(0);
    lines_->Grow(lineCapacity);
    for (uint32_t i = 0; i < lineCapacity; ++i) {
      LogLine* line = new LogLine();
      if (line == nullptr) break;
      std::memcpy(line->colour, colour_, sizeof colour_);
      line->text.Reserve(kRecordTextReserve);
      line->text.noNewline = 1;
      if (!lines_->AddTail(line)) {
        delete line;
        break;
      }
    }
  }
  writeIndex_ = 0;
  Clear();
}

void LogChannel::SetFileName(const char* fileName) {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  fileName_ = fileName != nullptr ? fileName : "";
}

void LogChannel::Print(const char* text, const float* colour) {
  static String shared;
  if (text == nullptr) return;
  shared = text;
  Write(shared, colour);
}

void LogChannel::WriteSeparator() {
  char separator[kSeparatorLength + 2];
  std::memset(separator, '=', kSeparatorLength);
  separator[kSeparatorLength] = '\n';
  separator[kSeparatorLength + 1] = '\0';
  Write(String(separator), nullptr);
}

void LogChannel::Write(const String& text, const float* colour) {
  if (!enabled_) return;
  if (text.Find("/=") >= 0) {
    WriteSeparator();
    return;
  }

  bool tagged = !name_.IsEmpty() && name_ != "Vyre";
  String full;
  if (tagged) {
    full = name_;
    full += "|";
    full += text;
  } else {
    full = text;
  }

  Clock& clock = Clock::Instance();
  uint32_t frameNumber = clock.GetFrameNumber();
  uint32_t count = lines_ != nullptr ? lines_->Count() : 0;
  if (count > 0) {
    if (writeIndex_ >= count || writeNode_ == nullptr) {
      if (writeIndex_ >= count) {
        writeIndex_ = 0;
        wrapped_ = 1;
      }
      writeNode_ = lines_->NodeAt(writeIndex_);
    }
    LogLine* line = static_cast<LogLine*>(writeNode_->data);
    AssignCapped(line->text, full);
    line->frameNumber = frameNumber;
    line->realTime = clock.GetRealTime();
    std::memcpy(line->colour, colour != nullptr ? colour : colour_, sizeof line->colour);
    line->lineIndex = static_cast<int32_t>(writeIndex_);
    ++writeIndex_;
    writeNode_ = writeNode_->next;
  }

  if (!fileName_.IsEmpty()) AppendToFile(frameNumber, text);

  // The main channel holds the whole run: the developer terminal shows
  // every line of it, as it is written.
  if (!tagged) platform::DebugOutput(full.Chars(), platform::Severity::Info);

  if (tagged) {
    LogChannel* main = GetLogChannel(kLogMain);
    if (main != nullptr && main != this) main->Write(full, colour_);
  }
}

void LogChannel::AppendToFile(uint32_t frameNumber, const String& text) {
  // A file that cannot be opened is not reported: the line stays in memory
  // and the next line tries again. Only a regular file is written to, so a
  // FIFO in its place never holds the program.
  if (file_ == nullptr) {
    std::string reason;
    platform::OpenFileStream(fileName_.Chars(), "a", file_, reason);
  }
  if (file_ == nullptr) return;
  std::fprintf(file_, "%u|%s", frameNumber, text.Chars());
  std::fflush(file_);
}

void LogChannel::Clear() {
  if (lines_ != nullptr) {
    for (PooledListNode* node = lines_->Head(); node != nullptr; node = node->next) {
      static_cast<LogLine*>(node->data)->text.ClearText();
    }
  }
  wrapped_ = 0;
  writeIndex_ = 0;
  writeNode_ = lines_ != nullptr ? lines_->Head() : nullptr;
}

const LogLine* LogChannel::GetLine(uint32_t n) const {
  if (lines_ == nullptr) return nullptr;
  return static_cast<const LogLine*>(lines_->At(n));
}

std::vector<std::string> LogChannel::LinesInOrder() const {
  std::vector<std::string> lines;
  const uint32_t start = IsWrapped() ? writeIndex_ : 0;
  const uint32_t count = IsWrapped() ? lineCapacity_ : writeIndex_;
  for (uint32_t i = 0; i < count; ++i) {
    const LogLine* line = GetLine((start + i) % lineCapacity_);
    if (line == nullptr) continue;
    std::string text = line->text.Chars();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    lines.push_back(std::move(text));
  }
  return lines;
}
