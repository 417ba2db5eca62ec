#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/scene/core/SceneLog.h"

namespace {

// What the observers of the two scene channels were handed.
std::vector<std::string> gModelLines;
std::vector<std::string> gAnimationLines;
void ObserveModels(const char* line) { gModelLines.emplace_back(line); }
void ObserveAnimations(const char* line) { gAnimationLines.emplace_back(line); }

// Installs an observer for a channel while alive and puts the one it
// replaced back at its end.
class Observing {
 public:
  Observing(int channel, SceneLogObserver observer)
      : channel_(channel), previous_(SetSceneLogObserver(channel, observer)) {
    gModelLines.clear();
    gAnimationLines.clear();
  }
  ~Observing() { SetSceneLogObserver(channel_, previous_); }
  Observing(const Observing&) = delete;
  Observing& operator=(const Observing&) = delete;

 private:
  int channel_;
  SceneLogObserver previous_;
};

// Each channel's observer sees its own lines only, formatted as written.
TEST(SceneLog, ObserversSeeOnlyTheirOwnChannel) {
  Observing models(kLog3ME, &ObserveModels);
  Observing animations(kLogANM, &ObserveAnimations);
  Log3ME("Loaded skeleton %s", "ARM.TXT");
  LogANM("[ANM] %d to process...", 2);
  EXPECT_EQ(gModelLines, std::vector<std::string>{"Loaded skeleton ARM.TXT"});
  EXPECT_EQ(gAnimationLines, std::vector<std::string>{"[ANM] 2 to process..."});
}

// An observer that ends gives the channel back to the observer it replaced.
TEST(SceneLog, NestedCapturesRestoreTheOuterObserver) {
  Observing outer(kLog3ME, &ObserveModels);
  {
    Observing inner(kLogANM, &ObserveAnimations);
    LogANM("[ANM] inner");
  }
  Log3ME("after");
  EXPECT_EQ(gModelLines, std::vector<std::string>{"after"});
  EXPECT_EQ(SetSceneLogObserver(kLogANM, nullptr), nullptr);
}

// Lines are cut to the log's buffer rather than overrunning it.
TEST(SceneLog, LongLinesAreCutToTheBuffer) {
  Observing models(kLog3ME, &ObserveModels);
  Log3ME("%s", std::string(4000, 'x').c_str());
  ASSERT_EQ(gModelLines.size(), 1u);
  EXPECT_EQ(gModelLines[0], std::string(1023, 'x'));
}

}  // namespace
