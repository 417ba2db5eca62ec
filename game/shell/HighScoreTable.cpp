#include "game/shell/HighScoreTable.h"

#include <cstring>
#include <string>
#include <utility>

#include "engine/foundation/Log.h"
#include "game/puzzle/GameProfile.h"
#include "game/shell/PackedBytes.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/UserFolder.h"

namespace {

constexpr int kRecords = kHighScoreTables * kHighScoresPerTable;
// A record: the longest name, its end byte and the two numbers.
constexpr size_t kMaxRecordBytes = HighScoreTable::kMaxNameBytes + 1 + 8;

bool IsValidMode(int32_t mode) { return mode >= 0 && mode < kHighScoreTables; }

// Where a name read at pos ends: the index of its zero byte or line feed,
// or of the end of the data when it runs out first. npos when it runs on
// past the longest name allowed.
size_t FindNameEnd(const uint8_t* bytes, size_t size, size_t pos) {
  for (size_t i = pos; i < size; ++i) {
    if (bytes[i] == '\0' || bytes[i] == '\n') return i;
    if (i - pos == HighScoreTable::kMaxNameBytes) return std::string::npos;
  }
  return size;
}

// Names are text: no control byte (the line feed and zero byte end them).
bool IsNameText(const uint8_t* name, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (name[i] < 0x20 || name[i] == 0x7F) return false;
  }
  return true;
}

// Why a record cannot have been written by the game, or null.
const char* RecordFault(const uint8_t* name, size_t nameLength, uint32_t score, uint32_t stars) {
  if (!IsNameText(name, nameLength)) return "its name is not text";
  if (score > HighScoreTable::kMaxScore) return "its score is more than a game can reach";
  if (stars > HighScoreTable::kMaxStars) return "its star count is more than a game can reach";
  return nullptr;
}

// Reads the records into rows as far as the bytes go. False, with the
// faulty record and why, when one is damaged (rows then half filled).
bool ParseRecords(const std::string& path, const uint8_t* bytes, size_t size, HighScoreRows& rows, int& outRecord,
                  const char*& outFault) {
  size_t pos = 0;
  for (int record = 0; record < kRecords; ++record) {
    outRecord = record;
    // Record 2r + m is rank r of mode m.
    HighScoreEntry& entry = rows[record % kHighScoreTables][record / kHighScoreTables];
    if (pos == size) {
      LogGEM("High-score file %s is cut short : it holds %d of %d records", path.c_str(), record, kRecords);
      return true;
    }
    const size_t nameEnd = FindNameEnd(bytes, size, pos);
    if (nameEnd == std::string::npos) {
      outFault = "its name is longer than a profile name";
      return false;
    }
    const size_t nameLength = nameEnd - pos;
    uint32_t numbers[2] = {0, 0};
    const size_t numbersAt = nameEnd < size ? nameEnd + 1 : size;
    const bool whole = size - numbersAt >= sizeof numbers;
    for (size_t i = 0; i < 2 && size - numbersAt >= 4 * (i + 1); ++i)
      numbers[i] = packed::DecodeU32(bytes + numbersAt + 4 * i);
    outFault = RecordFault(bytes + pos, nameLength, numbers[0], numbers[1]);
    if (outFault != nullptr) return false;
    entry.name.AssignCharsLimited(reinterpret_cast<const char*>(bytes + pos), static_cast<uint32_t>(nameLength));
    entry.score = numbers[0];
    entry.stars = numbers[1];
    if (!whole || nameEnd == size) {
      LogGEM("High-score file %s is cut short in record %d", path.c_str(), record);
      return true;
    }
    pos = numbersAt + sizeof numbers;
  }
  return true;
}

void CopyRows(const HighScoreRows& from, HighScoreRows& to) {
  for (int mode = 0; mode < kHighScoreTables; ++mode) {
    for (int rank = 0; rank < kHighScoresPerTable; ++rank) to[mode][rank] = from[mode][rank];
  }
}

}  // namespace

HighScoreTable::FileState HighScoreTable::Load(HighScoreRows& rows) {
  const std::string path = platform::UserReadPath(kFileName);
  std::string contents;
  std::string reason;
  // The longest file worth reading; anything beyond the twenty records is ignored.
  switch (platform::ReadFileBytes(path, kRecords * kMaxRecordBytes, contents, reason)) {
    case platform::FileRead::Missing:
      return FileState::Missing;
    case platform::FileRead::Unreadable:
      LogWarning("Cannot read high-score file %s : %s; it is kept as it is and not saved over", path.c_str(),
                 reason.c_str());
      return FileState::Kept;
    case platform::FileRead::Read:
      break;
  }
  HighScoreRows parsed;
  CopyRows(rows, parsed);
  int record = 0;
  const char* fault = nullptr;
  if (ParseRecords(path, reinterpret_cast<const uint8_t*>(contents.data()), contents.size(), parsed, record, fault)) {
    CopyRows(parsed, rows);
    return FileState::Read;
  }
  // Shown and saved back, a damaged record would stand in the table for good.
  const std::string aside = platform::MoveAside(path, kDamagedSuffix, reason);
  if (aside.empty()) {
    LogWarning(
        "High-score file %s is damaged (record %d : %s) and cannot be moved aside : %s; it is kept as it is "
        "and not saved over",
        path.c_str(), record, fault, reason.c_str());
    return FileState::Kept;
  }
  LogWarning("High-score file %s is damaged (record %d : %s); moved aside to %s, the tables start afresh", path.c_str(),
             record, fault, aside.c_str());
  return FileState::Missing;
}

bool HighScoreTable::Save(const HighScoreRows& rows) {
  std::string bytes;
  for (int record = 0; record < kRecords; ++record) {
    const HighScoreEntry& entry = rows[record % kHighScoreTables][record / kHighScoreTables];
    const uint32_t length = entry.name.Length();
    packed::AppendTerminated(bytes, entry.name.Chars(), length < kMaxNameBytes ? length : kMaxNameBytes);
    packed::AppendU32(bytes, entry.score);
    packed::AppendU32(bytes, entry.stars);
  }
  const std::string path = platform::UserWritePath(kFileName);
  std::string reason;
  if (!platform::ReplaceFileAtomically(path, bytes, &reason)) {
    LogSaveFailure("Failed to save the high scores to %s : %s", path.empty() ? kFileName : path.c_str(),
                   reason.c_str());
    return false;
  }
  return true;
}

void HighScoreTable::Insert(HighScoreRows& rows, int32_t mode) {
  if (!IsValidMode(mode)) return;
  HighScoreEntry* table = rows[mode];
  // Starts over after every swap; equal scores never swap, so the row that
  // was higher stays higher.
  for (int rank = 0; rank + 1 < kHighScoresPerTable;) {
    if (table[rank].score < table[rank + 1].score) {
      std::swap(table[rank].name, table[rank + 1].name);
      std::swap(table[rank].score, table[rank + 1].score);
      std::swap(table[rank].stars, table[rank + 1].stars);
      rank = 0;
    } else {
      ++rank;
    }
  }
}

HighScoreOutcome HighScoreTable::AddAndSave(HighScoreRows& rows, int32_t mode, uint32_t score, uint32_t stars,
                                            FileState file) {
  const GameProfile* profile = GetCurrentProfile();
  if (profile == nullptr || !IsValidMode(mode)) return HighScoreOutcome::NotEntered;
  // What the row holds is what the file may hold, so the next load takes it.
  if (score > kMaxScore) score = kMaxScore;
  if (stars > kMaxStars) stars = kMaxStars;
  Insert(rows, mode);
  HighScoreEntry& lowest = rows[mode][kHighScoresPerTable - 1];
  if (score < lowest.score) return HighScoreOutcome::NotEntered;
  // A result equal to the lowest replaces it and stays below the equal rows.
  lowest.name = profile->name;
  lowest.score = score;
  lowest.stars = stars;
  Insert(rows, mode);
  if (file == FileState::Kept) {
    LogSaveFailure("The high scores are not saved : %s could not be read at the start and is kept as it is",
                   platform::UserReadPath(kFileName).c_str());
    return HighScoreOutcome::NotSaved;
  }
  return Save(rows) ? HighScoreOutcome::Saved : HighScoreOutcome::NotSaved;
}
