#include "engine/app/tests/support/UntakeableRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "engine/app/UserFolderStart.h"
#include "platform/TempFolder.h"
#include "platform/UserFolderLock.h"
#include "platform/tests/support/SharedFileSystem.h"
#include "platform/tests/support/UntakeableUserFolders.h"

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace

void PlayInEveryUntakeableFolder(const std::string& scratch, const std::function<std::string()>& play) {
  platform::ScopedTempFolder outside{"vyre-untakeable-terminal"};
  const std::string terminal = outside / "terminal.txt";
  for (const platform::UntakeableUserFolder& shape : platform::MakeUntakeableUserFolders(scratch)) {
    SCOPED_TRACE(shape.what);
    const std::string before = platform::TreeSnapshot(scratch);
    const int terminalFd = open(terminal.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(terminalFd, 0);
    const std::string report = platform::ReportFromChild(
        [&] {
          if (dup2(terminalFd, STDERR_FILENO) < 0) return std::string("no terminal");
          setenv("VYRE_USER_DIR", shape.folder.c_str(), 1);
          setenv("VYRE_REGISTRY", platform::UntakeableStore(scratch).c_str(), 1);
          setenv("VYRE_MESSAGEBOX", "ok", 1);
          std::optional<platform::AsIfOnASharedFileSystem> network;
          if (shape.shared) network.emplace();
          platform::UserFolderLock lock;
          if (TakeUserFolder("Novaliths", lock) != 0) return std::string("the run ended");
          return play();
        },
        shape.account);
    close(terminalFd);
    EXPECT_EQ(report, "");
    const std::string line =
        "The user folder " + shape.folder + " cannot be locked (" + shape.reason + "); nothing will be saved this run.";
    EXPECT_EQ(ReadWhole(terminal), line + "\n[MessageBox] Novaliths : " + line + " -> OK\n");
    EXPECT_EQ(platform::TreeSnapshot(scratch), before);
  }
}
