#pragma once
// Watches the X connection SDL's video driver opened, and the program's
// window on it (nothing to do under another driver).

struct SDL_Window;

namespace platform {

// When SDL's video runs on X11, makes the loss of the X server end the
// program through EndAfterDisplayLoss instead of Xlib's exit(), whose static
// destructors would call into the dead connection.
void WatchForDisplayLoss();

// Makes an X error about the window (another program destroyed it) end the
// program as a lost display does, instead of through Xlib's default report
// and exit(). Null, or a window about to be closed by the program itself:
// no window is watched.
void WatchWindowForDestruction(SDL_Window* window);

}  // namespace platform
