#pragma once
// A window that could not be made as asked, and the default window made in
// its place: the player is told which setting could not be used, and the
// settings then hold the window the game really runs in.

#include "engine/runtime/display/Display.h"

class CSettings;

// Says on the terminal which window could not be made and why, naming (when
// the window came from the stored settings) each setting with the file that
// gave it; then the settings hold the default window and are marked
// modified, so the exit's save mends them for the next start.
void ReportRefusedWindow(const CDisplay::RefusedWindow& refused, CSettings& settings, bool fromStoredSettings);
