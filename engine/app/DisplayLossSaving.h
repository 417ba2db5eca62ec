#pragma once
// A run whose display is lost under it (the X server went away, another
// program destroyed the window) keeps the player's files as a quit would:
// the game in play recorded, the window layout and the changed settings
// (the ini file and the registry store) written. Then the platform ends the
// process at once with its status (see platform/DisplayLoss.h).

class CGEMApplication;
class CSettings;

// While it lives, a lost display reports the loss and saves for this run's
// application and settings before the end; afterwards (or once the run has
// saved them itself, ReportOnly) it only reports.
class DisplayLossSaving {
 public:
  DisplayLossSaving(CGEMApplication* application, CSettings* settings);
  ~DisplayLossSaving();
  DisplayLossSaving(const DisplayLossSaving&) = delete;
  DisplayLossSaving& operator=(const DisplayLossSaving&) = delete;

  // The run has saved the player's files itself: a later loss only reports.
  void ReportOnly();
};
