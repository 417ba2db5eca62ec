#pragma once
// The log service: numbered channels with three-letter tags. Every line of a
// module channel is copied, tagged, to the main channel 0, whose file holds
// the whole run. Module code logs through small printf-style functions.
#include <cstdarg>
#include <string>
#include <string_view>

#include "engine/foundation/LogChannel.h"
#include "engine/foundation/LogSettings.h"
#include "platform/DebugOutput.h"
#include "platform/Time.h"

// Channel numbers.
enum LogChannelNumber {
  kLogMain = 0,  // "Vyre"
  kLogDBG = 1,
  kLogGEM = 2,
  kLog3ME = 3,
  kLogMAT = 4,
  kLogGFX = 5,
  kLogMSG = 6,
  kLogANM = 7,
  kLogUIO = 8,
  kLogTEX = 9,
  kLogSFX = 10,
  kLogGUI = 11,
  kLogARC = 12,
  kLogFSM = 13,
  kLogChannelCount = 14,
};

// The channel to write to: the module channel when logging is on and its
// tag passes the filter (created on first use), else the main channel 0.
// Null only after the log has been torn down at exit.
LogChannel* GetLogChannel(int number);

// printf-style line on channel 1 "DBG", also sent to the debugger output
// (which the terminal shows only while the developer switch is on).
void LogDBG(const char* format, ...) __attribute__((format(printf, 1, 2)));
// LogDBG for something that went wrong: the terminal always shows it.
void LogWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// LogError for a save of one of the player's files that failed. In a run
// that keeps out of the user folder every save fails, and the start has
// told the player so once: there the line stays in the log.
void LogSaveFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf-style line on channel 2 "GEM".
void LogGEM(const char* format, ...) __attribute__((format(printf, 1, 2)));
// LogDBG of "%s : %s - %d".
void LogDBGAt(const char* first, const char* second, int number);

// The body of every module's printf-style function: formats into a
// 1024-byte buffer (at most 1022 characters), appends "\n" and prints it to
// the channel. Used by the modules' own log functions.
void LogVPrintf(int channel, const char* format, va_list args);
void LogPrintf(int channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
// LogPrintf for something that went wrong, kept in the module's own channel:
// the terminal always shows it, as it shows LogWarning's lines.
void LogWarningOn(int channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

// printf-style text on the standard output, as it is (no line end added),
// when the terminal shows the severity. For the readers' diagnostics, which
// go to no log channel.
void OutputPrintf(platform::Severity severity, const char* format, ...) __attribute__((format(printf, 2, 3)));

namespace Log {

// True when the filter is "ALL" or contains the tag; false when it is empty.
bool PassesFilter(const LogSettings& settings, const char* tag);
// Enables or disables one channel; a channel that does not exist is left
// alone (never the main channel in its place).
void EnableChannel(int number, bool enabled);
// Enables or disables every existing channel.
void EnableAllChannels(bool enabled);
// True when a channel exists for the number.
bool ChannelExists(int number);
// Deletes every channel and starts the log afresh on its next line (a new
// run folder when files are on).
void Reset();
// The folder of this run's log files, empty when files are off.
const String& RunFolder();
// Prints the lines the main channel holds now (at most its ring) to the
// terminal, oldest first: what was written before "-dev" was read.
void ShowMainChannelSoFar();
// The run folder for a start at the given local time:
// "<user folder>/Logs/YYYY-MM-DD @ HH-MM-SS".
std::string RunFolderName(std::string_view userFolder, const platform::LocalTime& start);

}  // namespace Log
