#include "engine/foundation/LogSettings.h"

namespace {
// The settings object's own defaults.
constinit FixedLogSettings defaultSettings(true, false, "");
const LogSettings* installed = nullptr;
}  // namespace

void SetLogSettings(const LogSettings* settings) { installed = settings; }

const LogSettings& GetLogSettings() { return installed != nullptr ? *installed : defaultSettings; }
