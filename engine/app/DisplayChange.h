#pragma once
// Display changes asked for by the console and the Alt+Enter hot key. Both only
// mark the display; the frame rebuilds the window at its start.

class CDisplay;
class CSettings;

// Logs "Video settings changed.", copies depth and size from the settings and
// marks the display for a rebuild, switching full screen on or off as asked.
void ApplyDisplaySettings(const CSettings& settings, CDisplay& display);

// Flips between windowed and full screen at the next frame.
void ToggleFullscreen(CDisplay& display);
