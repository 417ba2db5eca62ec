#pragma once
// The optional developer-tool library "toolbridge.so": loaded at start-up when
// present, handed the main window and the engine directory through its
// "Create" export, shown and hidden with F11, and cleaned up at exit.

namespace platform {
class GlWindow;
}

// Loads the library and calls its "Create"; false (logged "... none found.")
// when it is missing or exports no "Create".
bool LoadToolLibrary(platform::GlWindow* window);
// Calls "CleanUp" when exported and frees the library; false when none is loaded.
bool UnloadToolLibrary();
// F11: calls the library's "ToggleShow" (looked up once); nothing without it.
void ToggleToolLibrary();
