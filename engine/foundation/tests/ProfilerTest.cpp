#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/LogSettings.h"
#include "engine/foundation/Profiler.h"
#include "support/LogLines.h"

namespace {

// Stamps handed out in order, then the last one again.
std::deque<uint32_t> gStamps;
uint32_t gLastStamp = 0;

uint32_t ScriptedStamp() {
  if (!gStamps.empty()) {
    gLastStamp = gStamps.front();
    gStamps.pop_front();
  }
  return gLastStamp;
}

float ThousandPerSecond() { return 1000.0f; }

struct DrawnLine {
  Vector3 from, to;
  float alpha, width;
};
std::vector<DrawnLine> gLines;
int gDrawBegins = 0;
int gDrawEnds = 0;

class ProfilerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gStamps.clear();
    gLastStamp = 0;
    gLines.clear();
    gDrawBegins = gDrawEnds = 0;
    profiler_->SetStampSource(&ScriptedStamp);
    profiler_->SetFrequencySource(&ThousandPerSecond);
    a_ = profiler_->Register("A", 1, 0, 0);
    b_ = profiler_->Register("B", 0, 1, 0);
    c_ = profiler_->Register("C", 0, 0, 1);
  }
  void TearDown() override { Profiler::SetDrawHooks(ProfilerDrawHooks()); }

  // A frame: A [1000, 2000] with children B [1250, 1500] and C [1500, 1900].
  void RunFrame() {
    gStamps = {1000, 1250, 1500, 1500, 1900, 2000};
    profiler_->Begin(a_);
    profiler_->Begin(b_);
    profiler_->End();
    profiler_->Begin(c_);
    profiler_->End();
    profiler_->End();
  }

  std::unique_ptr<Profiler> profiler_ = std::make_unique<Profiler>();
  int a_ = -1, b_ = -1, c_ = -1;
};

}  // namespace

TEST(ProfilerRegister, NamesColoursAndLimits) {
  const FixedLogSettings settings(true, false, "DBG");
  Log::Reset();
  SetLogSettings(&settings);
  Profiler profiler;
  EXPECT_EQ(profiler.Register(String(), 1, 1, 1), -1);
  EXPECT_EQ(profiler.Register(String(""), 1, 1, 1), -1);
  EXPECT_FALSE(Log::ChannelExists(kLogDBG));  // nothing was logged
  EXPECT_EQ(profiler.Register("Application", 0.5f, 0.25f, 1), 0);
  ASSERT_TRUE(Log::ChannelExists(kLogDBG));
  EXPECT_EQ(LogLinesOf(kLogDBG), std::vector<std::string>{"Registered profile Application"});
  const ProfileSection* section = profiler.GetSection(0);
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(section->index, 0);
  EXPECT_EQ(section->colour[1], 0.25f);
  EXPECT_EQ(section->colour[3], 0.75f);
  EXPECT_STREQ(section->name.Chars(), "Application");
  EXPECT_EQ(profiler.GetSection(1), nullptr);

  for (int i = 1; i < Profiler::kMaxSections; ++i) ASSERT_EQ(profiler.Register("S", 1, 1, 1), i);
  EXPECT_EQ(profiler.Register("One too many", 1, 1, 1), -1);
  Log::Reset();
  SetLogSettings(nullptr);
}

TEST_F(ProfilerTest, NestedSectionsBecomeChildren) {
  profiler_->Begin(a_);
  profiler_->Begin(b_);
  EXPECT_EQ(profiler_->GetCurrentSection(), profiler_->GetSection(b_));
  profiler_->End();
  profiler_->End();
  EXPECT_EQ(profiler_->GetCurrentSection(), nullptr);
  EXPECT_EQ(profiler_->GetSection(b_)->parent, a_);
  EXPECT_EQ(profiler_->GetSection(a_)->childCount, 1);
  EXPECT_EQ(profiler_->GetSection(a_)->children[0], b_);
  EXPECT_EQ(profiler_->GetRootSection(), a_);
  EXPECT_EQ(profiler_->GetBeginCount(), 2);

  // The first section ever begun stays the root.
  profiler_->Begin(c_);
  profiler_->End();
  EXPECT_EQ(profiler_->GetRootSection(), a_);
}

TEST_F(ProfilerTest, DisabledBeginAndEndChangeNothing) {
  profiler_->Begin(a_);
  profiler_->SetEnabled(false);
  profiler_->Begin(b_);
  profiler_->End();
  EXPECT_EQ(profiler_->GetCurrentSection(), profiler_->GetSection(a_));
  EXPECT_EQ(profiler_->GetSection(a_)->childCount, 0);
  EXPECT_EQ(profiler_->GetBeginCount(), 1);
}

TEST_F(ProfilerTest, ElapsedTimesAndFractionsOfTheRoot) {
  RunFrame();
  profiler_->Compute();
  EXPECT_FLOAT_EQ(profiler_->GetRootElapsed(), 1.0f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(b_)->elapsed, 0.25f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(b_)->fraction, 0.25f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(c_)->fraction, 0.4f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(a_)->fraction, 1.0f);
  EXPECT_EQ(profiler_->GetFrameStartStamp(), 1000u);
  EXPECT_EQ(profiler_->GetFrameEndStamp(), 2000u);

  // Maxima only grow.
  gStamps = {5000, 5100, 5150, 5150, 5160, 5200};
  profiler_->Begin(a_);
  profiler_->Begin(b_);
  profiler_->End();
  profiler_->Begin(c_);
  profiler_->End();
  profiler_->End();
  profiler_->Compute();
  EXPECT_FLOAT_EQ(profiler_->GetSection(b_)->fraction, 0.25f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(c_)->fraction, 0.05f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(c_)->maxFraction, 0.4f);
  EXPECT_FLOAT_EQ(profiler_->GetSection(c_)->maxElapsed, 0.4f);
  EXPECT_FLOAT_EQ(profiler_->GetMaxRootElapsed(), 1.0f);

  // Stamps are the low 32 bits of a counter: a wrap inside a frame still
  // gives the true span.
  gStamps = {0xFFFFFF00u, 0x100u};
  profiler_->Begin(a_);
  profiler_->End();
  profiler_->Compute();
  EXPECT_FLOAT_EQ(profiler_->GetRootElapsed(), 0.512f);
}

TEST_F(ProfilerTest, RefusedBeginsSwallowTheirEnds) {
  struct Case {
    const char* name;
    std::vector<int> opened;  // sections begun before the bad one
    int bad;
  };
  const Case cases[] = {
      {"minus one", {0}, -1},
      {"unregistered", {0}, 3},
      {"beyond the table", {0}, Profiler::kMaxSections + 7},
      {"the open section itself", {0, 1}, 1},
      {"an open ancestor", {0, 1}, 0},
  };
  for (const Case& c : cases) {
    Profiler fresh;
    fresh.SetStampSource(&ScriptedStamp);
    fresh.SetFrequencySource(&ThousandPerSecond);
    fresh.Register("A", 1, 1, 1);
    fresh.Register("B", 1, 1, 1);
    fresh.Register("C", 1, 1, 1);
    for (int section : c.opened) fresh.Begin(section);
    fresh.Begin(c.bad);
    EXPECT_EQ(fresh.GetCurrentSection(), fresh.GetSection(c.opened.back())) << c.name;
    fresh.End();  // matches the refused Begin
    EXPECT_EQ(fresh.GetCurrentSection(), fresh.GetSection(c.opened.back())) << c.name;
    for (size_t i = 0; i < c.opened.size(); ++i) fresh.End();
    EXPECT_EQ(fresh.GetCurrentSection(), nullptr) << c.name;
    EXPECT_EQ(fresh.GetBeginCount(), static_cast<int>(c.opened.size())) << c.name;
    EXPECT_EQ(fresh.GetSection(0)->parent, -1) << c.name;
    fresh.Compute();  // terminates: no section is its own descendant
  }
}

TEST_F(ProfilerTest, FrameHookComputesEveryOtherFrame) {
  RunFrame();
  profiler_->FrameHook();  // not visible: no computation
  EXPECT_EQ(profiler_->GetRootElapsed(), 0.0f);
  EXPECT_FALSE(profiler_->IsEnabled());
  profiler_->FrameHook();
  EXPECT_TRUE(profiler_->IsEnabled());

  profiler_->ToggleVisible();
  profiler_->ToggleFrozen();
  profiler_->FrameHook();
  EXPECT_EQ(profiler_->GetRootElapsed(), 0.0f);
  profiler_->ToggleFrozen();
  profiler_->FrameHook();  // disabled this frame
  EXPECT_EQ(profiler_->GetRootElapsed(), 0.0f);
  profiler_->FrameHook();
  EXPECT_FLOAT_EQ(profiler_->GetRootElapsed(), 1.0f);
}

TEST_F(ProfilerTest, DrawsOneBarPerSection) {
  ProfilerDrawHooks hooks;
  hooks.begin = [] { ++gDrawBegins; };
  hooks.line = [](const Vector3& from, const Vector3& to, const float colour[4], float width) {
    gLines.push_back({from, to, colour[3], width});
  };
  hooks.end = [] { ++gDrawEnds; };
  Profiler::SetDrawHooks(hooks);

  RunFrame();
  profiler_->Draw();  // not visible
  EXPECT_TRUE(gLines.empty());
  EXPECT_EQ(gDrawBegins, 0);

  profiler_->ToggleVisible();
  profiler_->Draw();  // nothing computed yet: a zero-length frame
  ASSERT_EQ(gLines.size(), 3u);
  for (const DrawnLine& line : gLines) {
    EXPECT_EQ(line.from.x, 16.0f);
    EXPECT_FALSE(std::isnan(line.to.x));
  }

  gLines.clear();
  profiler_->Compute();
  profiler_->Draw();
  EXPECT_EQ(gDrawBegins, 2);
  EXPECT_EQ(gDrawEnds, 2);
  ASSERT_EQ(gLines.size(), 3u);
  const struct { float fromX, toX, y; } expected[] = {{16, 784, 16}, {208, 400, 19}, {400, 707.2f, 22}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(gLines[i].from.x, expected[i].fromX) << i;
    EXPECT_FLOAT_EQ(gLines[i].to.x, expected[i].toX) << i;
    EXPECT_FLOAT_EQ(gLines[i].from.y, expected[i].y) << i;
    EXPECT_EQ(gLines[i].alpha, 0.75f);
    EXPECT_EQ(gLines[i].width, 3.0f);
  }
  EXPECT_FLOAT_EQ(profiler_->GetSection(b_)->drawOffset, 208.0f);
}
