#include "ShellTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "platform/FileSystem.h"

namespace shell_test {

PlayerFolders::PlayerFolders() {
  userFolder = scratch / "user";
  workFolder = scratch / "work";
  platform::MakeFolder(workFolder);
  previousDirectory_ = platform::CurrentDirectory();
  const char* previous = std::getenv("VYRE_USER_DIR");
  hadUserFolder_ = previous != nullptr;
  if (hadUserFolder_) previousUserFolder_ = previous;
  setenv("VYRE_USER_DIR", userFolder.c_str(), 1);
  if (chdir(workFolder.c_str()) != 0) std::perror("chdir");
  EnableTestLogChannels();
  ClearLogLines(kLogGEM);
  ClearLogLines(kLogDBG);
}

PlayerFolders::~PlayerFolders() {
  if (chdir(previousDirectory_.c_str()) != 0) std::perror("chdir");
  if (hadUserFolder_) {
    setenv("VYRE_USER_DIR", previousUserFolder_.c_str(), 1);
  } else {
    unsetenv("VYRE_USER_DIR");
  }
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  platform::MakeParentFolders(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Words(std::initializer_list<uint32_t> values) {
  std::string bytes;
  for (uint32_t value : values) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
  }
  return bytes;
}

std::string FloatWord(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return Words({bits});
}

void FillEveryField(Profile& profile, const char* name) {
  profile.SetName(name);
  for (int m = 0; m < kModeCount; ++m) {
    ModeStats& stats = profile.modes[m];
    const uint32_t base = 11 + 10 * m;
    stats.score = base;
    stats.pendingScore = base + 1;
    stats.discIndex = base + 2;
    stats.discsCompleted = base + 3;  // never stored
    stats.parCompletions = base + 4;
    stats.totalStars = base + 5;
    stats.constellationIndex = base + 6;
    stats.constellationCount = base + 7;
    stats.level = base + 8;
    stats.gemsToNextLevel = -static_cast<int32_t>(base + 9);
    stats.timePlayed = 1.5f + m;
  }
  profile.bestLevel[0] = 31;
  profile.bestLevel[1] = 32;
  profile.excellence = 33;
  profile.skillfulCascades = 34;
  profile.masterfulCascades = 35;
  profile.cascades = 36;
  profile.stars = 37;
  profile.parStars = 38;
  profile.constellations = 39;
  profile.panicStars = 40;
  profile.rainbows = 41;
  profile.achieved[0] = 1;
  profile.achieved[27] = 1;
  profile.bestScore[0] = 42;
  profile.bestScore[1] = 43;
  profile.gemsCleared = 44;
  for (int i = 0; i < kGemColourCount; ++i) profile.gemsByColour[i] = 45 + i;
  for (int i = 0; i < kGemTypeCount; ++i) profile.gemsByType[i] = 55 + i;
  for (int i = 0; i < kGemTypeCount; ++i) profile.typeMatches[i] = 60 + i;
  profile.rainbow.colour = kGemGreen;
  profile.rainbow.type = kGemStar;
  profile.rainbow.state = GemState::Settled;
}

void FillDefaultHighScores(HighScoreRows& rows) {
  for (int mode = 0; mode < kHighScoreTables; ++mode) {
    for (HighScoreEntry& row : rows[mode]) {
      row.name = mode == 0 ? "Doh" : "Dur";
      row.score = 0;
      row.stars = 0;
    }
  }
}

std::vector<std::string> GemLines() { return LogLinesOf(kLogGEM); }

void ClearGemLines() { ClearLogLines(kLogGEM); }

std::vector<std::string> TerminalLines() { return LogLinesOf(kLogDBG); }

void ClearTerminalLines() { ClearLogLines(kLogDBG); }

bool TerminalSays(std::initializer_list<std::string> texts) {
  for (const std::string& line : TerminalLines()) {
    bool all = true;
    for (const std::string& text : texts) all = all && line.find(text) != std::string::npos;
    if (all) return true;
  }
  return false;
}

const std::vector<UnreadableShape>& UnreadableShapes() {
  static const std::vector<UnreadableShape> shapes = {
      {"a folder", "Is a directory"},
      {"a FIFO", "not a regular file"},
      {"a link that leads to itself", "Too many levels of symbolic links"},
  };
  return shapes;
}

void MakeUnreadable(const std::string& path, const UnreadableShape& shape) {
  platform::MakeParentFolders(path);
  const std::string what = shape.what;
  bool made = false;
  if (what == "a folder") made = platform::MakeFolder(path);
  if (what == "a FIFO") made = mkfifo(path.c_str(), 0644) == 0;
  if (what == "a link that leads to itself") made = symlink(path.c_str(), path.c_str()) == 0;
  if (!made) std::perror(path.c_str());
}

std::string KindAt(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return "nothing";
  if (S_ISDIR(info.st_mode)) return "folder";
  if (S_ISFIFO(info.st_mode)) return "fifo";
  if (S_ISLNK(info.st_mode)) return "link";
  return "file";
}

}  // namespace shell_test
