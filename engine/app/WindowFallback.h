#pragma once
// A window that could not be made as asked, and the default window made in
// its place: the player is told which setting could not be used, the
// settings then hold the window the game really runs in, and once the
// exit's save has written them the player is told so.

#include "engine/runtime/display/Display.h"

class CSettings;

class WindowFallback {
 public:
  // The smallest window the game is played in: below it the menus cannot be read.
  static constexpr int kSmallestWidth = 320;
  static constexpr int kSmallestHeight = 240;

  explicit WindowFallback(CSettings& settings) : settings_(settings) {}

  // True for a size a window of the game can have.
  static bool IsPlayableSize(int width, int height);

  // Opens the run's first window as the settings hold it. A stored size that
  // is not playable, or one the display refuses, gives the default window,
  // reported as Report does. False when no window could be made (a message
  // box said why); the settings then stay as they were.
  bool OpenFirstWindow(CDisplay& display);

  // Says on the terminal which window could not be made and why, naming
  // (when the window came from the stored settings) each setting with the
  // file that gave it; then the settings hold the default window and are
  // marked modified, so the exit's save mends them for the next start.
  void Report(const CDisplay::RefusedWindow& refused, bool fromStoredSettings);

  // After the exit's save, with whether it wrote the ini file: when it holds
  // a window reported here, the terminal says which values the next start
  // reads and where. A save that failed, or a run that saves nothing, adds
  // nothing: its own line (if any) says why.
  void ReportSave(bool iniWritten);

 private:
  CSettings& settings_;
  // A window was reported and the settings holding the default one are not saved yet.
  bool unsaved_ = false;
};
