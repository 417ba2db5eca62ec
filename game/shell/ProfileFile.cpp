// The profile file, packed little-endian with no padding (n = name length):
//   "0.5" and a zero byte; the name and a zero byte; per mode ten values of
//   its record (discsCompleted is not stored); bestLevel[2]; excellence,
//   skillful and masterful cascades; cascades, stars, parStars,
//   constellations, panicStars, rainbows; achieved[28] as bytes;
//   bestScore[2]; gemsCleared; gemsByColour[10]; gemsByType[5];
//   typeMatches[5]; the rainbow run (next colour, run type, started).
// The whole file is n + 261 bytes.

#include <cmath>
#include <cstring>
#include <string>

#include "engine/foundation/Log.h"
#include "game/shell/PackedBytes.h"
#include "game/shell/Profile.h"
#include "game/shell/ProfileName.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Random.h"
#include "platform/UserFolder.h"

namespace {

constexpr char kVersionTag[4] = {'0', '.', '5', '\0'};
// Everything after the name and its zero byte.
constexpr size_t kFieldBytes = 256;
// The longest file worth reading: the tag, the longest name with its zero
// byte and the fields. Anything beyond is never looked at.
constexpr size_t kMaxFileBytes = sizeof kVersionTag + kMaxStoredProfileName + 1 + kFieldBytes;

// The rainbow run's colour once all seven colours are matched.
constexpr int kRainbowComplete = 7;

// Reads the fields after the name the way the file has always been read: a
// mode's ten values one by one, every other row of 8 bytes or more as one
// block. While the file is open a single value past its end reads 0; the
// first block that cannot be read whole closes it, and from then on every
// read leaves its field as it was.
class FieldReader {
 public:
  FieldReader(const uint8_t* bytes, size_t size, size_t start) : bytes_(bytes), size_(size), pos_(start) {}

  void Single(uint32_t& value) {
    if (closed_) return;
    if (size_ - pos_ < 4) {
      pos_ = size_;
      cut_ = true;
      value = 0;
      return;
    }
    value = packed::DecodeU32(bytes_ + pos_);
    pos_ += 4;
  }
  void Single(int32_t& value) {
    uint32_t bits = static_cast<uint32_t>(value);
    Single(bits);
    value = static_cast<int32_t>(bits);
  }
  void Single(float& value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Single(bits);
    std::memcpy(&value, &bits, sizeof bits);
  }

  // A row of several bytes as one item: the start of its bytes when whole,
  // else null (the file is closed).
  const uint8_t* Block(size_t rowBytes) {
    if (closed_) return nullptr;
    if (size_ - pos_ < rowBytes) {
      pos_ = size_;
      cut_ = true;
      closed_ = true;
      return nullptr;
    }
    const uint8_t* row = bytes_ + pos_;
    pos_ += rowBytes;
    return row;
  }
  // A row of 32-bit values.
  void Values(uint32_t* values, size_t count) {
    const uint8_t* row = Block(count * 4);
    if (row == nullptr) return;
    for (size_t i = 0; i < count; ++i) values[i] = packed::DecodeU32(row + 4 * i);
  }
  // A row of single 32-bit fields (the counters that lie side by side).
  template <class... Fields>
  void Row(Fields&... fields) {
    uint32_t values[sizeof...(Fields)];
    const uint8_t* row = Block(sizeof values);
    if (row == nullptr) return;
    size_t i = 0;
    ((fields = static_cast<Fields>(packed::DecodeU32(row + 4 * i++))), ...);
  }

  bool Cut() const { return cut_; }

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t pos_;
  bool closed_ = false;
  bool cut_ = false;
};

void ReadModeStats(FieldReader& reader, ModeStats& stats) {
  reader.Single(stats.score);
  reader.Single(stats.pendingScore);
  reader.Single(stats.discIndex);
  reader.Single(stats.parCompletions);
  reader.Single(stats.totalStars);
  reader.Single(stats.constellationIndex);
  reader.Single(stats.constellationCount);
  reader.Single(stats.level);
  reader.Single(stats.gemsToNextLevel);
  reader.Single(stats.timePlayed);
  // Play time is shown as hours, minutes and seconds: a garbage value that
  // is no time at all reads as none.
  if (!std::isfinite(stats.timePlayed) || stats.timePlayed < 0.0f) stats.timePlayed = 0.0f;
}

void WriteModeStats(std::string& out, const ModeStats& stats) {
  packed::AppendU32(out, stats.score);
  packed::AppendU32(out, stats.pendingScore);
  packed::AppendU32(out, stats.discIndex);
  packed::AppendU32(out, stats.parCompletions);
  packed::AppendU32(out, stats.totalStars);
  packed::AppendU32(out, stats.constellationIndex);
  packed::AppendU32(out, stats.constellationCount);
  packed::AppendU32(out, stats.level);
  packed::AppendI32(out, stats.gemsToNextLevel);
  packed::AppendFloat(out, stats.timePlayed);
}

void AppendValues(std::string& out, const uint32_t* values, size_t count) {
  for (size_t i = 0; i < count; ++i) packed::AppendU32(out, values[i]);
}

// True when the rainbow record read from a file is one the game can use.
bool IsPlausibleRainbow(int32_t nextColour, int32_t runType, int32_t runStarted) {
  return nextColour >= 0 && nextColour <= kRainbowComplete && runType >= 0 && runType < kGemTypeCount &&
         (runStarted == 0 || runStarted == 1);
}

}  // namespace

bool Profile::Save() {
  if (!IsSafeProfileName(name.Chars())) {
    LogGEM("Failed to save profile '%s' : not a safe file name", name.Chars());
    saveFailure = "not a safe file name";
    return false;
  }
  std::string bytes(kVersionTag, sizeof kVersionTag);
  packed::AppendTerminated(bytes, name.Chars(), name.Length());
  WriteModeStats(bytes, modes[kModeChallenge]);
  WriteModeStats(bytes, modes[kModePanic]);
  AppendValues(bytes, bestLevel, kModeCount);
  for (uint32_t counter : {excellence, skillfulCascades, masterfulCascades, cascades, stars, parStars, constellations,
                           panicStars, rainbows}) {
    packed::AppendU32(bytes, counter);
  }
  for (uint8_t flag : achieved) bytes.push_back(static_cast<char>(flag));
  AppendValues(bytes, bestScore, kModeCount);
  packed::AppendU32(bytes, gemsCleared);
  AppendValues(bytes, gemsByColour, kGemColourCount);
  AppendValues(bytes, gemsByType, kGemTypeCount);
  AppendValues(bytes, typeMatches, kGemTypeCount);
  packed::AppendI32(bytes, rainbow.colour);
  packed::AppendI32(bytes, rainbow.type);
  packed::AppendI32(bytes, static_cast<int32_t>(rainbow.state));

  const std::string path = platform::UserWritePath(ProfileRelativePath(name.Chars()));
  std::string reason;
  if (!platform::ReplaceFileAtomically(path, bytes, &reason)) {
    LogGEM("Failed to write profile file %s : %s", path.c_str(), reason.c_str());
    saveFailure = (path + " : " + reason).c_str();
    return false;
  }
  saveFailure = "";
  return true;
}

bool Profile::Load(const String& profileName) {
  String wanted = profileName;
  wanted.ToLower();
  if (!IsSafeProfileName(wanted.Chars())) {
    LogGEM("Cannot load profile '%s' : not a safe file name", wanted.Chars());
    return false;
  }
  const std::string path = platform::UserReadPath(ProfileRelativePath(wanted.Chars()));
  std::string contents;
  std::string reason;
  switch (platform::ReadFileBytes(path, kMaxFileBytes, contents, reason)) {
    case platform::FileRead::Missing:
      return false;
    case platform::FileRead::Unreadable:
      LogWarning("Cannot read profile file %s : %s", path.c_str(), reason.c_str());
      return false;
    case platform::FileRead::Read:
      break;
  }
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(contents.data());
  const size_t size = contents.size();

  if (size < sizeof kVersionTag || std::memcmp(bytes, kVersionTag, sizeof kVersionTag) != 0) {
    LogWarning("Profile file %s refused : no version tag \"0.5\"", path.c_str());
    return false;
  }
  const uint8_t* nameStart = bytes + sizeof kVersionTag;
  const size_t nameRoom = size - sizeof kVersionTag;
  const size_t nameSearch = nameRoom < kMaxStoredProfileName + 1 ? nameRoom : kMaxStoredProfileName + 1;
  const void* zero = std::memchr(nameStart, '\0', nameSearch);
  if (zero == nullptr && nameRoom > kMaxStoredProfileName) {
    LogWarning("Profile file %s refused : stored name longer than %zu bytes", path.c_str(), kMaxStoredProfileName);
    return false;
  }

  // From here on the file is taken; whatever it does not hold keeps its value.
  const size_t nameLength = zero != nullptr ? static_cast<const uint8_t*>(zero) - nameStart : nameRoom;
  String stored;
  stored.AssignCharsLimited(reinterpret_cast<const char*>(nameStart), static_cast<uint32_t>(nameLength));
  stored.ToLower();
  if (zero != nullptr && IsSafeProfileName(stored.Chars())) {
    name = stored;
  } else {
    // The stored name would build a path elsewhere (or is cut): the name the
    // profile was loaded by names its file.
    if (zero != nullptr) {
      LogGEM("Profile file %s : stored name is not a safe file name, using '%s'", path.c_str(), wanted.Chars());
    }
    name = wanted;
  }

  FieldReader reader(bytes, size, sizeof kVersionTag + nameLength + (zero != nullptr ? 1 : 0));
  ReadModeStats(reader, modes[kModeChallenge]);
  ReadModeStats(reader, modes[kModePanic]);
  reader.Values(bestLevel, kModeCount);
  reader.Row(excellence, skillfulCascades, masterfulCascades);
  reader.Row(cascades, stars, parStars, constellations, panicStars, rainbows);
  if (const uint8_t* flags = reader.Block(kAchievementCount)) {
    for (int i = 0; i < kAchievementCount; ++i) achieved[i] = flags[i] != 0 ? 1 : 0;
  }
  reader.Values(bestScore, kModeCount);
  reader.Single(gemsCleared);
  reader.Values(gemsByColour, kGemColourCount);
  reader.Values(gemsByType, kGemTypeCount);
  reader.Values(typeMatches, kGemTypeCount);
  int32_t run[3] = {rainbow.colour, rainbow.type, static_cast<int32_t>(rainbow.state)};
  reader.Values(reinterpret_cast<uint32_t*>(run), 3);
  if (IsPlausibleRainbow(run[0], run[1], run[2])) {
    rainbow.colour = run[0];
    rainbow.type = run[1];
    rainbow.state = static_cast<GemState>(run[2]);
  } else {
    LogGEM("Profile file %s : rainbow run out of range, started afresh", path.c_str());
    rainbow = CGPuzzleGem();
  }
  if (reader.Cut()) LogGEM("Profile file %s is cut short : it ends at byte %zu", path.c_str(), size);

  if (rainbow.colour == kRainbowComplete) {
    const float rate = 5.0f + 10.0f * static_cast<float>(platform::NextRandom()) / platform::kRandomMax;
    rainbow.timer = rate;
    rainbow.timerStart = rate;
  }
  return true;
}
