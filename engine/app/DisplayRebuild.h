#pragma once
// Carrying out a display change at the start of a frame: the window and its
// GL context are made again, and everything the old context held is given
// to the new one.

class CDisplay;
class CGEMApplication;

// What a frame's display step did.
enum class DisplayRebuild {
  kNone,     // no change was pending
  kRebuilt,  // the caller sets the input devices up on the new window
  kFailed,   // no window could be made again (a message box said why)
};

// When the display asks for a change: releases the font and model lists while
// the old context is current, rebuilds the window, queues every texture for
// reloading, reinstalls the shaders, sends the whole render word and every
// switched-on light again, lets the application restore what it set up for
// the context, and rescales the mouse cursor.
DisplayRebuild RebuildDisplay(CDisplay& display, CGEMApplication& application);
