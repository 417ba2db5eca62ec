#include <gtest/gtest.h>

#include <string>

#include "engine/foundation/Clock.h"
#include "engine/scene/anim/AnimationManager.h"
#include "engine/scene/anim/AnimationSequence.h"
#include "engine/scene/anim/KeyFrames.h"
#include "engine/scene/anim/Skeleton.h"
#include "platform/TempFolder.h"
#include "support/AnimTestSupport.h"
#include "support/SceneTestSupport.h"

namespace {

TEST(AnimationManager, RequestsShareOneSetPerNameIgnoringExtensionAndSlashStyle) {
  LogCapture log(kLogANM);
  CANMManager manager;
  EXPECT_TRUE(log.Has("[ANM] New search path = [Resources/Animations/]"));
  EXPECT_EQ(manager.SearchPathCount(), 1u);

  C3MEKeyFrames* walk = manager.Request(String("Anims\\Walk.txt"));
  ASSERT_NE(walk, nullptr);
  EXPECT_EQ(walk->name, "Anims/Walk.txt");
  EXPECT_EQ(walk->loadState, C3MEKeyFrames::kNotLoaded);
  EXPECT_TRUE(log.Has("[ANM] Animation requested : Anims/Walk.txt"));
  EXPECT_TRUE(log.Has("[ANM] New animation created..."));

  EXPECT_EQ(manager.Request(String("Anims/Walk.txt")), walk);
  EXPECT_TRUE(log.Has("[ANM] Acquired existing animation."));
  EXPECT_EQ(manager.Request(String("Anims/Walk.key")), walk);
  C3MEKeyFrames* other = manager.Request(String("Anims/walk.txt"));
  EXPECT_NE(other, walk);
  EXPECT_EQ(manager.Request(String("")), nullptr);
  EXPECT_EQ(manager.Count(), 2u);

  // The newest match wins.
  C3MEKeyFrames* newer = manager.Create(String("Anims/Walk.bin"));
  EXPECT_EQ(manager.Find(String("Anims/Walk.txt")), newer);

  C3MEKeyFrames stranger;
  manager.Release(&stranger);  // not the manager's: left alone
  manager.Release(other);
  EXPECT_TRUE(log.Has("[ANM] Releasing... Anims/walk.txt"));
  manager.Release(nullptr);
  EXPECT_EQ(manager.Count(), 2u);
}

TEST(AnimationManager, LoadResourcesReadsOnlySetsNeverLoaded) {
  platform::ScopedTempFolder folder{"scene-anm"};
  WriteFile(folder / "run.txt", KeysText(3, {"Root"}));
  LogCapture log(kLogANM);
  CANMManager manager;
  C3MEKeyFrames* run = manager.Request(String((folder / "run.txt").c_str()));
  C3MEKeyFrames* missing = manager.Request(String((folder / "missing.txt").c_str()));
  EXPECT_EQ(manager.LoadResources(), 1u);
  EXPECT_TRUE(log.Has("[ANM] 2 to process..."));
  EXPECT_TRUE(log.Has("[ANM] CANMManager - Loading [1] - " + (folder / "missing.txt")));
  EXPECT_EQ(run->loadState, C3MEKeyFrames::kLoaded);
  EXPECT_EQ(run->frameCount, 3u);
  EXPECT_EQ(missing->loadState, C3MEKeyFrames::kLoadFailed);

  const size_t before = log.Lines().size();
  EXPECT_EQ(manager.LoadResources(), 0u);
  for (size_t i = before; i < log.Lines().size(); ++i)
    EXPECT_EQ(log.Lines()[i].find("Loading ["), std::string::npos) << log.Lines()[i];
}

TEST(AnimationManager, ListRoundTripsAndRefusesBadLists) {
  platform::ScopedTempFolder folder{"scene-anm"};
  LogCapture log(kLogANM);
  CANMManager written;
  written.Request(String("a/walk.txt"));
  written.Request(String("a/run.txt"));
  ASSERT_TRUE(written.SaveList(String((folder / "list.txt").c_str())));

  CANMManager read;
  ASSERT_TRUE(read.LoadList(String((folder / "list.txt").c_str())));
  ASSERT_EQ(read.Count(), 2u);
  EXPECT_EQ(read.At(0)->name, "a/walk.txt");
  EXPECT_EQ(read.At(1)->name, "a/run.txt");

  struct Case {
    const char* text;
    uint32_t requested;
  };
  const Case cases[] = {
      {"[ANIM]\n1\nx.txt\n", 0}, {"", 0}, {"[ANM]\n3\nx.txt\ny.txt\n", 2}, {"[ANM]\n2147483647\nx.txt\n", 1},
      {"[ANM]\n-5\n", 0},
  };
  for (const Case& c : cases) {
    WriteFile(folder / "bad.txt", std::string(c.text));
    CANMManager manager;
    EXPECT_FALSE(manager.LoadList(String((folder / "bad.txt").c_str()))) << c.text;
    EXPECT_EQ(manager.Count(), c.requested) << c.text;
  }
}

// Two sets of five frames at two frames per second (2 s each) on a two-bone
// skeleton, played by a sequence at a fixed clock step of 0.25 s.
class SequencePlay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(skeleton_.SetChildCount(1));
    skeleton_.name = "Root";
    skeleton_.children[0].name = "Arm";
    WriteFile(folder_ / "a.txt", KeysText(5, {"Root", "Arm"}));
    WriteFile(folder_ / "b.txt", KeysText(5, {"Root", "Arm"}));
    Clock::Instance().SetPaused(false);
    Clock::Instance().SetFixedStep(0.25f);
  }
  void TearDown() override { Clock::Instance().SetFixedStep(0.0f); }

  std::string SequenceText(const char* loopWord, const std::string& secondEntry) {
    return std::string("[ANM]\nWalkCycle\n[NSEQUENCE]2\n[LOOP]") + loopWord + "\n[0][0]" + (folder_ / "a.txt") + "\n" +
           secondEntry + (folder_ / "b.txt") + "\n[END]\n";
  }
  // Reads the sequence, loads its sets and makes them playable.
  void Load(const std::string& text) {
    WriteFile(folder_ / "seq.txt", text);
    ASSERT_TRUE(sequence_.Read(String((folder_ / "seq.txt").c_str())));
    CANMManager::Instance().LoadResources();
    for (uint32_t i = 0; i < sequence_.entryCount; ++i) {
      C3MEKeyFrames* set = sequence_.GetEntry(i)->set;
      ASSERT_EQ(set->loadState, C3MEKeyFrames::kLoaded);
      set->BindSkeleton(&skeleton_);
      set->SetRate(2.0f, false);
    }
    a_ = sequence_.GetEntry(0)->set;
    b_ = sequence_.GetEntry(1)->set;
    sequence_.playing = true;
  }
  void Play(int frames, float speed = 1.0f) {
    for (int i = 0; i < frames; ++i) sequence_.Update(speed);
  }

  platform::ScopedTempFolder folder_{"scene-seq"};
  C3MEBone skeleton_;
  CANMSequence sequence_;
  C3MEKeyFrames* a_ = nullptr;
  C3MEKeyFrames* b_ = nullptr;
};

TEST_F(SequencePlay, ReadsEntriesAndTheLoopWord) {
  LogCapture log(kLogANM);
  Load(SequenceText("true", "[1.5][0.5]"));
  EXPECT_TRUE(log.Has("[ANM] Loaded sequence " + [&] {
    std::string upper = folder_ / "seq.txt";
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return upper;
  }()));
  EXPECT_EQ(sequence_.name, "WalkCycle");
  EXPECT_FALSE(sequence_.loop);  // only "TRUE" loops
  ASSERT_EQ(sequence_.entryCount, 2u);
  EXPECT_FLOAT_EQ(sequence_.GetEntry(1)->blendStart, 1.5f);
  EXPECT_FLOAT_EQ(sequence_.GetEntry(1)->blendDuration, 0.5f);
  EXPECT_EQ(sequence_.GetEntry(2), nullptr);
  EXPECT_EQ(sequence_.GetCurrentSet(), a_);
  EXPECT_EQ(CANMManager::Instance().Find(String((folder_ / "b.txt").c_str())), b_);

  CANMSequence looping;
  WriteFile(folder_ / "loop.txt", SequenceText("TRUE", "[0][0]"));
  ASSERT_TRUE(looping.Read(String((folder_ / "loop.txt").c_str())));
  EXPECT_TRUE(looping.loop);
}

TEST_F(SequencePlay, ReadFailuresAreLogged) {
  LogCapture log(kLogANM);
  struct Case {
    std::string text;
    std::string fileName;
    std::string errorLine;
  };
  const std::string good = SequenceText("TRUE", "[0][0]");
  const Case cases[] = {
      {good, "seq.anm", ""},
      {"[ANIM]\nx\n[NSEQUENCE]0\n[LOOP]TRUE\n[END]\n", "header.txt", ""},
      {"[ANM]\nx\n[NSEQUENCE]0\n[LOOP]TRUE\n", "noend.txt", ""},
      {"[ANM]\nx\n[NSEQUENCE]2000000000\n[LOOP]TRUE\n[END]\n", "count.txt", "bad entry count"},
      {"[ANM]\nx\n[NSEQUENCE]-2\n[LOOP]TRUE\n[END]\n", "neg.txt", "bad entry count"},
      {"[ANM]\nx\n[NSEQUENCE]1\n[LOOP]TRUE\n[0][0]\n[END]\n", "noname.txt", ""},
      {"[ANM]\nx\n[NSEQUENCE]1\n[LOOP]TRUE\n[0][0]\n", "nothing.txt", "an entry names no animation"},
  };
  for (const Case& c : cases) {
    WriteFile(folder_ / c.fileName, c.text);
    CANMSequence bad;
    EXPECT_FALSE(bad.Read(String((folder_ / c.fileName).c_str()))) << c.fileName;
    EXPECT_EQ(log.Lines().back().rfind("[ANM] FAILED sequence ", 0), 0u) << c.fileName;
    if (!c.errorLine.empty()) {
      bool found = false;
      for (const std::string& line : log.Lines()) found = found || line.find(c.errorLine) != std::string::npos;
      EXPECT_TRUE(found) << c.fileName;
    }
    // Whatever was read plays without harm.
    bad.playing = true;
    bad.Update(1.0f);
    bad.Update(-1.0f);
    bad.PlaySimple();
  }
  CANMSequence empty;
  EXPECT_FALSE(empty.Read(String("")));
  EXPECT_TRUE(log.Has("[ANM] CANMSequence::Read - ERROR : No filename!"));

  const std::string whole = SequenceText("TRUE", "[1][1]");
  for (size_t length = 0; length + 1 < whole.size(); ++length) {
    WriteFile(folder_ / "cut.txt", whole.substr(0, length));
    CANMSequence cut;
    EXPECT_FALSE(cut.Read(String((folder_ / "cut.txt").c_str()))) << length;
  }
}

TEST_F(SequencePlay, FadeStartsAtTheBlendStartAndLastsAtMostTheTimeLeft) {
  Load(SequenceText("FALSE", "[1.5][5]"));
  Play(5);  // sequence time 1.25
  EXPECT_FALSE(a_->blending);
  Play(1);  // 1.5: the fade starts with 0.75 s of A left
  EXPECT_FLOAT_EQ(sequence_.time, 1.5f);
  EXPECT_TRUE(a_->blending);
  EXPECT_FLOAT_EQ(a_->blendDuration, 0.75f);
  EXPECT_EQ(sequence_.current, 0u);
  Play(2);  // A reaches its end as the fade completes
  EXPECT_EQ(sequence_.current, 1u);
  EXPECT_FALSE(a_->blending);
  EXPECT_EQ(a_->time, 0.0f);
  // B has been running since the fade began.
  EXPECT_FLOAT_EQ(b_->time, 0.75f);
}

TEST_F(SequencePlay, EntryWithoutFadeStartsWhenItsPredecessorStopsAndTheLastHolds) {
  Load(SequenceText("FALSE", "[0][0]"));
  Play(7);
  EXPECT_EQ(sequence_.current, 0u);
  Play(1);  // A stops at 2 s
  EXPECT_EQ(sequence_.current, 1u);
  EXPECT_FALSE(a_->blending);
  EXPECT_EQ(b_->time, 0.0f);
  // Root of A's last frame: (4, 8, 0).
  EXPECT_EQ(sequence_.rootOffset, Vector3(4, 8, 0));

  Play(8);  // B ends: a sequence that does not loop stays on its last entry
  EXPECT_EQ(sequence_.current, 1u);
  EXPECT_FALSE(sequence_.playing);
  EXPECT_FLOAT_EQ(b_->time, 2.0f);
  Play(5);
  EXPECT_EQ(sequence_.current, 1u);
  EXPECT_FLOAT_EQ(b_->time, 2.0f);
}

TEST_F(SequencePlay, LoopingSequenceStartsOverAndPausedClockHolds) {
  Load(SequenceText("TRUE", "[0][0]"));
  Clock::Instance().SetPaused(true);
  Play(20);  // nothing moves while the clock stands
  EXPECT_EQ(sequence_.current, 0u);
  EXPECT_EQ(a_->time, 0.0f);
  Clock::Instance().SetPaused(false);

  Play(16);
  EXPECT_EQ(sequence_.current, 0u);
  EXPECT_EQ(sequence_.time, 0.0f);
  EXPECT_TRUE(sequence_.playing);
  Play(9);
  EXPECT_EQ(sequence_.current, 1u);
}

TEST_F(SequencePlay, BackwardPlaysFromTheEndToTheFirstEntry) {
  Load(SequenceText("FALSE", "[0][0]"));
  sequence_.Rewind(true);
  EXPECT_EQ(sequence_.current, 1u);
  EXPECT_FLOAT_EQ(sequence_.totalLength, 4.0f);
  EXPECT_FLOAT_EQ(b_->time, 2.0f);
  Play(8, -1.0f);
  EXPECT_EQ(sequence_.current, 0u);
  EXPECT_FLOAT_EQ(a_->time, 2.0f);
  Play(8, -1.0f);
  EXPECT_EQ(sequence_.current, 0u);
  EXPECT_FALSE(sequence_.playing);
  EXPECT_EQ(skeleton_.pose.GetPosition(), Vector3(0, 0, 0));

  sequence_.Rewind(false);
  EXPECT_EQ(sequence_.current, 0u);
  EXPECT_EQ(sequence_.time, 0.0f);
}

TEST_F(SequencePlay, SimplePlayerStepsThroughEntries) {
  Load(SequenceText("TRUE", "[1][1]"));
  for (int i = 0; i < 8; ++i) sequence_.PlaySimple();
  EXPECT_EQ(sequence_.current, 1u);
  EXPECT_FALSE(a_->blending);
  for (int i = 0; i < 8; ++i) sequence_.PlaySimple();
  EXPECT_EQ(sequence_.current, 0u);
}

}  // namespace
