#pragma once
// Watches the X connection SDL's video driver opened (nothing to do under
// another driver).

namespace platform {

// When SDL's video runs on X11, makes the loss of the X server end the
// program through EndAfterDisplayLoss instead of Xlib's exit(), whose static
// destructors would call into the dead connection.
void WatchForDisplayLoss();

}  // namespace platform
