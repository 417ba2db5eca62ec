#include "game/puzzle/ChallengeText.h"

#include <cstring>

#include "engine/foundation/File.h"

bool ReadChallengeLine(File& file, char (&buffer)[kChallengeLineCapacity]) {
  const size_t stored = file.ReadChars(buffer, kChallengeLineCapacity);
  if (stored == 0) return false;
  if (buffer[stored - 1] != '\n' && stored + 1 == kChallengeLineCapacity) {
    char rest[kChallengeLineCapacity];
    size_t more = 0;
    while ((more = file.ReadChars(rest, sizeof rest)) > 0 && rest[more - 1] != '\n') {
    }
  }
  return true;
}

bool HasKey(const char* line, const char* key) { return std::strstr(line, key) != nullptr; }

String TrimmedName(const char* scanned) {
  String name(scanned);
  name.TrimRight();
  return name;
}
