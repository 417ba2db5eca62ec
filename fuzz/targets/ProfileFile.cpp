// Profile files in the user folder's "Profiles".
#include <filesystem>

#include "fuzz/FuzzTarget.h"
#include "game/shell/Profile.h"

FUZZ_TARGET(ProfileFile) {
  static const bool kFolderMade = [] {
    std::filesystem::create_directories(fuzz::ScratchFolder() + "/Profiles");
    return true;
  }();
  (void)kFolderMade;
  // The user folder holds no profile, so the working directory's is read.
  fuzz::ScratchFile("Profiles/fuzz.profile", data, size);
  Profile profile;
  if (profile.Load(String("fuzz"))) {
    // What loaded must drive the rules without harm.
    profile.UpdateScore();
    profile.HasNeverPlayed();
  }
}
