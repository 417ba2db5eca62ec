#include "engine/foundation/Log.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/foundation/LogSettings.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"
#include "platform/Time.h"
#include "platform/UserFolder.h"

namespace {

constexpr uint32_t kLinesPerChannel = 256;
constexpr uint32_t kPoolCapacity = 32;
constexpr size_t kPrintfBufferSize = 1024;

struct ChannelInfo {
  const char* tag;
  float colour[4];
};

const ChannelInfo kChannels[kLogChannelCount] = {
    {"Vyre", {1.0f, 1.0f, 1.0f, 1.0f}}, {"DBG", {0.75f, 0.75f, 0.75f, 1.0f}}, {"GEM", {0.0f, 1.0f, 0.0f, 1.0f}},
    {"3ME", {1.0f, 1.0f, 0.0f, 1.0f}},  {"MAT", {0.0f, 1.0f, 1.0f, 1.0f}},    {"GFX", {1.0f, 1.0f, 0.0f, 1.0f}},
    {"MSG", {1.0f, 0.5f, 0.0f, 1.0f}},  {"ANM", {0.5f, 0.5f, 1.0f, 1.0f}},    {"UIO", {1.0f, 0.5f, 0.5f, 1.0f}},
    {"TEX", {1.0f, 0.5f, 0.5f, 1.0f}},  {"SFX", {1.0f, 0.5f, 0.5f, 1.0f}},    {"GUI", {1.0f, 0.5f, 0.5f, 1.0f}},
    {"ARC", {1.0f, 0.5f, 0.5f, 1.0f}},  {"FSM", {1.0f, 0.5f, 0.5f, 1.0f}},
};

// Everything the log keeps for the run. Constant-initialised, so it exists
// before any other static object can log, and torn down after them.
struct LogState {
  constexpr LogState() = default;
  ~LogState() {
    TearDown();
    shutDown = true;
  }
  void TearDown() {
    delete pool;  // deletes the channels, closing their files
    pool = nullptr;
    for (LogChannel*& channel : table) channel = nullptr;
    initialised = false;
    runFolderTried = false;
    runFolder.Release();
  }

  LogChannel* table[kLogChannelCount] = {};
  NameMap* pool = nullptr;
  String runFolder;
  bool initialised = false;
  bool runFolderTried = false;
  bool shutDown = false;
};

constinit LogState gLog;

// A channel from the pool: one left in a freed node, else a new one.
LogChannel* TakeChannel() { return gLog.pool != nullptr ? gLog.pool->Acquire<LogChannel>() : nullptr; }

String ChannelFileName(const char* tag) {
  String name;
  if (gLog.runFolder.IsEmpty()) return name;
  name = gLog.runFolder;
  name += "/";
  name += tag;
  name += ".txt";
  return name;
}

// Creates "Logs" in the user folder (the logs are the player's, like the
// settings) and this run's dated folder in it.
void PrepareRunFolder() {
  gLog.runFolderTried = true;
  gLog.runFolder.noNewline = 1;
  // A run that keeps out of the user folder keeps its lines in memory: the
  // copy that holds the folder may be logging into the same second's folder.
  if (platform::KeepsOutOfUserFolder()) return;
  std::string folder = Log::RunFolderName(platform::UserFolder(), platform::CurrentLocalTime());
  platform::MakeParentFolders(folder + "/");
  gLog.runFolder = folder.c_str();
}

void Initialise() {
  gLog.pool = new NameMap();
  if (gLog.pool != nullptr) gLog.pool->SetName("LogChannelPool", kPoolCapacity);
  if (GetLogSettings().LogsToFiles()) PrepareRunFolder();
  if (gLog.table[kLogMain] == nullptr) {
    gLog.table[kLogMain] = TakeChannel();
    if (gLog.table[kLogMain] != nullptr) {
      gLog.table[kLogMain]->Initialise(kChannels[kLogMain].tag, ChannelFileName("Vyre").Chars(),
                                       kChannels[kLogMain].colour, kLinesPerChannel);
    }
  }
  gLog.initialised = true;
}

void CreateModuleChannel(int number) {
  const ChannelInfo& info = kChannels[number];
  if (!Log::PassesFilter(GetLogSettings(), info.tag)) return;
  LogChannel* channel = TakeChannel();
  if (channel == nullptr) return;
  gLog.table[number] = channel;
  channel->Initialise(info.tag, ChannelFileName(info.tag).Chars(), info.colour, kLinesPerChannel);
}

// Formats at most 1022 characters and a line end into the buffer.
void FormatLine(char (&buffer)[kPrintfBufferSize], const char* format, va_list args) {
  buffer[0] = '\0';
  std::vsnprintf(buffer, kPrintfBufferSize - 1, format != nullptr ? format : "", args);
  std::strcat(buffer, "\n");
}

}  // namespace

LogChannel* GetLogChannel(int number) {
  if (gLog.shutDown) return nullptr;
  if (number < 0 || number >= kLogChannelCount) number = kLogMain;
  if (!gLog.initialised) Initialise();
  const LogSettings& settings = GetLogSettings();
  // Files switched on after the first line (the settings arrived later):
  // start them now rather than never.
  if (settings.LogsToFiles() && !gLog.runFolderTried) {
    PrepareRunFolder();
    for (int existing = 0; existing < kLogChannelCount; ++existing) {
      LogChannel* channel = gLog.table[existing];
      if (channel != nullptr && channel->GetFileName().IsEmpty())
        channel->SetFileName(ChannelFileName(kChannels[existing].tag).Chars());
    }
  }
  if (settings.EnableLogging()) {
    if (number != kLogMain && gLog.table[number] == nullptr) CreateModuleChannel(number);
    if (gLog.table[number] != nullptr) return gLog.table[number];
  }
  return gLog.table[kLogMain];
}

void LogVPrintf(int channel, const char* format, va_list args) {
  char buffer[kPrintfBufferSize];
  FormatLine(buffer, format, args);
  if (LogChannel* target = GetLogChannel(channel)) target->Print(buffer);
}

void LogPrintf(int channel, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(channel, format, args);
  va_end(args);
}

namespace {

void LogAs(platform::Severity severity, int channel, const char* format, va_list args) {
  char buffer[kPrintfBufferSize];
  FormatLine(buffer, format, args);
  // With every line on the terminal the main channel prints this one; else
  // only a warning or an error reaches it, here.
  if (severity != platform::Severity::Info && !platform::TerminalShowsEveryLine())
    platform::DebugOutput(buffer, severity);
  if (LogChannel* target = GetLogChannel(channel)) target->Print(buffer);
}

void LogDBGAs(platform::Severity severity, const char* format, va_list args) { LogAs(severity, kLogDBG, format, args); }

}  // namespace

void LogDBG(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogDBGAs(platform::Severity::Info, format, args);
  va_end(args);
}

void LogWarning(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogDBGAs(platform::Severity::Warning, format, args);
  va_end(args);
}

void LogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogDBGAs(platform::Severity::Error, format, args);
  va_end(args);
}

void LogSaveFailure(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogDBGAs(platform::KeepsOutOfUserFolder() ? platform::Severity::Info : platform::Severity::Error, format, args);
  va_end(args);
}

void OutputPrintf(platform::Severity severity, const char* format, ...) {
  // Nobody would see the text: it is not even formatted.
  if (!platform::TerminalShows(severity)) return;
  char buffer[kPrintfBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format != nullptr ? format : "", args);
  va_end(args);
  platform::StandardOutput(buffer, severity);
}

void LogWarningOn(int channel, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogAs(platform::Severity::Warning, channel, format, args);
  va_end(args);
}

void LogGEM(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(kLogGEM, format, args);
  va_end(args);
}

void LogDBGAt(const char* first, const char* second, int number) {
  LogDBG("%s : %s - %d\n", first != nullptr ? first : "", second != nullptr ? second : "", number);
}

namespace Log {

bool PassesFilter(const LogSettings& settings, const char* tag) {
  const char* filter = settings.LogFilter();
  if (filter == nullptr || filter[0] == '\0' || tag == nullptr) return false;
  if (std::strcmp(filter, "ALL") == 0) return true;
  return std::strstr(filter, tag) != nullptr;
}

void EnableChannel(int number, bool enabled) {
  if (number < 0 || number >= kLogChannelCount) return;
  // May create the channel; a number without one must not switch the main
  // channel in its place.
  GetLogChannel(number);
  if (gLog.table[number] != nullptr) gLog.table[number]->SetEnabled(enabled);
}

void EnableAllChannels(bool enabled) {
  for (LogChannel* channel : gLog.table) {
    if (channel != nullptr) channel->SetEnabled(enabled);
  }
}

bool ChannelExists(int number) { return number >= 0 && number < kLogChannelCount && gLog.table[number] != nullptr; }

void Reset() {
  if (gLog.shutDown) return;
  gLog.TearDown();
}

const String& RunFolder() { return gLog.runFolder; }

void ShowMainChannelSoFar() {
  const LogChannel* main = gLog.table[kLogMain];
  if (main == nullptr) return;
  for (const std::string& line : main->LinesInOrder()) {
    platform::DebugOutput((line + "\n").c_str(), platform::Severity::Info);
  }
}

std::string RunFolderName(std::string_view userFolder, const platform::LocalTime& start) {
  char dated[64];
  std::snprintf(dated, sizeof dated, "/Logs/%04d-%02d-%02d @ %02d-%02d-%02d", start.year, start.month, start.day,
                start.hour, start.minute, start.second);
  return std::string(userFolder) + dated;
}

}  // namespace Log

// The settings the log reads: the settings object once it is installed,
// its defaults before.
namespace {
// The settings object's own defaults.
constinit FixedLogSettings defaultSettings(true, false, "ALL");
const LogSettings* installed = nullptr;
}  // namespace

void SetLogSettings(const LogSettings* settings) { installed = settings; }

const LogSettings& GetLogSettings() { return installed != nullptr ? *installed : defaultSettings; }
