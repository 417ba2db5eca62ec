#include "engine/app/WindowEvents.h"

#include "engine/runtime/display/Display.h"
#include "engine/runtime/settings/Settings.h"

void HandleWindowEvent(const platform::Event& event, RunFlags& flags, CDisplay* display, CSettings* settings) {
  switch (event.type) {
    case platform::EventType::Quit:
    case platform::EventType::WindowClose:
      flags.quit = true;
      break;
    case platform::EventType::Minimised:
      flags.active = false;
      break;
    case platform::EventType::Restored:
      flags.active = true;
      break;
    case platform::EventType::Resized:
      // A 0 x 0 size is what a minimised window reports; the last real size
      // stays for the restore.
      if (event.width <= 0 || event.height <= 0) break;
      if (display != nullptr) display->SetSize(event.width, event.height);
      // A refused full screen covering the desktop is not the player's size.
      if (display != nullptr && display->CoversDesktop()) break;
      if (settings != nullptr && (settings->width != event.width || settings->height != event.height)) {
        settings->width = event.width;
        settings->height = event.height;
        settings->modified = true;
      }
      break;
    default:
      break;
  }
}
