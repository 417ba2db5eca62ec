#pragma once
// Carrying out a display change at the start of a frame: the window and its
// GL context are made again, and everything the old context held is given
// to the new one.

class CDisplay;
class CGEMApplication;

// When the display asks for a change: releases the font and model lists while
// the old context is current, rebuilds the window, queues every texture for
// reloading, reinstalls the shaders, sends the whole render word and every
// switched-on light again, lets the application restore what it set up for
// the context, and rescales the mouse cursor. True when it rebuilt; the
// caller then sets the input devices up on the new window.
bool RebuildDisplay(CDisplay& display, CGEMApplication& application);
