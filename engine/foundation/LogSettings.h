#pragma once
// The three switches the log reads. The settings object registers itself
// here once it exists; until then the log uses the settings' defaults
// (logging on, no files, every channel).

class LogSettings {
 public:
  virtual ~LogSettings() = default;
  // Module channels exist at all.
  virtual bool EnableLogging() const = 0;
  // Channels also write their lines to files under "Logs".
  virtual bool LogsToFiles() const = 0;
  // Which tags get a channel: "ALL", or text that contains the tags.
  virtual const char* LogFilter() const = 0;
};

// Installs the source of the switches; null restores the defaults. The
// object must outlive its registration.
void SetLogSettings(const LogSettings* settings);

// The switches in use now.
const LogSettings& GetLogSettings();

// Plain values, for tests and tools that need no settings object.
class FixedLogSettings : public LogSettings {
 public:
  constexpr FixedLogSettings(bool enableLogging, bool logsToFiles, const char* filter)
      : enableLogging_(enableLogging), logsToFiles_(logsToFiles), filter_(filter) {}
  bool EnableLogging() const override { return enableLogging_; }
  bool LogsToFiles() const override { return logsToFiles_; }
  const char* LogFilter() const override { return filter_ != nullptr ? filter_ : ""; }

 private:
  bool enableLogging_;
  bool logsToFiles_;
  const char* filter_;
};
