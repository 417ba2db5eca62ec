#pragma once

// The engine's start-up settings: title, window geometry and colour depth,
// full-screen mode, rendering interface, local folder, developer mode, the
// log switches and the recorded command line. They come from built-in
// defaults, then the Display values of the registry store, then the ini file,
// which wins. They are saved (registry Display values and the ini file) at
// exit when something changed them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/LogSettings.h"
#include "engine/foundation/String.h"

// One recorded command-line argument: option or flag name and its value.
struct StringPair {
  String name;
  String value;  // empty when the option had no value
};

// Where a setting's value came from, for messages that name it: the file
// that gave it (the ini file read, or the registry store) and its text there.
struct SettingOrigin {
  std::string file;  // empty: the built-in default
  std::string text;
};

class CSettings : public LogSettings {
 public:
  // The registry root below which every application keeps its key.
  static constexpr const char* kRegistryRoot = "Software\\Velk Software Studio\\";
  // The ini file read and written until the program names its own.
  static constexpr const char* kDefaultIniName = "Vyre.ini";
  // Ini files larger than this are not settings files; they are refused.
  static constexpr uint32_t kMaxIniBytes = 64 * 1024;

  // Builds the defaults and becomes the source of the log's switches.
  CSettings();
  ~CSettings() override;

  // Sets the title, rebuilds the registry key path from it and marks the settings modified.
  void SetTitle(const String& newTitle);
  // Sets the ini file name: read from the user folder, else from the working
  // directory; always written to the user folder.
  void SetIniName(const String& name);
  // A copy of the title.
  String GetTitle() const { return title; }

  // Reads the registry Display values (when asked), then the ini file; true
  // when the ini file was read. Developer mode then dumps the settings.
  bool Load(bool useRegistry);
  // Writes the registry Display values (when asked), then the ini file
  // atomically; true when the ini file was written. Modified stays set.
  bool Save(bool useRegistry);

  // Records the command line: "/name value" options and "-flag" flags. The
  // word after /3ME or /SCN is their value whatever it begins with; an
  // option left without a value is logged and not recorded.
  void ParseCommandLine(const char* commandLine);
  // Appends an argument (a null value records an empty one).
  void AddArgument(const char* name, const char* value);
  // The first argument of that name (case-sensitive); a leading "/" of the query is ignored.
  StringPair* FindArgument(const char* name);
  // The argument at a 0-based index, or null.
  StringPair* GetArgument(int index);
  uint32_t GetArgumentCount() const { return static_cast<uint32_t>(arguments_.size()); }
  // Forgets every recorded argument.
  void ClearArguments();

  // Writes the settings to the GEM log channel.
  void Dump() const;

  // The System values of the registry store (local folder, developer mode,
  // log switches and filter). Load and Save leave them alone: the System
  // settings travel in the ini file. A value missing from the store leaves
  // its field as it was; texts longer than 1023 bytes are cut.
  void ReadSystemRegistry();
  void WriteSystemRegistry() const;

  // Reads a value below the settings' registry key ("Section\Name"); bytes read, 0 when missing.
  uint32_t ReadValue(const char* name, void* out, uint32_t capacity) const;

  // The log's switches.
  bool EnableLogging() const override { return enableLogging; }
  bool LogsToFiles() const override { return logsToFiles; }
  const char* LogFilter() const override { return logFilter.Chars(); }

  // Rendering interface: 0 OpenGL ("OGL"), 1 the other one ("DX", never acted on).
  uint8_t api = 0;
  int32_t top = 0;
  int32_t left = 0;
  int32_t width = 800;
  int32_t height = 600;
  int32_t depth = 32;
  bool fullscreen = false;
  bool developerMode = true;
  String localDir;
  String title{"Game"};
  // Always held in upper case. Every module channel (and its file) by default.
  String logFilter{"ALL"};
  String iniFileName{kDefaultIniName};
  // The registry root followed by the title.
  String registryKeyPath;
  // Where the window's size and mode were read from by the last Load.
  SettingOrigin widthOrigin;
  SettingOrigin heightOrigin;
  SettingOrigin fullscreenOrigin;
  // Something changed the settings since they were loaded; decides the save at exit.
  bool modified = false;
  bool logsToFiles = false;
  bool enableLogging = true;

 private:
  void ReadDisplayRegistry();
  void WriteDisplayRegistry() const;

  std::vector<std::unique_ptr<StringPair>> arguments_;
};

// The settings, built with the defaults on first use.
CSettings* GetSettings();
