#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/scene/anim/KeyFrames.h"
#include "engine/scene/anim/Skeleton.h"
#include "platform/TempFolder.h"
#include "support/AnimTestSupport.h"
#include "support/SceneTestSupport.h"

namespace {

class KeyFramesFile : public ::testing::Test {
 protected:
  std::string Write(const std::string& text, const std::string& name = "walk.txt") {
    const std::string path = folder_ / name;
    WriteFile(path, text);
    return path;
  }
  // Root and Arm; the set of five frames (0..4) bound to them at rate 10.
  void LoadBound(C3MEKeyFrames& set, bool looping = false, int frames = 5) {
    ASSERT_TRUE(set.Read(String(Write(KeysText(frames, {"Root", "Arm"})).c_str())));
    set.BindSkeleton(&skeleton_);
    set.SetRate(10.0f, looping);
  }
  void SetUp() override {
    ASSERT_TRUE(skeleton_.SetChildCount(1));
    skeleton_.name = "Root";
    skeleton_.children[0].name = "Arm";
  }
  platform::ScopedTempFolder folder_{"scene-keys"};
  LogCapture log_{kLog3ME};
  C3MEBone skeleton_;
};

TEST_F(KeyFramesFile, ReadsFramesByIndexAndBindsByName) {
  // Frames listed out of order land at their own index.
  const std::string text =
      "[KEYS]\n[NFRAMES]2f\n"
      "[FRAME]1 [@]0.1f [KEYS]2\n[BONE] Root [P] [5,6,7] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[BONE] Ghost [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[FRAME]0 [@]0f [KEYS]2\n[BONE] Root [P] [1,2,3] [R] (quat 0 1 0 0) [S] [3,3,3]\n"
      "[BONE] Ghost [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[END]\n";
  const std::string path = Write(text, "order.txt");
  C3MEKeyFrames set;
  ASSERT_TRUE(set.Read(String(path.c_str())));
  EXPECT_EQ(set.loadState, C3MEKeyFrames::kLoaded);
  EXPECT_EQ(set.name, path.c_str());
  EXPECT_TRUE(log_.Contains("Loaded animation " + UpperName(path)));
  ASSERT_EQ(set.frameCount, 2u);
  EXPECT_EQ(set.lastFrame, 1u);
  EXPECT_EQ(set.frames[0].keys[0].transform.GetPosition(), Vector3(1, 2, 3));
  EXPECT_EQ(set.frames[1].keys[0].transform.GetPosition(), Vector3(5, 6, 7));
  EXPECT_FLOAT_EQ(set.frames[0].keys[0].transform.GetRotation().y, 1.0f);
  EXPECT_EQ(set.frames[0].keys[0].transform.scale, Vector3(1, 1, 1));

  set.BindSkeleton(&skeleton_);
  EXPECT_EQ(set.frames[0].keys[0].bone, &skeleton_);
  EXPECT_EQ(set.frames[1].keys[1].bone, nullptr);
}

TEST_F(KeyFramesFile, ReadFailuresSetTheFailedState) {
  struct Case {
    std::string text;
    std::string fileName;
    std::string errorLine;  // empty: only the FAILED line
  };
  const std::string good = KeysText(2, {"Root"});
  const Case cases[] = {
      {good, "walk.key", ""},
      {good, "walk.anm", ""},
      {"[KEY]\n[NFRAMES]0f\n[END]\n", "header.txt", ""},
      {"[KEYS]\n[NFRAMES]0f\n", "noend.txt", ""},
      {"[KEYS]\n[NFRAMES]1f\n[FRAME]1 [@]0f [KEYS]0\n[END]\n", "index.txt", "frame index out of range"},
      {"[KEYS]\n[NFRAMES]1f\n[FRAME]-3 [@]0f [KEYS]0\n[END]\n", "negindex.txt", "frame index out of range"},
      {"[KEYS]\n[NFRAMES]-1f\n[END]\n", "negcount.txt", "bad frame count"},
      {"[KEYS]\n[NFRAMES]2000000000f\n[END]\n", "hugecount.txt", "bad frame count"},
      {"[KEYS]\n[NFRAMES]1f\n[FRAME]0 [@]0f [KEYS]2000000\n[END]\n", "hugekeys.txt", "bad key count"},
      {"[KEYS]\n[NFRAMES]2f\n[FRAME]0 [@]0f [KEYS]1\n[BONE] A [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n[FRAME]1 "
       "[@]0f [KEYS]0\n[END]\n",
       "mixed.txt", "frames hold different key counts"},
  };
  for (const Case& c : cases) {
    const std::string path = Write(c.text, c.fileName);
    C3MEKeyFrames set;
    EXPECT_FALSE(set.Read(String(path.c_str()))) << c.fileName;
    EXPECT_EQ(set.loadState, C3MEKeyFrames::kLoadFailed) << c.fileName;
    if (!c.errorLine.empty()) {
      EXPECT_TRUE(log_.Contains(c.errorLine)) << c.fileName;
    }
    EXPECT_EQ(log_.Lines().back().rfind("FAILED animation ", 0), 0u) << c.fileName;
  }
  C3MEKeyFrames set;
  EXPECT_FALSE(set.Read(String("")));
  EXPECT_EQ(set.loadState, C3MEKeyFrames::kLoadFailed);
  EXPECT_TRUE(log_.Contains("C3MEKeyFrames::Read - ERROR : No filename!"));
}

TEST_F(KeyFramesFile, TruncatedFilesNeverCrashAndFail) {
  const std::string whole = KeysText(3, {"Root", "Arm"});
  for (size_t length = 0; length + 1 < whole.size(); ++length) {
    C3MEKeyFrames set;
    EXPECT_FALSE(set.Read(String(Write(whole.substr(0, length), "cut.txt").c_str()))) << length;
    // Whatever was kept still plays without reading past its arrays.
    set.BindSkeleton(&skeleton_);
    set.SetRate(10.0f, true);
    set.Advance(0.15f, 1.0f);
  }
}

TEST_F(KeyFramesFile, TimeSelectsFramesAndWeights) {
  struct Case {
    bool loop;
    float time;
    uint32_t frameA, frameB;
    float weightA;
    float timeAfter;
  };
  const Case cases[] = {
      {false, 0.25f, 2, 3, 0.5f, 0.25f}, {false, 0.0f, 0, 1, 1.0f, 0.0f},
      {false, 0.4f, 4, 4, 1.0f, 0.4f},  // the end of a set that does not loop holds the last frame
      {true, 0.4f, 4, 0, 1.0f, 0.4f},   // a looping set pairs the last frame with the first
      {false, -1.0f, 0, 1, 1.0f, 0.0f},
  };
  for (const Case& c : cases) {
    C3MEKeyFrames set;
    LoadBound(set, c.loop);
    EXPECT_FLOAT_EQ(set.duration, 0.4f);
    EXPECT_FLOAT_EQ(set.frameTime, 0.1f);
    set.SetTime(c.time);
    EXPECT_EQ(set.frameA, c.frameA) << c.time;
    EXPECT_EQ(set.frameB, c.frameB) << c.time;
    EXPECT_NEAR(set.weightA, c.weightA, 1e-5f) << c.time;
    EXPECT_FLOAT_EQ(set.time, c.timeAfter) << c.time;
  }
  // Past the duration nothing changes.
  C3MEKeyFrames set;
  LoadBound(set);
  set.SetTime(0.25f);
  set.SetTime(0.5f);
  EXPECT_FLOAT_EQ(set.time, 0.25f);
  EXPECT_EQ(set.frameA, 2u);
}

TEST_F(KeyFramesFile, AdvanceClampsOrWrapsAndReportsStopped) {
  struct Case {
    bool loop;
    float start, dt, speed;
    float timeAfter;
    bool stopped;
  };
  const Case cases[] = {
      {false, 0.3f, 0.3f, 1.0f, 0.4f, true},
      {true, 0.3f, 0.3f, 1.0f, 0.0f, false},
      {false, 0.3f, 0.1f, -1.0f, 0.2f, false},  // a negative speed plays backward
      {false, 0.1f, 0.3f, -1.0f, 0.0f, true},
      {true, 0.1f, 0.3f, -1.0f, 0.4f, false},  // below 0 a looping set wraps to its end
  };
  for (const Case& c : cases) {
    C3MEKeyFrames set;
    LoadBound(set, c.loop);
    set.SetTime(c.start);
    set.Advance(c.dt, c.speed);
    EXPECT_NEAR(set.time, c.timeAfter, 1e-5f) << c.start << " " << c.speed;
    EXPECT_EQ(set.IsStopped(), c.stopped) << c.start << " " << c.speed;
  }
}

TEST_F(KeyFramesFile, PoseInterpolatesMasksAndMirrors) {
  C3MEKeyFrames set;
  LoadBound(set);
  // Root at frame f sits at (f, 2f, 0), Arm at (f + 10, 2f, 0).
  set.Advance(0.25f, 1.0f);
  EXPECT_NEAR(skeleton_.pose.GetPosition().x, 2.5f, 1e-5f);
  EXPECT_NEAR(skeleton_.pose.GetPosition().y, 5.0f, 1e-5f);
  EXPECT_NEAR(skeleton_.children[0].pose.GetPosition().x, 12.5f, 1e-5f);
  EXPECT_NEAR(skeleton_.pose.local.m[12], 2.5f, 1e-5f);
  EXPECT_NEAR(set.GetRootOffset().x, 2.5f, 1e-5f);

  // Masking x and z keeps only the root's y motion, in the pose and the offset.
  set.SetAxisMask(true, false, true);
  set.Advance(0.05f, 1.0f);
  EXPECT_FLOAT_EQ(skeleton_.pose.GetPosition().x, 0.0f);
  EXPECT_NEAR(skeleton_.pose.GetPosition().y, 6.0f, 1e-5f);
  EXPECT_EQ(set.GetRootOffset().x, 0.0f);
  EXPECT_NEAR(set.GetRootOffset().y, 6.0f, 1e-5f);
  // Bones other than the root keep their motion.
  EXPECT_NEAR(skeleton_.children[0].pose.GetPosition().x, 13.0f, 1e-5f);

  // Mirroring flips the x of every bone's matrix and of the root offset.
  set.SetAxisMask(false, false, false);
  set.mirror = true;
  set.Advance(0.0f, 1.0f);
  EXPECT_NEAR(skeleton_.children[0].pose.local.m[12], -13.0f, 1e-5f);
  // The root's matrix is rebuilt after masking, so the offset is mirrored once.
  EXPECT_NEAR(set.GetRootOffset().x, -3.0f, 1e-5f);

  C3MEKeyFrames unbound;
  EXPECT_EQ(unbound.GetRootOffset(), Vector3());
}

TEST_F(KeyFramesFile, KeysForMissingBonesLeaveTheSkeletonAlone) {
  C3MEKeyFrames set;
  ASSERT_TRUE(set.Read(String(Write(KeysText(3, {"Root", "Tail"})).c_str())));
  set.BindSkeleton(&skeleton_);
  set.SetRate(10.0f, false);
  skeleton_.children[0].pose.SetPosition(7, 7, 7);
  set.Advance(0.1f, 1.0f);
  set.SelectFrame(2);
  set.ApplySelectedFrame();
  EXPECT_EQ(skeleton_.children[0].pose.GetPosition(), Vector3(7, 7, 7));
  EXPECT_EQ(skeleton_.pose.GetPosition(), Vector3(2, 4, 0));
  set.SelectFrame(3);  // past the frames: ignored
  EXPECT_EQ(set.selectedFrame, 2);
}

TEST_F(KeyFramesFile, BlendLastsAtMostTheTimeLeftAndNeedsMatchingKeys) {
  C3MEKeyFrames from, into, other;
  LoadBound(from);
  from.SetRate(2.0f, false);  // frames 0..4 at 2 per second: 2 s
  ASSERT_TRUE(into.Read(String(Write(KeysText(5, {"Root", "Arm"}), "into.txt").c_str())));
  ASSERT_TRUE(other.Read(String(Write(KeysText(5, {"Root"}), "other.txt").c_str())));
  from.SetTime(1.5f);
  into.time = 0.7f;
  from.StartBlend(&into, 2.0f);
  EXPECT_TRUE(from.blending);
  EXPECT_FLOAT_EQ(from.blendDuration, 0.5f);
  EXPECT_EQ(into.time, 0.0f);

  C3MEKeyFrames again;
  LoadBound(again);
  again.StartBlend(&other, 1.0f);
  EXPECT_FALSE(again.blending);
  again.StartBlend(&again, 1.0f);  // fading into itself would never end
  EXPECT_FALSE(again.blending);
}

TEST_F(KeyFramesFile, BlendMovesFromTheOutgoingPoseToTheIncomingOne) {
  C3MEKeyFrames from, into;
  LoadBound(from);
  ASSERT_TRUE(into.Read(String(Write(KeysText(5, {"Root", "Arm"}), "into.txt").c_str())));
  into.BindSkeleton(&skeleton_);
  into.SetRate(10.0f, false);
  from.SetTime(0.2f);
  from.StartBlend(&into, 0.2f);
  ASSERT_TRUE(from.blending);
  from.Advance(0.1f, 1.0f);  // halfway: from is at frame 3, into at frame 1
  EXPECT_NEAR(from.blendProgress, 0.5f, 1e-5f);
  ASSERT_NE(skeleton_.children[0].savedPose, nullptr);
  // Arm: outgoing x 13, incoming x 11: halfway is 12.
  EXPECT_NEAR(skeleton_.children[0].pose.GetPosition().x, 12.0f, 1e-4f);
  EXPECT_FALSE(from.IsBlendDone());
  from.Advance(0.15f, 1.0f);
  EXPECT_TRUE(from.IsBlendDone());
  // The last step lands on the incoming pose instead of passing it.
  EXPECT_NEAR(skeleton_.children[0].pose.GetPosition().x, 12.5f, 1e-4f);
  from.Reset();
  EXPECT_FALSE(from.blending);
  EXPECT_EQ(from.time, 0.0f);
  EXPECT_EQ(from.selectedFrame, 0);
}

TEST_F(KeyFramesFile, OneFrameOrNoRateIsAStillPose) {
  C3MEKeyFrames set;
  LoadBound(set, false, 1);
  EXPECT_EQ(set.duration, 0.0f);
  set.Advance(0.5f, 1.0f);
  EXPECT_EQ(set.time, 0.0f);
  EXPECT_EQ(skeleton_.pose.GetPosition(), Vector3(0, 0, 0));
  EXPECT_TRUE(set.IsStopped());

  C3MEKeyFrames noRate;
  LoadBound(noRate);
  noRate.SetRate(0.0f, true);
  noRate.Advance(0.5f, 1.0f);
  EXPECT_FALSE(std::isnan(skeleton_.pose.GetPosition().x));
}

}  // namespace
