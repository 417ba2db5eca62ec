#pragma once

// Helpers for the shell's tests: a scratch user folder and working directory
// per test, raw file bytes, and a profile whose every field holds its own
// value.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/puzzle/HighScoreEntry.h"
#include "game/shell/Profile.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"

namespace shell_test {

// Points VYRE_USER_DIR at "<scratch>/user" and makes "<scratch>/work" the
// working directory; both come back when it goes away. Also turns the log
// channels on and forgets the GEM lines written so far.
class PlayerFolders {
 public:
  PlayerFolders();
  ~PlayerFolders();
  PlayerFolders(const PlayerFolders&) = delete;
  PlayerFolders& operator=(const PlayerFolders&) = delete;

  std::string User(const std::string& relative) const { return userFolder + "/" + relative; }
  std::string Work(const std::string& relative) const { return workFolder + "/" + relative; }

  platform::ScopedTempFolder scratch{"vyre-shell"};
  std::string userFolder;
  std::string workFolder;

 private:
  std::string previousDirectory_;
  std::string previousUserFolder_;
  bool hadUserFolder_ = false;
};

// The whole file, or an empty text when it cannot be read.
std::string ReadBytes(const std::string& path);
// Writes the bytes, creating the folders on the way.
void WriteBytes(const std::string& path, const std::string& bytes);
// 32-bit little-endian values, one after the other.
std::string Words(std::initializer_list<uint32_t> values);
std::string FloatWord(float value);

// Names the profile and gives each stored field a distinct value (see the
// golden file in ProfileFileTest.cpp).
void FillEveryField(Profile& profile, const char* name);

// The game's defaults: "Doh" rows for Challenge, "Dur" for Panic, all 0.
void FillDefaultHighScores(HighScoreRows& rows);

// The GEM lines logged since the folders were made or the last ClearGemLines.
std::vector<std::string> GemLines();
void ClearGemLines();
// The lines the terminal shows as warnings and errors (the DBG channel)
// since the folders were made or the last ClearTerminalLines.
std::vector<std::string> TerminalLines();
void ClearTerminalLines();
// True when a terminal line holds all the texts.
bool TerminalSays(std::initializer_list<std::string> texts);

// A name that is there but cannot be read, in a shape a player's disk can
// hold (tests run as root, whom permission bits do not stop), and the
// reason the system gives for it.
struct UnreadableShape {
  const char* what;
  const char* reason;
};
const std::vector<UnreadableShape>& UnreadableShapes();
// Puts the shape at the path, making the folders on the way.
void MakeUnreadable(const std::string& path, const UnreadableShape& shape);
// What stands at the path, links not followed: "folder", "fifo", "link",
// "file" or "nothing".
std::string KindAt(const std::string& path);

}  // namespace shell_test
