// The settings ini file in the user folder.
#include "engine/foundation/LogSettings.h"
#include "engine/runtime/settings/Settings.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(SettingsIni) {
  fuzz::ScratchFile("Fuzz.ini", data, size);
  {
    CSettings settings;
    settings.SetIniName(String("Fuzz.ini"));
    settings.Load(false);
  }
  static const FixedLogSettings kQuiet(false, false, "");
  SetLogSettings(&kQuiet);
}
