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

// What the player is told for a stored size no window of the game has.
std::string TooSmallReason() {
  return "a window must be at least " + std::to_string(WindowFallback::kSmallestWidth) + " x " +
         std::to_string(WindowFallback::kSmallestHeight);
}

}  // namespace

bool WindowFallback::IsPlayableSize(int width, int height) {
  return width >= kSmallestWidth && height >= kSmallestHeight;
}

bool WindowFallback::OpenFirstWindow(CDisplay& display) {
  // The display would make a side that is not positive 128 pixels and any
  // other size as asked: a stored size too small to play in is refused
  // before the window is made, as one too large is by the display.
  const bool playable = IsPlayableSize(settings_.width, settings_.height);
  CDisplay::RefusedWindow unplayable;
  if (!playable) {
    unplayable.width = settings_.width;
    unplayable.height = settings_.height;
    unplayable.fullscreen = settings_.fullscreen;
    unplayable.reason = TooSmallReason();
  }
  display.Configure(settings_.GetTitle(), playable ? settings_.width : CDisplay::kDefaultWidth,
                    playable ? settings_.height : CDisplay::kDefaultHeight, settings_.depth,
                    playable && settings_.fullscreen);
  // As every later rebuild does: a window left by an earlier run goes first,
  // with the GL back end stopped in its context.
  if (!display.Recreate()) return false;
  CDisplay::RefusedWindow refused;
  if (display.TakeRefusedWindow(&refused)) {
    Report(refused, true);
  } else if (!playable) {
    Report(unplayable, true);
  }
  return true;
}

void WindowFallback::Report(const CDisplay::RefusedWindow& refused, bool fromStoredSettings) {
  std::string line = "Cannot make the window at " + std::to_string(refused.width) + " x " +
                     std::to_string(refused.height) + (refused.fullscreen ? " in full screen" : "");
  if (fromStoredSettings) {
    std::vector<NamedSetting> named;
    if (refused.width != CDisplay::kDefaultWidth) {
      named.push_back(Name("Width", settings_.widthOrigin, std::to_string(refused.width)));
    }
    if (refused.height != CDisplay::kDefaultHeight) {
      named.push_back(Name("Height", settings_.heightOrigin, std::to_string(refused.height)));
    }
    if (refused.fullscreen) named.push_back(Name("Fullscreen", settings_.fullscreenOrigin, "1"));
    if (!named.empty()) line += " (" + DescribeSettings(named, settings_) + ")";
  }
  std::string reason = refused.reason;
  if (!reason.empty() && reason.back() == '.') reason.pop_back();
  if (!reason.empty()) line += ": " + reason;
  // Nothing is saved yet, and some runs save nothing: the save's own report
  // tells whether the next start gets this window.
  LogWarning("%s; playing in a window of %d x %d instead.", line.c_str(), CDisplay::kDefaultWidth,
             CDisplay::kDefaultHeight);
  settings_.width = CDisplay::kDefaultWidth;
  settings_.height = CDisplay::kDefaultHeight;
  settings_.fullscreen = false;
  settings_.widthOrigin = SettingOrigin{};
  settings_.heightOrigin = SettingOrigin{};
  settings_.fullscreenOrigin = SettingOrigin{};
  settings_.modified = true;
  unsaved_ = true;
}

void WindowFallback::ReportSave(bool iniWritten) {
  if (!unsaved_ || !iniWritten) return;
  unsaved_ = false;
  // The values as written (the player may have changed the window since),
  // in the file the next start reads first.
  LogWarning("Saved Width=%d, Height=%d and Fullscreen=%d in \"%s\" for the next start.", settings_.width,
             settings_.height, settings_.fullscreen ? 1 : 0,
             platform::UserWritePath(settings_.iniFileName.Chars()).c_str());
}
