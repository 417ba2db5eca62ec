#include "engine/app/WindowFallback.h"

#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/runtime/settings/Settings.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolder.h"

namespace {

struct NamedSetting {
  std::string text;  // "Width=20000", as the file holds it
  std::string file;  // where it was read; empty when nobody can tell
};

NamedSetting Name(const char* key, const SettingOrigin& origin, const std::string& value) {
  const bool known = !origin.file.empty();
  return NamedSetting{std::string(key) + "=" + (known ? origin.text : value), origin.file};
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Both places a setting can come from, for a value whose source is not known.
std::string EitherSource(const CSettings& settings) {
  return Quoted(platform::UserReadPath(settings.iniFileName.Chars())) + " or the registry store " +
         Quoted(platform::RegistryFileFor(settings.registryKeyPath.Chars()));
}

// "Width=20000 and Height=20000 in "file"", a file named once for the
// settings next to each other that it gave.
std::string DescribeSettings(const std::vector<NamedSetting>& named, const CSettings& settings) {
  std::string text;
  for (size_t i = 0; i < named.size(); ++i) {
    if (i > 0) text += i + 1 == named.size() ? " and " : ", ";
    text += named[i].text;
    if (i + 1 < named.size() && named[i + 1].file == named[i].file) continue;
    text += " in " + (named[i].file.empty() ? EitherSource(settings) : Quoted(named[i].file));
  }
  return text;
}

}  // namespace

void ReportRefusedWindow(const CDisplay::RefusedWindow& refused, CSettings& settings, bool fromStoredSettings) {
  std::string line = "Cannot make the window at " + std::to_string(refused.width) + " x " +
                     std::to_string(refused.height) + (refused.fullscreen ? " in full screen" : "");
  if (fromStoredSettings) {
    std::vector<NamedSetting> named;
    if (refused.width != CDisplay::kDefaultWidth) {
      named.push_back(Name("Width", settings.widthOrigin, std::to_string(refused.width)));
    }
    if (refused.height != CDisplay::kDefaultHeight) {
      named.push_back(Name("Height", settings.heightOrigin, std::to_string(refused.height)));
    }
    if (refused.fullscreen) named.push_back(Name("Fullscreen", settings.fullscreenOrigin, "1"));
    if (!named.empty()) line += " (" + DescribeSettings(named, settings) + ")";
  }
  std::string reason = refused.reason;
  if (!reason.empty() && reason.back() == '.') reason.pop_back();
  if (!reason.empty()) line += ": " + reason;
  LogWarning("%s; playing in a window of %d x %d instead, the size now saved for the next start.", line.c_str(),
             CDisplay::kDefaultWidth, CDisplay::kDefaultHeight);
  settings.width = CDisplay::kDefaultWidth;
  settings.height = CDisplay::kDefaultHeight;
  settings.fullscreen = false;
  settings.widthOrigin = SettingOrigin{};
  settings.heightOrigin = SettingOrigin{};
  settings.fullscreenOrigin = SettingOrigin{};
  settings.modified = true;
}
