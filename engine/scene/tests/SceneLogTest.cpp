#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/scene/SceneLog.h"
#include "support/LogCaptureSupport.h"

// Each channel's observer sees its own lines only, formatted as written.
TEST(SceneLog, ObserversSeeOnlyTheirOwnChannel) {
    LogCapture models;
    AnimLogCapture animations;
    Log3ME("Loaded skeleton %s", "ARM.TXT");
    LogANM("[ANM] %d to process...", 2);
    EXPECT_EQ(models.lines(), std::vector<std::string>{"Loaded skeleton ARM.TXT"});
    EXPECT_EQ(animations.lines(), std::vector<std::string>{"[ANM] 2 to process..."});
}

// A capture that ends gives the channel back to the observer it replaced.
TEST(SceneLog, NestedCapturesRestoreTheOuterObserver) {
    LogCapture outer;
    {
        AnimLogCapture inner;
        LogANM("[ANM] inner");
    }
    Log3ME("after");
    EXPECT_TRUE(outer.Has("after"));
    EXPECT_EQ(SetSceneLogObserver(kLogANM, nullptr), nullptr);
}

// Lines are cut to the log's buffer rather than overrunning it.
TEST(SceneLog, LongLinesAreCutToTheBuffer) {
    LogCapture log;
    Log3ME("%s", std::string(4000, 'x').c_str());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], std::string(1023, 'x'));
}
