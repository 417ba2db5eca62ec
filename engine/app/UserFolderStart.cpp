#include "engine/app/UserFolderStart.h"

#include <string>

#include "engine/runtime/settings/Settings.h"
#include "platform/AtomicFile.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolder.h"

namespace {

// Said on the terminal and in a box, since the run ends at once: the log
// is never started.
int Refuse(const char* title, const std::string& text) {
  platform::DebugOutput((text + "\n").c_str(), platform::Severity::Error);
  platform::ShowMessageBox(title, text, platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Error);
  return 1;
}

void RemoveStaleTemporaries(const std::string& folder, const char* title) {
  // Every folder the player's saves write to: the settings, the high
  // scores and the store in the folder itself, the profiles, the layout.
  for (const char* files : {"/*", "/Profiles/*", "/Vyre/*"}) platform::RemoveStaleTemporaries(folder + files);
  const std::string store = platform::RegistryFileFor(std::string(CSettings::kRegistryRoot) + title);
  if (!store.empty()) platform::RemoveStaleTemporaries(store);
}

}  // namespace

int TakeUserFolder(const char* title, platform::UserFolderLock& lock) {
  const std::string folder = platform::UserFolder();
  if (folder.empty()) {
    return Refuse(title, std::string(title) +
                             " has no folder for the player's files: HOME is not set and the account has no home "
                             "folder. Set HOME or VYRE_USER_DIR.");
  }
  std::string reason;
  switch (lock.Acquire(folder, reason)) {
    case platform::UserFolderLock::Outcome::Busy:
      return Refuse(title, std::string(title) + " is already running with the user folder " + folder + ".");
    case platform::UserFolderLock::Outcome::Failed: {
      // Another copy may hold the player's files all the same: this run
      // plays on and saves none of them, and says so here, once.
      platform::KeepOutOfUserFolder();
      const std::string text =
          "The user folder " + folder + " cannot be locked (" + reason + "); nothing will be saved this run.";
      platform::DebugOutput((text + "\n").c_str(), platform::Severity::Warning);
      platform::ShowMessageBox(title, text, platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Exclamation);
      return 0;
    }
    case platform::UserFolderLock::Outcome::Held:
      break;
  }
  RemoveStaleTemporaries(folder, title);
  return 0;
}
