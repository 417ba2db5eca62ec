#pragma once
// Runs a check in a forked child, under another account when asked, and
// hands back what it reports: for what a test cannot undo in its own process
// (an account switch, a run that keeps out of its user folder). Permission
// bits stop an ordinary account, never root, whom the tests run as.

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace platform {

// An ordinary account with no rights of its own ("nobody").
inline constexpr uid_t kOrdinaryAccount = 65534;

// Forks; the child takes the account (group and user) when one is given,
// runs the check and sends back its text, empty when all was well. Returns
// that text, followed by a line when the child could not switch or did not
// end by itself.
inline std::string ReportFromChild(const std::function<std::string()>& check, const uid_t* account = nullptr) {
  int channel[2];
  if (pipe(channel) != 0) return "no pipe for the child";
  const pid_t child = fork();
  if (child < 0) return "no child";
  if (child == 0) {
    close(channel[0]);
    std::string report;
    if (account != nullptr && (setgid(*account) != 0 || setuid(*account) != 0)) {
      report = "the child cannot take the account\n";
    } else {
      report = check();
    }
    for (size_t done = 0; done < report.size();) {
      const ssize_t written = write(channel[1], report.data() + done, report.size() - done);
      if (written <= 0) break;
      done += static_cast<size_t>(written);
    }
    _exit(0);
  }
  close(channel[1]);
  std::string report;
  char buffer[512];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
    report.append(buffer, static_cast<size_t>(got));
  close(channel[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    report += "the child did not end by itself\n";
  return report;
}

}  // namespace platform
