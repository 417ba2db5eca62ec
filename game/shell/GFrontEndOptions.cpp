// The visuals and audio menus: display mode and full screen, sound and music
// volumes.

#include "engine/foundation/Log.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MessageIds.h"
#include "engine/runtime/settings/Settings.h"
#include "game/shell/GAudio.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/VolumeLevel.h"

namespace {

constexpr const char* kReturnToOptions = "PRESS ESCAPE TO RETURN TO OPTIONS MENU";
constexpr uint32_t kFullscreenItem = 0;
constexpr uint32_t kResolutionItem = 1;
constexpr uint32_t kApplyItem = 2;
constexpr uint32_t kSoundItem = 0;
constexpr uint32_t kMusicItem = 1;

// The current device's modes; empty when the display lists no such device.
const std::vector<CDisplay::Mode>& CurrentModes() {
  static const std::vector<CDisplay::Mode> kNone;
  CDisplay* display = GetDisplay();
  const int device = display->GetCurrentDevice();
  if (device < 0 || device >= static_cast<int>(display->GetDevices().size())) return kNone;
  return display->GetDevices()[device].modes;
}

// The first mode after the index, wrapping, that passes the test; the index
// itself when only it passes; false when none does.
template <class Test>
bool StepMode(const std::vector<CDisplay::Mode>& modes, uint32_t& index, Test passes) {
  const uint32_t count = static_cast<uint32_t>(modes.size());
  for (uint32_t step = 1; step <= count; ++step) {
    const uint32_t candidate = (index + step) % count;
    if (passes(modes[candidate])) {
      index = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

// ---- visuals ----

void GFrontEnd::OnEnterVisualsMenuFSM() {
  if (!visualsMenu) {
    visualsMenu = std::make_unique<MenuPage>("Visuals", std::initializer_list<const char*>{"", "", "Apply"});
  }
  ReadVisualsFromDisplay();
  EnterMenu(visualsMenu.get(), &fsmOptionsMenu, 0);
  ClearHelpLines();
  helpLine2 = kReturnToOptions;
}

void GFrontEnd::OnUpdateVisualsMenuFSM() {
  OnUpdateMenuFSM();
  if (visualsMenu && ViewDisplay() != visualsDisplay_) ReadVisualsFromDisplay();
}

GFrontEnd::DisplayView GFrontEnd::ViewDisplay() {
  const CDisplay* display = GetDisplay();
  DisplayView view;
  view.fullscreen = display->HasState(CDisplay::kFullscreen);
  view.device = display->GetCurrentDevice();
  view.modeCount = static_cast<int>(CurrentModes().size());
  view.mode = display->GetSelectedMode();
  view.width = display->GetWidth();
  view.height = display->GetHeight();
  view.refreshRate = display->GetRefreshRate();
  return view;
}

void GFrontEnd::ReadVisualsFromDisplay() {
  visualsDisplay_ = ViewDisplay();
  CDisplay* display = GetDisplay();
  // The display as it is now: Alt+Return switches it without the settings.
  pendingFullscreen = display->HasState(CDisplay::kFullscreen);
  const std::vector<CDisplay::Mode>& modes = CurrentModes();
  const int current = display->GetSelectedMode();
  // Without a list holding the current mode there is nothing to step through.
  pendingModeValid = current >= 0 && current < static_cast<int>(modes.size());
  if (pendingModeValid) {
    pendingMode = static_cast<uint32_t>(current);
    const int refresh = display->GetRefreshRate();
    if (modes[pendingMode].refreshRate != refresh) {
      StepMode(modes, pendingMode, [refresh](const CDisplay::Mode& mode) { return mode.refreshRate == refresh; });
    }
  }
  FormatVisualsItems();
}

void GFrontEnd::FormatVisualsItems() {
  visualsMenu->items[kFullscreenItem].text = MenuText("Fullscreen : %s", pendingFullscreen ? "Yes" : "No");
  const std::vector<CDisplay::Mode>& modes = CurrentModes();
  if (pendingModeValid && pendingMode < modes.size()) {
    const CDisplay::Mode& mode = modes[pendingMode];
    visualsMenu->items[kResolutionItem].text =
        MenuText("Resolution : %d x %d", static_cast<int>(mode.width), static_cast<int>(mode.height));
  } else {
    CDisplay* display = GetDisplay();
    visualsMenu->items[kResolutionItem].text =
        MenuText("Resolution : %d x %d", display->GetWidth(), display->GetHeight());
  }
}

void GFrontEnd::VisualsMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  OnMenuMessage(message);
  if (!IsSelect(message)) return;
  switch (currentMenu->selection) {
    case kFullscreenItem:
      pendingFullscreen = !pendingFullscreen;
      FormatVisualsItems();
      break;
    case kResolutionItem:
      StepResolution();
      break;
    case kApplyItem:
      ApplyVisuals();
      break;
    default:
      break;
  }
}

void GFrontEnd::StepResolution() {
  const std::vector<CDisplay::Mode>& modes = CurrentModes();
  if (!pendingModeValid || pendingMode >= modes.size()) return;
  const int depth = GetSettings()->depth;
  const int refresh = GetDisplay()->GetRefreshRate();
  StepMode(modes, pendingMode, [depth, refresh](const CDisplay::Mode& mode) {
    return (depth == 0 || mode.bitsPerPixel == depth) && mode.refreshRate == refresh;
  });
  FormatVisualsItems();
  const CDisplay::Mode& mode = modes[pendingMode];
  LogGEM("Mode [%d] : %d x %d @ %dbpp", static_cast<int>(pendingMode), static_cast<int>(mode.width),
         static_cast<int>(mode.height), static_cast<int>(mode.bitsPerPixel));
}

void GFrontEnd::ApplyVisuals() {
  CSettings* settings = GetSettings();
  settings->fullscreen = pendingFullscreen;
  settings->modified = true;
  CDisplay* display = GetDisplay();
  if (pendingModeValid && pendingMode < CurrentModes().size()) display->SelectMode(static_cast<int>(pendingMode));
  display->SetFullscreen(pendingFullscreen);
}

// ---- audio ----

void GFrontEnd::OnEnterAudioMenuFSM() {
  if (!audioMenu) audioMenu = std::make_unique<MenuPage>("Audio", std::initializer_list<const char*>{"", ""});
  int32_t level = 0;
  if (ReadVolumeLevel("Audio\\Music", level)) musicVolume = static_cast<uint32_t>(level);
  if (ReadVolumeLevel("Audio\\Sound", level)) soundVolume = static_cast<uint32_t>(level);
  FormatAudioItems();
  EnterMenu(audioMenu.get(), &fsmOptionsMenu, 0);
  ClearHelpLines();
  helpLine2 = kReturnToOptions;
}

void GFrontEnd::FormatAudioItems() {
  audioMenu->items[kSoundItem].text = MenuText("Sound : %d", static_cast<int>(soundVolume));
  audioMenu->items[kMusicItem].text = MenuText("Music : %d", static_cast<int>(musicVolume));
}

void GFrontEnd::AudioMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  OnMenuMessage(message);
  if (!IsSelect(message)) return;
  GAudio* audio = GetGAudio();
  if (currentMenu->selection == kSoundItem) {
    soundVolume = soundVolume >= kTopVolume ? 0 : soundVolume + 1;
    if (audio != nullptr) audio->soundVolume = static_cast<float>(soundVolume) / kTopVolume;
  } else if (currentMenu->selection == kMusicItem) {
    musicVolume = musicVolume >= kTopVolume ? 0 : musicVolume + 1;
    if (audio != nullptr) audio->SetMusicVolume(static_cast<int32_t>(musicVolume));
  }
  FormatAudioItems();
}

void GFrontEnd::OnExitAudioMenuFSM() {
  WriteVolumeLevel("Audio\\Music", static_cast<int32_t>(musicVolume));
  WriteVolumeLevel("Audio\\Sound", static_cast<int32_t>(soundVolume));
}
