#include "engine/app/DisplayChange.h"

#include "engine/foundation/Log.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/settings/Settings.h"

void ApplyDisplaySettings(const CSettings& settings, CDisplay& display) {
  LogGEM("Video settings changed.");
  display.SetDepth(settings.depth);
  display.SetState(CDisplay::kChangePending);
  display.ChooseSize(settings.width, settings.height);
  const bool windowed = !display.HasState(CDisplay::kFullscreen);
  if (settings.fullscreen && windowed) {
    display.SetState(CDisplay::kFullscreen | CDisplay::kChangePending);
  } else if (!settings.fullscreen && !windowed) {
    display.ClearState(CDisplay::kFullscreen);
    display.SetState(CDisplay::kChangePending);
  }
}

void ToggleFullscreen(CDisplay& display) {
  if (display.HasState(CDisplay::kFullscreen)) {
    display.ClearState(CDisplay::kFullscreen);
  } else {
    display.SetState(CDisplay::kFullscreen);
  }
  display.SetState(CDisplay::kChangePending);
}
