#include "game/shell/Profile.h"

#include <string>

#include "engine/foundation/Log.h"
#include "game/shell/ProfileName.h"
#include "platform/FileSystem.h"
#include "platform/UserFolder.h"

void Profile::SetName(const char* newName) {
  name = newName;
  name.ToLower();
}

void Profile::SetMode(int32_t newMode) {
  mode = newMode;
  if (newMode == kModePanic) modes[kModePanic] = ModeStats{};
}

bool Profile::HasNeverPlayed() const {
  return modes[kModeChallenge].timePlayed == 0.0f && modes[kModePanic].timePlayed == 0.0f;
}

bool Profile::HasPlayedChallenge() const { return modes[kModeChallenge].timePlayed != 0.0f; }

void Profile::UpdateScore() {
  GameProfile::UpdateScore();
  // Compared after the points have moved, so the best score never shows less
  // than a score the player reached.
  if (Current().score > BestScore()) BestScore() = Current().score;
  CheckAchievements();
}

bool Profile::Delete() {
  if (!IsSafeProfileName(name.Chars())) {
    LogGEM("Cannot delete profile '%s' : not a safe file name", name.Chars());
    return false;
  }
  return platform::RemoveFile(platform::UserFolder() + "/" + ProfileRelativePath(name.Chars()));
}

bool Profile::Exists(const String& profileName) {
  String wanted = profileName;
  wanted.ToLower();
  if (!IsSafeProfileName(wanted.Chars())) return false;
  // Opening is enough to tell; a file that cannot be opened is there all the
  // same and must never be taken for a free name.
  std::string bytes;
  std::string reason;
  return platform::ReadFileBytes(platform::UserReadPath(ProfileRelativePath(wanted.Chars())), 0, bytes, reason) !=
         platform::FileRead::Missing;
}

std::unique_ptr<Profile> LoadProfileNamed(const String& profileName) {
  GameProfile* previous = GetCurrentProfile();
  auto profile = std::make_unique<Profile>();
  if (profile->Load(profileName)) return profile;
  profile.reset();
  SetCurrentProfile(previous);
  return nullptr;
}

std::unique_ptr<Profile> CreateProfileNamed(const String& profileName) {
  GameProfile* previous = GetCurrentProfile();
  auto profile = std::make_unique<Profile>();
  profile->SetName(profileName.Chars());
  if (profile->SaveReported()) return profile;
  profile.reset();
  SetCurrentProfile(previous);
  return nullptr;
}
