#pragma once
// The program's settings are made ready before its application is built: the
// game's constructor already reads values below the title's registry key.

#include "engine/foundation/String.h"
#include "engine/runtime/settings/Settings.h"

// Gives the program-wide settings their title and ini file, loads them (the
// registry's Display values, then the ini file) and marks them unchanged, so
// only a change during the run saves them at exit.
void PrepareSettings(const String& title, const String& iniName = String(CSettings::kDefaultIniName));
