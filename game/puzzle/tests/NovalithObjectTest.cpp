#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/NovalithObject.h"
#include "game/rules/MatchRecord.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

constexpr float kStep = 0.05f;

// A star beside a headless game (its receiver and the recording audio
// layer), the clock at a fixed step and each crystal material in a colour
// of its own.
class NovalithTest : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    Clock::Instance().SetPaused(false);
    Clock::Instance().SetFixedStep(kStep);
    for (int colour = 0; colour < kCrystalColourCount; ++colour) {
      CMATStage* stage = CMATManager::GetInstance()->GetMaterial(CrystalMaterialName(colour))->GetStage(0);
      ASSERT_NE(stage, nullptr);
      const float rgba[4] = {0.1f * static_cast<float>(colour), 0.5f, 1.0f - 0.1f * static_cast<float>(colour), 0.3f};
      std::copy(rgba, rgba + 4, stage->colour);
    }
    star_ = std::make_unique<NovalithObject>();
    star_->Reset();
    Step(2);
    ASSERT_TRUE(star_->IsCurrent(star_->Dormant()));
  }
  void TearDown() override {
    star_.reset();
    Clock::Instance().SetFixedStep(0.0f);
  }

  void Step(int frames) {
    for (int frame = 0; frame < frames; ++frame) star_->Update();
  }
  void Send(uint32_t id) { PostGameMessageTo(-1, star_->ReceiverId(), id, 0, 0.0); }
  void Feed(int colour, unsigned gems) {
    MatchRecord match;
    match.colour = colour;
    match.gemCount = gems;
    star_->AddCrystals(match);
  }
  // Feeds a crystal and walks the star into Growing.
  void Grow() {
    Feed(0, 3);
    Step(2);
    ASSERT_TRUE(star_->IsCurrent(star_->Growing()));
  }
  void GoUnstable() {
    Grow();
    Send(eMSG_GNovalithUnstable);
    Step(2);
    ASSERT_TRUE(star_->IsCurrent(star_->Unstable()));
  }
  int AudioCount(uint32_t id) const {
    return static_cast<int>(std::count(services_.audio->received.begin(), services_.audio->received.end(), id));
  }
  uint32_t QueuedFlares() const { return GetGEMMSGService()->CountMessages(star_->ReceiverId(), eMSG_GNovalithFlare); }
  static ParticleManager& Halo() { return *EffectsPool::Instance().Particles(NovalithObject::kHaloParticles); }
  static ParticleManager& Explosion() {
    return *EffectsPool::Instance().Particles(NovalithObject::kExplosionParticles);
  }
  static BeamManager& StarBeams() { return *EffectsPool::Instance().Beams(NovalithObject::kStarBeams); }
  static BeamManager& FlareBeams() { return *EffectsPool::Instance().Beams(NovalithObject::kFlareBeams); }

  std::unique_ptr<NovalithObject> star_;
};

TEST_F(NovalithTest, TheFirstResetSetsUpTheFourSystemsAndLaterOnesOnlyClearTheFlareBeams) {
  EXPECT_TRUE(star_->effectsReady);
  EXPECT_EQ(Halo().capacity, 32);
  EXPECT_FALSE(Halo().rateMode);
  EXPECT_EQ(Explosion().capacity, 2048);
  EXPECT_EQ(StarBeams().capacity, 256);
  EXPECT_EQ(FlareBeams().capacity, 256);
  EXPECT_TRUE(star_->fresh);
  EXPECT_EQ(star_->crystalColours[3], CrystalColour(3));

  ASSERT_GE(FlareBeams().Spawn(Vector3(1.0f, 0.0f, 0.0f)), 0);
  ASSERT_GE(StarBeams().Spawn(Vector3(1.0f, 0.0f, 0.0f)), 0);
  Halo().name = "Kept";  // a second set-up would rename it
  star_->Reset();
  EXPECT_EQ(FlareBeams().LiveCount(), 0);
  EXPECT_EQ(StarBeams().LiveCount(), 1);
  EXPECT_EQ(Halo().name, "Kept");
}

TEST_F(NovalithTest, TheFirstCrystalsWakeADormantStarAndRequestsItIgnoresWhileDormant) {
  Send(eMSG_GNovalithUnstable);
  Send(eMSG_GNovalithStable);
  Send(eMSG_GDiscClear);
  Step(2);
  EXPECT_TRUE(star_->IsCurrent(star_->Dormant()));

  star_->position = Vector3(1.0f, 2.0f, 3.0f);
  Feed(2, 3);
  EXPECT_FALSE(star_->fresh);
  EXPECT_TRUE(star_->IsPending(star_->Growing()));
  ASSERT_EQ(Halo().LiveCount(), 1);  // the crystals' flare, raised by its colour
  const Vector3 flareAt = Halo().GetLive(0)->position;
  EXPECT_FLOAT_EQ(flareAt.x, 1.0f);
  EXPECT_FLOAT_EQ(flareAt.y, 2.025f);
  EXPECT_FLOAT_EQ(flareAt.z, 3.0f);
  EXPECT_FLOAT_EQ(Halo().colour[0], CrystalColour(2)[0]);
  EXPECT_FLOAT_EQ(Halo().colour[3], 1.0f);
  Feed(2, 4);
  Step(2);
  EXPECT_TRUE(star_->IsCurrent(star_->Growing()));
  Feed(5, 1);
  EXPECT_EQ(star_->crystalCounts[2], 7u);
  EXPECT_EQ(star_->crystalCounts[5], 1u);
  EXPECT_EQ(star_->total, 8u);
  EXPECT_EQ(AudioCount(eMSG_AInGame_PlayGemsCleared), 3);

  Feed(kCrystalColourCount, 5);  // not a crystal colour: refused
  EXPECT_EQ(star_->total, 8u);
}

TEST_F(NovalithTest, FillAndGlowFollowTheCrystalsAgainstTheCapacity) {
  struct Case {
    unsigned crystals, capacity;
    float fill;
  };
  for (const Case& c :
       {Case{0, 0, 1.0f}, Case{3, 0, 1.0f}, Case{5, 10, 0.5f}, Case{10, 10, 1.0f}, Case{12, 10, 1.0f}}) {
    star_->total = c.crystals;
    star_->capacity = c.capacity;
    EXPECT_FLOAT_EQ(star_->Fill(), c.fill) << c.crystals << "/" << c.capacity;
  }

  star_->total = 0;
  Grow();  // full pulse in Growing
  star_->capacity = 0;
  star_->glowLevel = 0.0f;
  star_->UpdateGlow(1.0f);
  EXPECT_FLOAT_EQ(star_->glowTarget, 1.2f);
  EXPECT_NEAR(star_->glowLevel, 1.2f * 0.9f, 1e-5f);  // eases while Growing
  // All crystals are red: the tint is red's colour, opaque.
  EXPECT_FLOAT_EQ(star_->tint[0], 0.0f);
  EXPECT_FLOAT_EQ(star_->tint[1], 0.5f);
  EXPECT_FLOAT_EQ(star_->tint[2], 1.0f);
  EXPECT_FLOAT_EQ(star_->tint[3], 1.0f);
  // trunc(1 x 0.1 x 500) flare beams for red's full share.
  FlareBeams().KillAll();
  star_->UpdateGlow(0.1f);
  EXPECT_EQ(FlareBeams().LiveCount(), 50);
}

TEST_F(NovalithTest, WithNoCrystalsTheTintIsBlackAndNoFlareBeamsOrStarBeamsSpawn) {
  star_->UpdateGlow(1.0f);
  EXPECT_EQ(FlareBeams().LiveCount(), 0);
  for (float channel : {star_->tint[0], star_->tint[1], star_->tint[2]}) EXPECT_EQ(channel, 0.0f);
  EXPECT_EQ(star_->tint[3], 1.0f);
  star_->SpawnStarBeam();
  EXPECT_EQ(StarBeams().LiveCount(), 0);
}

TEST_F(NovalithTest, AStarBeamTakesAColourByItsShareAndRecoloursTheTint) {
  Feed(4, 1);
  Feed(6, 3);
  star_->tint[3] = 0.4f;
  for (int beam = 0; beam < 20; ++beam) star_->SpawnStarBeam();
  ASSERT_GT(StarBeams().LiveCount(), 0);
  EXPECT_FLOAT_EQ(StarBeams().colour[3], 0.75f);
  const float* cyan = CrystalColour(4);
  const float* indigo = CrystalColour(6);
  const bool cyanTint = std::abs(star_->tint[0] - 0.25f * cyan[0]) < 1e-5f;
  const bool indigoTint = std::abs(star_->tint[0] - 0.75f * indigo[0]) < 1e-5f;
  EXPECT_TRUE(cyanTint || indigoTint) << star_->tint[0];
  EXPECT_FLOAT_EQ(star_->tint[3], 0.4f);  // the alpha is left alone
}

TEST_F(NovalithTest, AQuakeTakesThreeQuartersOfEachColourAtLeastOne) {
  Feed(0, 1);
  Feed(1, 3);
  Feed(2, 4);
  star_->Quake();
  EXPECT_EQ(star_->crystalCounts[0], 0u);
  EXPECT_EQ(star_->crystalCounts[1], 1u);
  EXPECT_EQ(star_->crystalCounts[2], 1u);
  EXPECT_EQ(star_->total, 2u);
  EXPECT_FALSE(star_->HasDied());
  EXPECT_EQ(AudioCount(eMSG_AInGame_PlayNovalithCollapse), 1);

  star_->Quake();  // takes the last ones
  EXPECT_EQ(star_->total, 0u);
  EXPECT_TRUE(star_->HasDied());
}

TEST_F(NovalithTest, AQuakeOnAnEmptyStarDoesNotKillItWhenItIsFedAgain) {
  star_->Quake();
  EXPECT_FALSE(star_->died);
  Feed(3, 3);
  EXPECT_FALSE(star_->HasDied());
}

TEST_F(NovalithTest, ADiscClearCollapsesTheStarBackToRestAfterOneSecond) {
  Grow();
  Send(eMSG_GDiscClear);
  Step(2);
  ASSERT_TRUE(star_->IsCurrent(star_->Collapsing()));
  EXPECT_EQ(AudioCount(eMSG_AInGame_PlayNovalithCollapse), 1);
  Send(eMSG_GNovalithExplode);  // ignored while collapsing
  const int framesInOneSecond = static_cast<int>(1.0f / kStep);
  Step(framesInOneSecond - 1);
  EXPECT_TRUE(star_->IsCurrent(star_->Collapsing()));
  Step(2 + 2);  // the last pulse frame (float rounding), then the change
  EXPECT_TRUE(star_->IsCurrent(star_->Dormant()));
  EXPECT_EQ(star_->total, 0u);
  EXPECT_TRUE(star_->fresh);
}

TEST_F(NovalithTest, AnExplodeRequestCollapsesIntoTheExplosionFromDormantGrowingOrUnstable) {
  for (int from = 0; from < 3; ++from) {
    star_->Reset();
    Step(2);
    if (from == 1) Grow();
    if (from == 2) GoUnstable();
    Send(eMSG_GNovalithExplode);
    EXPECT_TRUE(star_->explodePending) << from;
    Step(2 + static_cast<int>(1.0f / kStep) + 4);
    EXPECT_TRUE(star_->IsCurrent(star_->Exploding())) << from;
    Send(eMSG_GNovalithStable);
    Send(eMSG_GDiscClear);
    Step(2);
    EXPECT_TRUE(star_->IsCurrent(star_->Exploding())) << "stays until Reset " << from;
  }
}

TEST_F(NovalithTest, AnEmptyStarExplodesInBlackWithTheStartTint) {
  Send(eMSG_GNovalithExplode);
  Step(2 + static_cast<int>(1.0f / kStep) + 4);
  ASSERT_TRUE(star_->IsCurrent(star_->Exploding()));
  const float* black = CrystalColour(7);
  EXPECT_FLOAT_EQ(Halo().colour[0], black[0]);
  EXPECT_FLOAT_EQ(Halo().colour[2], black[2]);
  EXPECT_FLOAT_EQ(Halo().colour[3], 1.0f);
  const float startTint[4] = {0.0f, 0.0f, 0.0f, 0.75f};
  for (int channel = 0; channel < 4; ++channel) {
    EXPECT_FLOAT_EQ(star_->tint[channel], startTint[channel]);
    EXPECT_FLOAT_EQ(Explosion().colour[channel], startTint[channel]);
  }
  EXPECT_EQ(Explosion().LiveCount(), 2000);
  EXPECT_FALSE(Explosion().enabled);
  EXPECT_TRUE(Explosion().rateMode);
  EXPECT_EQ(StarBeams().LiveCount(), 0);
  // The sound waits an eighth of a second.
  EXPECT_EQ(AudioCount(eMSG_AInGame_PlayNovalithExplode), 0);
  GameFixture::DeliverAt(Clock::Instance().GetGameTime() + 0.2f);
  EXPECT_EQ(AudioCount(eMSG_AInGame_PlayNovalithExplode), 1);
}

TEST_F(NovalithTest, AFedStarExplodesInItsBeams) {
  Grow();
  Send(eMSG_GNovalithExplode);
  Step(2 + static_cast<int>(1.0f / kStep) + 4);
  ASSERT_TRUE(star_->IsCurrent(star_->Exploding()));
  EXPECT_GT(StarBeams().LiveCount(), 0);
  EXPECT_EQ(Explosion().LiveCount(), 2000);
}

TEST_F(NovalithTest, EnteringUnstableAlarmsAndStartsAFlareChainThatEndsOutsideUnstable) {
  GoUnstable();
  EXPECT_EQ(AudioCount(eMSG_AInGame_PlayNovalithUnstable), 1);
  EXPECT_EQ(QueuedFlares(), 1u);
  const int starBeams = StarBeams().LiveCount();
  GameFixture::DeliverAt(Clock::Instance().GetGameTime() + 0.5f);
  EXPECT_EQ(StarBeams().LiveCount(), starBeams + 1);
  EXPECT_EQ(QueuedFlares(), 1u);  // the next flare of the chain

  Send(eMSG_GNovalithStable);
  Step(2);
  EXPECT_TRUE(star_->IsCurrent(star_->Growing()));
  GameFixture::DeliverAt(Clock::Instance().GetGameTime() + 0.5f);
  EXPECT_EQ(QueuedFlares(), 0u);  // dropped outside Unstable: the chain ends
}

TEST_F(NovalithTest, LeavingUnstableAlwaysStopsTheAlarm) {
  struct Leave {
    uint32_t message;
    bool reset;
  };
  const Leave leaves[] = {
      {eMSG_GNovalithStable, false}, {eMSG_GDiscClear, false}, {eMSG_GNovalithExplode, false}, {0, true}};
  int stops = 0;
  for (const Leave& leave : leaves) {
    star_->Reset();
    Step(2);
    GoUnstable();
    if (leave.reset) {
      star_->Reset();
    } else {
      Send(leave.message);
    }
    Step(1);
    EXPECT_EQ(AudioCount(eMSG_AInGame_StopNovalithUnstable), ++stops) << leave.message;
  }
}

TEST_F(NovalithTest, TheUnstablePulseCreepsUpInSmallStepsAndDropsBackFromAHalf) {
  GoUnstable();
  // Over many frames the intensity climbs toward a half and never passes
  // it by more than a step.
  float highest = 0.0f;
  for (int frame = 0; frame < 2000; ++frame) {
    Step(1);
    ASSERT_LE(star_->pulse.output, 0.5f + 0.0125f + 1e-5f) << frame;
    ASSERT_GE(star_->pulse.output, 0.0f) << frame;
    highest = std::max(highest, star_->pulse.output);
  }
  EXPECT_GT(highest, 0.45f);
  struct Case {
    float from;
    int curve;
    float start, rangeMin, rangeMax;
  };
  // From 0.2 it rises by at most 0.0125; from 0.55 it falls to 0.125.
  for (const Case& c : {Case{0.2f, AnimChannel::kRiseFast, 0.2f, 0.0f, 0.0125f},
                        Case{0.55f, AnimChannel::kFallFast, 0.125f, 0.425f, 0.425f}}) {
    star_->pulse.Set(AnimChannel::kLinear, false, c.from, c.from, 0.0f);
    Step(1);
    EXPECT_EQ(star_->pulse.curve, c.curve) << c.from;
    EXPECT_FLOAT_EQ(star_->pulse.start, c.start) << c.from;
    EXPECT_GE(star_->pulse.range, c.rangeMin - 1e-6f) << c.from;
    EXPECT_LE(star_->pulse.range, c.rangeMax + 1e-6f) << c.from;
    EXPECT_GE(star_->pulse.duration, 0.125f);
    EXPECT_LE(star_->pulse.duration, 0.25f);
    EXPECT_FALSE(star_->pulse.Finished());
  }
}

TEST_F(NovalithTest, AFlareStillWaitingDiesWithTheStar) {
  GoUnstable();
  const int32_t id = star_->ReceiverId();
  ASSERT_EQ(QueuedFlares(), 1u);
  star_.reset();
  EXPECT_EQ(GetGEMMSGService()->CountMessages(id, eMSG_GNovalithFlare), 0u);
}

}  // namespace
