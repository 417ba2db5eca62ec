// The command line: "/name value" options and "-flag" flags.
#include "engine/foundation/LogSettings.h"
#include "engine/runtime/settings/Settings.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(CommandLine) {
  const std::string text = fuzz::AsText(data, size);
  {
    CSettings settings;
    settings.ParseCommandLine(text.c_str());
    settings.FindArgument("3ME");
    settings.FindArgument("/SCN");
    settings.GetArgument(int(settings.GetArgumentCount()) - 1);
  }
  static const FixedLogSettings kQuiet(false, false, "");
  SetLogSettings(&kQuiet);
}
