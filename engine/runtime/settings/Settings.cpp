#include "engine/runtime/settings/Settings.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "engine/runtime/settings/Registry.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolder.h"

namespace {

// The options whose value is a path: the next word is theirs whatever it
// begins with, as every absolute path begins with "/".
bool TakesAnyWord(const std::string& option) { return option == "3ME" || option == "SCN"; }

void WarnNoValue(const std::string& option) { LogWarning("Option /%s has no value; ignored", option.c_str()); }

// atoi without its undefined overflow: out-of-range numbers saturate.
int32_t ParseInt(const String& text) {
  long value = std::strtol(text.Chars(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Reads the ini file's lines, leading spaces and tabs and trailing line ends
// and blanks removed; false (and logged) when it cannot be opened or is too
// large to be a settings file.
bool ReadIniLines(const String& fileName, std::vector<String>* lines, std::string* pathRead) {
  const std::string path = platform::UserReadPath(fileName.Chars());
  *pathRead = path;
  // A file that is there but cannot be read (a folder, a FIFO, which would
  // hold the open) is the player's to know about; a missing one is a first run.
  std::string nothing;
  std::string reason;
  if (platform::ReadFileBytes(path, 0, nothing, reason) == platform::FileRead::Unreadable) {
    LogWarning("Settings : cannot read '%s' : %s", path.c_str(), reason.c_str());
    return false;
  }
  FileText file;
  if (!(file.OpenRead(path.c_str()) & File::kOpen)) {
    LogGEM("[GEM] Settings : Failed to read '%s'...", fileName.Chars());
    return false;
  }
  if (file.GetSize() > static_cast<int64_t>(CSettings::kMaxIniBytes)) {
    LogWarning("Settings : '%s' is larger than %u bytes; not read", fileName.Chars(), CSettings::kMaxIniBytes);
    return false;
  }
  String line;
  while (file.IsOpen() && !file.IsEOF()) {
    file.ReadLine(line);
    line.Trim();
    lines->push_back(line);
  }
  return true;
}

// Calls apply(key, value) for each "key=value" line of the section, from the
// line after its header to the first line holding "[".
template <class Apply>
void ReadSection(const std::vector<String>& lines, const char* header, bool upperCase, Apply apply) {
  size_t index = 0;
  while (index < lines.size() && lines[index] != header) ++index;
  for (++index; index < lines.size(); ++index) {
    String line = lines[index];
    if (line.Find("[") >= 0) return;
    if (upperCase) line.ToUpper();
    int equals = line.Find("=");
    if (equals < 0) continue;
    apply(line.Left(equals), line.Mid(equals + 1, static_cast<int>(line.Length())));
  }
}

constexpr const char* kDisplayAPI = "Display\\API";
constexpr const char* kDisplayTop = "Display\\Top";
constexpr const char* kDisplayLeft = "Display\\Left";
constexpr const char* kDisplayWidth = "Display\\Width";
constexpr const char* kDisplayHeight = "Display\\Height";
constexpr const char* kDisplayDepth = "Display\\Depth";
constexpr const char* kDisplayFullscreen = "Display\\Fullscreen";
constexpr const char* kSystemLocalDirectory = "System\\LocalDirectory";
constexpr const char* kSystemDeveloperMode = "System\\DeveloperMode";
constexpr const char* kSystemLogsToFiles = "System\\LogsToFiles";
constexpr const char* kSystemEnableLogging = "System\\EnableLogging";
constexpr const char* kSystemLogFilter = "System\\LogFilter";

// Text values are read through a zeroed buffer of this size.
constexpr uint32_t kRegistryTextBytes = 1024;

// A value is taken only when it has exactly the field's width, so a value of
// another size never leaves a field half overwritten.
template <class Field>
bool ReadField(const String& key, const char* name, Field* field) {
  Field value{};
  if (RegistryReadValue(name, &value, sizeof value, key.Chars()) != sizeof value) return false;
  *field = value;
  return true;
}

bool ReadFlag(const String& key, const char* name, bool* field) {
  uint8_t value = 0;
  if (RegistryReadValue(name, &value, sizeof value, key.Chars()) != sizeof value) return false;
  *field = value != 0;
  return true;
}

// The store's file and the value as a number, for a value that was read.
SettingOrigin StoreOrigin(const String& key, int32_t value) {
  return SettingOrigin{platform::RegistryFileFor(key.Chars()), std::to_string(value)};
}

template <class Field>
void WriteField(const String& key, const char* name, const Field& field) {
  RegistryWriteValue(name, 1, &field, sizeof field, key.Chars());
}

void WriteFlag(const String& key, const char* name, bool field) {
  uint8_t value = field ? 1 : 0;
  WriteField(key, name, value);
}

// A missing text leaves the field alone. Longer texts are cut to the buffer;
// its last byte is forced to a terminator because a damaged store may hold
// binary bytes, which come back unterminated.
void ReadText(const String& key, const char* name, String* field) {
  char text[kRegistryTextBytes] = {};
  if (RegistryReadValue(name, text, sizeof text, key.Chars()) == 0) return;
  text[sizeof text - 1] = '\0';
  *field = text;
}

void WriteText(const String& key, const char* name, const String& field) {
  RegistryWriteValue(name, 0, field.Chars(), field.Length(), key.Chars());
}

}  // namespace

CSettings::CSettings() {
  registryKeyPath = kRegistryRoot;
  registryKeyPath += title;
  SetLogSettings(this);
}

CSettings::~CSettings() {
  // Back to the log's defaults: an earlier source may be gone by now.
  if (&GetLogSettings() == this) SetLogSettings(nullptr);
  ClearArguments();
}

CSettings* GetSettings() {
  static CSettings settings;
  return &settings;
}

void CSettings::SetTitle(const String& newTitle) {
  title = newTitle;
  modified = true;
  registryKeyPath = kRegistryRoot;
  registryKeyPath += newTitle;
}

void CSettings::SetIniName(const String& name) { iniFileName = name; }

void CSettings::ReadDisplayRegistry() {
  ReadField(registryKeyPath, kDisplayAPI, &api);
  ReadField(registryKeyPath, kDisplayTop, &top);
  ReadField(registryKeyPath, kDisplayLeft, &left);
  if (ReadField(registryKeyPath, kDisplayWidth, &width)) widthOrigin = StoreOrigin(registryKeyPath, width);
  if (ReadField(registryKeyPath, kDisplayHeight, &height)) heightOrigin = StoreOrigin(registryKeyPath, height);
  ReadField(registryKeyPath, kDisplayDepth, &depth);
  if (ReadFlag(registryKeyPath, kDisplayFullscreen, &fullscreen)) {
    fullscreenOrigin = StoreOrigin(registryKeyPath, fullscreen ? 1 : 0);
  }
}

void CSettings::WriteDisplayRegistry() const {
  WriteField(registryKeyPath, kDisplayAPI, api);
  WriteField(registryKeyPath, kDisplayTop, top);
  WriteField(registryKeyPath, kDisplayLeft, left);
  WriteField(registryKeyPath, kDisplayWidth, width);
  WriteField(registryKeyPath, kDisplayHeight, height);
  WriteField(registryKeyPath, kDisplayDepth, depth);
  WriteFlag(registryKeyPath, kDisplayFullscreen, fullscreen);
}

void CSettings::ReadSystemRegistry() {
  ReadText(registryKeyPath, kSystemLocalDirectory, &localDir);
  ReadFlag(registryKeyPath, kSystemDeveloperMode, &developerMode);
  ReadFlag(registryKeyPath, kSystemLogsToFiles, &logsToFiles);
  ReadFlag(registryKeyPath, kSystemEnableLogging, &enableLogging);
  ReadText(registryKeyPath, kSystemLogFilter, &logFilter);
  logFilter.ToUpper();
}

void CSettings::WriteSystemRegistry() const {
  WriteText(registryKeyPath, kSystemLocalDirectory, localDir);
  WriteFlag(registryKeyPath, kSystemDeveloperMode, developerMode);
  WriteFlag(registryKeyPath, kSystemLogsToFiles, logsToFiles);
  WriteFlag(registryKeyPath, kSystemEnableLogging, enableLogging);
  WriteText(registryKeyPath, kSystemLogFilter, logFilter);
}

bool CSettings::Load(bool useRegistry) {
  if (useRegistry) ReadDisplayRegistry();
  std::vector<String> lines;
  std::string iniPath;
  if (!ReadIniLines(iniFileName, &lines, &iniPath)) return false;
  // Messages name the file wherever the program was started from.
  if (!iniPath.empty() && iniPath[0] != '/') iniPath = platform::CurrentDirectory() + "/" + iniPath;

  // Keys and values of [System] are upper-cased whole.
  ReadSection(lines, "[System]", true, [this](const String& key, const String& value) {
    if (key == "LOCALDIR")
      localDir = value;
    else if (key == "DEVELOPERMODE")
      developerMode = value == "1";
    else if (key == "TITLE")
      title = value;  // the key path stays as it was
    else if (key == "LOGSTOFILES")
      logsToFiles = value == "1";
    else if (key == "ENABLELOGGING")
      enableLogging = value == "1";
    else if (key == "LOGFILTER")
      logFilter = value;
  });
  // [Display] keys are case-sensitive and values are taken as written.
  ReadSection(lines, "[Display]", false, [this, &iniPath](const String& key, const String& value) {
    if (key == "API") {
      if (value == "OGL")
        api = 0;
      else if (value == "DX")
        api = 1;
    } else if (key == "Width") {
      width = ParseInt(value);
      widthOrigin = SettingOrigin{iniPath, value.Chars()};
    } else if (key == "Height") {
      height = ParseInt(value);
      heightOrigin = SettingOrigin{iniPath, value.Chars()};
    } else if (key == "Depth")
      depth = ParseInt(value);
    else if (key == "Fullscreen") {
      fullscreen = value == "1";
      fullscreenOrigin = SettingOrigin{iniPath, value.Chars()};
    } else if (key == "Top")
      top = ParseInt(value);
    else if (key == "Left")
      left = ParseInt(value);
  });
  if (developerMode) Dump();
  return true;
}

bool CSettings::Save(bool useRegistry) {
  if (useRegistry) {
    LogGEM("Settings : Writing to registry...");
    WriteDisplayRegistry();
  }
  std::string text;
  auto line = [&text](const char* key, const std::string& value) {
    text += key;
    text += value;
    text += '\n';
  };
  text += "[System]\n";
  line("LocalDir=", localDir.Chars());
  line("DeveloperMode=", std::to_string(developerMode ? 1 : 0));
  line("LogsToFiles=", std::to_string(logsToFiles ? 1 : 0));
  line("EnableLogging=", std::to_string(enableLogging ? 1 : 0));
  line("LogFilter=", logFilter.Chars());
  text += "[Display]\n";
  line("API=", api == 0 ? "OGL" : "DX");
  line("Top=", std::to_string(top));
  line("Left=", std::to_string(left));
  line("Width=", std::to_string(width));
  line("Height=", std::to_string(height));
  line("Depth=", std::to_string(depth));
  line("Fullscreen=", std::to_string(fullscreen ? 1 : 0));

  // The player's file is replaced whole or left as it was.
  const std::string path = platform::UserWritePath(iniFileName.Chars());
  std::string reason;
  if (!platform::ReplaceFileAtomically(path, text, &reason)) {
    LogSaveFailure("Settings : Failed to save '%s' : %s", path.empty() ? iniFileName.Chars() : path.c_str(),
                   reason.c_str());
    return false;
  }
  return true;
}

void CSettings::ParseCommandLine(const char* commandLine) {
  if (!commandLine) return;
  // Words are runs of anything but spaces and tabs; there is no quoting.
  std::string pendingOption;
  bool pending = false;
  const char* cursor = commandLine;
  while (*cursor) {
    while (*cursor == ' ' || *cursor == '\t') ++cursor;
    const char* start = cursor;
    while (*cursor && *cursor != ' ' && *cursor != '\t') ++cursor;
    if (cursor == start) break;
    std::string word(start, cursor);
    if (pending && TakesAnyWord(pendingOption)) {
      AddArgument(pendingOption.c_str(), word.c_str());
      pending = false;
    } else if (word[0] == '/') {
      if (pending) WarnNoValue(pendingOption);
      pendingOption = word.substr(1);
      pending = true;
    } else if (word[0] == '-') {
      AddArgument(word.c_str() + 1, nullptr);
    } else {
      AddArgument(pending ? pendingOption.c_str() : "", word.c_str());
      pending = false;
    }
  }
  if (pending) WarnNoValue(pendingOption);
}

void CSettings::AddArgument(const char* name, const char* value) {
  auto argument = std::make_unique<StringPair>();
  argument->name = name;
  if (value) argument->value = value;
  arguments_.push_back(std::move(argument));
}

StringPair* CSettings::FindArgument(const char* name) {
  if (!name) return nullptr;
  if (name[0] == '/') ++name;
  for (const auto& argument : arguments_) {
    if (argument->name == name) return argument.get();
  }
  return nullptr;
}

StringPair* CSettings::GetArgument(int index) {
  if (index < 0 || static_cast<size_t>(index) >= arguments_.size()) return nullptr;
  return arguments_[static_cast<size_t>(index)].get();
}

void CSettings::ClearArguments() { arguments_.clear(); }

void CSettings::Dump() const {
  LogGEM("/=");
  LogGEM("%s", modified ? "Settings [MODIFIED]" : "Settings");
  LogGEM("/=");
  LogGEM("[System]");
  LogGEM("Title = %s", title.Chars());
  LogGEM("LocalDir = %s", localDir.Chars());
  LogGEM("DevMode = %d", developerMode ? 1 : 0);
  LogGEM("LogsToFiles = %d", logsToFiles ? 1 : 0);
  LogGEM("Enable Logging = %d", enableLogging ? 1 : 0);
  LogGEM("Log Filter = %s", logFilter.Chars());
  LogGEM("[Display]");
  LogGEM("Top = %d", top);
  LogGEM("Left = %d", left);
  LogGEM("Width = %d", width);
  LogGEM("Height = %d", height);
  LogGEM("Depth = %d", depth);
  LogGEM("Fullscreen = %d", fullscreen ? 1 : 0);
}

uint32_t CSettings::ReadValue(const char* name, void* out, uint32_t capacity) const {
  return RegistryReadValue(name, out, capacity, registryKeyPath.Chars());
}
