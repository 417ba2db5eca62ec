#include "engine/app/DisplayLossSaving.h"

#include "engine/app/GEMApplication.h"
#include "engine/foundation/Log.h"
#include "engine/runtime/settings/Settings.h"
#include "platform/DisplayLoss.h"

namespace {

// The run whose files a loss saves; null members: nothing to save.
struct RunToSave {
  CGEMApplication* application = nullptr;
  CSettings* settings = nullptr;
};
RunToSave gRun;

// May run inside any call that talks to the display: everything here is
// file work over what stands between frames.
void SaveAfterDisplayLost(const char* displayName, platform::DisplayLoss what) {
  if (what == platform::DisplayLoss::Window) LogError("Another program destroyed the game's window.");
  LogError("Lost the connection to display \"%s\"; the program ends without shutting down.", displayName);
  if (gRun.application != nullptr) gRun.application->SaveAfterDisplayLoss();
  // As the run's end saves them.
  if (gRun.settings != nullptr && gRun.settings->modified) gRun.settings->Save(true);
}

}  // namespace

DisplayLossSaving::DisplayLossSaving(CGEMApplication* application, CSettings* settings) {
  gRun.application = application;
  gRun.settings = settings;
  platform::SetDisplayLostHandler(&SaveAfterDisplayLost);
}

DisplayLossSaving::~DisplayLossSaving() { ReportOnly(); }

void DisplayLossSaving::ReportOnly() { gRun = RunToSave{}; }
