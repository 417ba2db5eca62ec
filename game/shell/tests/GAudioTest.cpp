// The game's audio layer on a fake sound manager, the real GEM service and
// a clock on a fixed step.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/tests/support/GameTestSupport.h"
#include "game/rules/GameMessages.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "game/shell/GAudio.h"
#include "game/shell/ShellServices.h"
#include "platform/Random.h"
#include "support/AudioTestSupport.h"
#include "support/FakeAudioSound.h"

namespace {

using puzzle_test::RecordingReceiver;
using shell_test::AudioEnvironment;
using shell_test::FakeAudioSound;

// Every layer lists exactly its count of valid sources, and no source is
// listed twice anywhere.
::testing::AssertionResult LayersAreSound(const GAudio& audio) {
  std::set<int32_t> seen;
  for (int l = 0; l < GAudio::kLayerCount; ++l) {
    const AudioLayer& layer = audio.layers[l];
    if (layer.count > AudioLayer::kCapacity)
      return ::testing::AssertionFailure() << "layer " << l << " count " << layer.count;
    for (uint32_t i = 0; i < AudioLayer::kCapacity; ++i) {
      const int32_t source = layer.sources[i];
      if ((i < layer.count) != (source >= 0)) {
        return ::testing::AssertionFailure()
               << "layer " << l << " entry " << i << " is " << source << " with count " << layer.count;
      }
      if (source >= 0 && !seen.insert(source).second) {
        return ::testing::AssertionFailure() << "source " << source << " is listed twice (layer " << l << ")";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

int LayerOf(const GAudio& audio, int32_t source) {
  for (int l = 0; l < GAudio::kLayerCount; ++l) {
    if (audio.layers[l].Contains(source)) return l;
  }
  return -1;
}

class AudioTest : public ::testing::Test {
 protected:
  AudioTest() {
    GetGEMMSGService()->AddListener(&sender_);
    EnterNormal(audio_);
  }

  // The game's constructor steps the layer once (it leaves the start
  // state); the next step enters "Normal".
  static void EnterNormal(GAudio& layer) {
    layer.Update();
    layer.Update();
  }

  // Switches the layer on and loads both sets, as the loading screen does.
  void Start() {
    audio_.Initialise();
    audio_.LoadSounds(0);
    audio_.LoadSounds(1);
  }
  void Post(uint32_t id, intptr_t parameter = 0) {
    PostGameMessageTo(sender_.receiverId, audio_.receiverId, id, parameter, 0.0);
  }
  void PostFade(uint32_t id, int layer, float seconds) {
    LayerFade fade{layer, seconds};
    Post(id, reinterpret_cast<intptr_t>(&fade));
  }
  void PostStop(int layer) { Post(eMSG_ALayer_Stop, reinterpret_cast<intptr_t>(&layer)); }
  void PostSting(int sting) { Post(eMSG_AGUI_PlaySting, reinterpret_cast<intptr_t>(&sting)); }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) audio_.Update();
  }
  int Completions() const { return sender_.Count(eMSG_ALayer_VolumeFadeOutComplete); }

  AudioEnvironment environment_;
  FakeAudioSound sound_;
  GAudio audio_{24, sound_};
  RecordingReceiver sender_{"Fade sender"};
};

struct MessageRow {
  uint32_t id;
  const char* logLine;  // "" for none
  int layer;            // -1: nothing plays
  int entry;
  bool handled;
};

TEST_F(AudioTest, EachMessagePlaysItsEntryOnItsLayerWithItsLogLine) {
  const MessageRow rows[] = {
      {eMSG_GMatchedRainbow, "Audio : Play Rainbow", 0, 9, true},
      {eMSG_GAchievementEarned, "Audio : Play Achievement Earned", 0, 8, true},
      {eMSG_AInGame_PlayGemPlaced, "Audio : InGame : Play Gem Placed", 0, 0, true},
      {eMSG_AInGame_PlayGemBroken, "GAudio : InGame : Play Gem Broken", 0, 1, true},
      {eMSG_AInGame_PlayFewGemsBroken, "GAudio : InGame : Play Few Gems Broken", 0, 2, true},
      {eMSG_AInGame_PlayLotsGemsBroken, "GAudio : InGame : Play Lots Gems Broken", 0, 3, true},
      {eMSG_AInGame_PlayGemsCleared, "GAudio : InGame : Play Gems Cleared", 0, 4, true},
      {eMSG_AInGame_PlayTimerAlarm, "Audio : Play Timer Alarm", 0, 10, true},
      {eMSG_AInGame_PlayTimerExpire, "Audio : Play Timer Expire", 0, 11, true},
      {eMSG_AInGame_PlayNovalithExplode, "GAudio : InGame : Play Novalith Explode", 0, 5, true},
      {eMSG_AInGame_PlayNovalithCollapse, "GAudio : InGame : Play Novalith Collapse", 0, 7, true},
      {eMSG_AGUI_PlayMenuNavigation, "GAudio : GUI : Play Menu Navigation", 1, 0, true},
      {eMSG_AGUI_PlayMenuSelect, "GAudio : GUI : Play Menu Select", 1, 1, true},
      {eMSG_AInGame_PlayNovalithUnstable, "GAudio : InGame : Play Novalith Unstable", 0, 6, true},
      {eMSG_AInGame_PlaySpeech, "", -1, 0, true},
      {eMSG_AInGame_PlayPuzzleSpin, "", -1, 0, true},
      {eMSG_AGUI_PlayGameOver, "", -1, 0, true},
      {eMSG_AInGame_StopNovalithUnstable, "GAudio : InGame : Stop Novalith Unstable", -1, 0, true},
      {eMSG_ABackground_StopMusic, "GAudio : Background : Stop music", -1, 0, true},
      {eMSG_ALayer_VolumeFadeOutComplete, "", -1, 0, false},
      {eMSG_GChangeState, "", -1, 0, false},
      {eMSG_GDropGem, "", -1, 0, false},
  };
  Start();
  audio_.Update();  // the reserved sources leave layer 0 unplayed
  for (const MessageRow& row : rows) {
    SCOPED_TRACE(GameMessageName(row.id));
    ClearLogLines(kLogSFX);
    const std::vector<int> before = sound_.Playing();
    int speech = kSpeechExcellent;
    CMSGMessage message;
    message.id = row.id;
    message.source = sender_.receiverId;
    message.target = audio_.receiverId;
    message.parameter = reinterpret_cast<intptr_t>(&speech);
    audio_.HandleMessage(&message);

    EXPECT_EQ(message.handled & 1, row.handled ? 1 : 0);
    const std::vector<std::string> lines = LogLinesOf(kLogSFX);
    if (row.logLine[0] != '\0') {
      EXPECT_EQ(lines, std::vector<std::string>{row.logLine});
    } else {
      EXPECT_TRUE(lines.empty());
    }
    std::vector<int> started;
    for (int source : sound_.Playing()) {
      if (std::find(before.begin(), before.end(), source) == before.end()) started.push_back(source);
    }
    if (row.layer < 0) {
      EXPECT_TRUE(started.empty());
      continue;
    }
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(sound_.At(started[0]).buffer, audio_.sounds[row.entry]);
    EXPECT_EQ(LayerOf(audio_, started[0]), row.layer);
    EXPECT_FLOAT_EQ(sound_.At(started[0]).storedGain, audio_.soundVolume);
  }
}

TEST_F(AudioTest, SetsLoadTheirFilesInOrderAndAFailedLoadPlaysNothing) {
  sound_.failing.insert("Resources/Sounds/GemBreak06.ogg");
  audio_.Initialise();
  audio_.LoadSounds(2);
  audio_.LoadSounds(-1);
  EXPECT_TRUE(sound_.loads.empty());
  audio_.LoadSounds(1);
  const std::vector<std::string> gameSet = {
      "stream:Resources/Music/VelkBeat.ogg",          "buffer:Resources/Sounds/GemBreak06.ogg",
      "buffer:Resources/Sounds/GemBreak08.ogg",       "buffer:Resources/Sounds/UnstableNovalith.ogg",
      "buffer:Resources/Sounds/GrowNovalith.ogg",     "buffer:Resources/Sounds/CollapseNovalith.ogg",
      "buffer:Resources/Sounds/ExplodeNovalith.ogg",  "buffer:Resources/Sounds/Achievement.ogg",
      "buffer:Resources/Sounds/RainbowAward.ogg",     "buffer:Resources/Sounds/ClockChime.ogg",
      "buffer:Resources/Sounds/TimerExpired.ogg",     "buffer:Resources/Sounds/GameOver/Phrase1.ogg",
      "buffer:Resources/Sounds/GameOver/Phrase2.ogg", "buffer:Resources/Sounds/GameOver/Phrase3.ogg",
      "buffer:Resources/Sounds/GameOver/Phrase4.ogg", "buffer:Resources/Sounds/GameOver/Phrase5.ogg",
      "buffer:Resources/Sounds/GameOver/Phrase6.ogg",
  };
  EXPECT_EQ(sound_.loads, gameSet);
  sound_.loads.clear();
  audio_.LoadSounds(0);
  const std::vector<std::string> frontEndSet = {
      "buffer:Resources/Sounds/GemPlacement.ogg",     "buffer:Resources/Sounds/GemChink01.ogg",
      "buffer:Resources/Sounds/FrontEnd/Phrase1.ogg", "buffer:Resources/Sounds/FrontEnd/Phrase2.ogg",
      "buffer:Resources/Sounds/FrontEnd/Phrase3.ogg", "buffer:Resources/Sounds/FrontEnd/Phrase4.ogg",
      "buffer:Resources/Sounds/FrontEnd/Phrase5.ogg", "buffer:Resources/Sounds/FrontEnd/Phrase6.ogg",
  };
  EXPECT_EQ(sound_.loads, frontEndSet);
  EXPECT_EQ(audio_.sounds[2], -1);
  EXPECT_EQ(audio_.sounds[12], -1);
  EXPECT_EQ(audio_.sounds[0], 15);  // the failed load used no index

  Post(eMSG_AInGame_PlayFewGemsBroken);
  EXPECT_TRUE(sound_.Playing().empty()) << "a failed load must not play another buffer";
}

TEST_F(AudioTest, AnEntryNeverLoadedPlaysNothing) {
  audio_.Initialise();
  audio_.LoadSounds(0);
  Post(eMSG_AInGame_PlayGemsCleared);  // entry 4: set 1
  PostSting(6);                        // entry 26: set 1
  EXPECT_TRUE(sound_.Playing().empty());
  Post(eMSG_AInGame_PlayGemPlaced);  // entry 0: loaded
  EXPECT_EQ(sound_.Playing().size(), 1u);
}

TEST_F(AudioTest, MessagesBeforeInitialiseAreLostAndTheUpdateWaits) {
  audio_.LoadSounds(0);
  Post(eMSG_AInGame_PlayGemPlaced);
  PostFade(eMSG_ALayer_VolumeFadeIn, 0, 0.0f);
  audio_.Update();
  EXPECT_TRUE(sound_.sources.empty());
  EXPECT_EQ(audio_.layers[0].fader.GetTarget(), 0.0f);
  EXPECT_FALSE(audio_.IsActive());

  audio_.Initialise();
  EXPECT_TRUE(audio_.IsActive());
  EXPECT_TRUE(sound_.Playing().empty()) << "nothing was kept for later";
  const size_t reserved = sound_.sources.size();
  audio_.Initialise();
  EXPECT_EQ(sound_.sources.size(), reserved) << "a second Initialise reserves nothing";
}

TEST_F(AudioTest, EnteringNormalSetsTheMasterVolume) {
  FakeAudioSound other;
  GAudio fresh(24, other);
  fresh.Update();
  EXPECT_EQ(other.masterVolume, 0.0f);
  fresh.Update();
  EXPECT_EQ(fresh.GetCurrentStateName(), String("Normal"));
  EXPECT_EQ(other.masterVolume, 1.0f);
}

struct VolumeRow {
  const char* name;
  int stored;  // -1: nothing stored
  float music;
  float sound;
};

TEST_F(AudioTest, StoredVolumesAreReadAsLevelsAndClamped) {
  const VolumeRow rows[] = {
      {nullptr, -1, 0.7f, 1.0f},        {"Audio\\Music", 5, 0.5f, 1.0f}, {"Audio\\Music", 50, 1.0f, 1.0f},
      {"Audio\\Music", -3, 0.0f, 1.0f}, {"Audio\\Sound", 4, 0.7f, 0.4f}, {"Audio\\Sound", 99, 0.7f, 1.0f},
  };
  for (const VolumeRow& row : rows) {
    SCOPED_TRACE(std::string(row.name ? row.name : "none") + " " + std::to_string(row.stored));
    AudioEnvironment scratch;
    if (row.name) AudioEnvironment::StoreLevel(row.name, row.stored);
    FakeAudioSound other;
    GAudio fresh(24, other);
    fresh.Initialise();
    EXPECT_FLOAT_EQ(fresh.musicVolume, row.music);
    EXPECT_FLOAT_EQ(fresh.soundVolume, row.sound);
  }
}

TEST_F(AudioTest, LayerGainIsFaderTimesMasterTimesStoredVolume) {
  AudioEnvironment::StoreLevel("Audio\\Sound", 5);
  Start();
  Post(eMSG_AInGame_PlayGemPlaced);
  const int source = sound_.PlayingBuffer(audio_.sounds[0]);
  ASSERT_GE(source, 0);
  audio_.Update();
  EXPECT_FLOAT_EQ(sound_.At(source).appliedGain, 0.0f) << "layers start silent";

  PostFade(eMSG_ALayer_VolumeFadeIn, 0, 1.0f);
  Steps(5);
  EXPECT_NEAR(audio_.layers[0].fader.GetCurrent(), 0.5f, 1e-5f);
  EXPECT_NEAR(sound_.At(source).appliedGain, 0.5f * 1.0f * 0.5f, 1e-5f);

  Post(eMSG_ABackground_PlayMusic);
  PostFade(eMSG_ALayer_VolumeFadeIn, 3, 0.0f);
  audio_.SetMusicVolume(3);
  audio_.Update();
  EXPECT_NEAR(sound_.At(audio_.musicSource).appliedGain, 0.3f, 1e-5f);
}

TEST_F(AudioTest, TwoUnstableMessagesStartTheLoopOnce) {
  Start();
  Post(eMSG_AInGame_PlayNovalithUnstable);
  Post(eMSG_AInGame_PlayNovalithUnstable);
  EXPECT_EQ(sound_.At(audio_.loopSource).plays, 1);
  EXPECT_TRUE(sound_.At(audio_.loopSource).looping);
  EXPECT_EQ(sound_.At(audio_.loopSource).buffer, audio_.sounds[6]);
  EXPECT_EQ(LayerOf(audio_, audio_.loopSource), 0);
  Post(eMSG_AInGame_StopNovalithUnstable);
  EXPECT_FALSE(sound_.IsSourcePlaying(audio_.loopSource));
}

TEST_F(AudioTest, UnstableStableCyclesKeepLayerZeroPlaying) {
  Start();
  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    Post(eMSG_AInGame_PlayNovalithUnstable);
    Steps(2);
    Post(eMSG_AInGame_StopNovalithUnstable);
    Steps(2);
    ASSERT_TRUE(LayersAreSound(audio_));
    EXPECT_EQ(audio_.layers[0].count, 0u);
  }
  Post(eMSG_AInGame_PlayGemBroken);
  EXPECT_NE(sound_.PlayingBuffer(audio_.sounds[1]), -1) << "layer 0 still takes sounds";
  EXPECT_EQ(audio_.layers[0].count, 1u);
}

TEST_F(AudioTest, MusicPlaysOnceAndRestartsFiveSecondsAfterItEnds) {
  Start();
  Post(eMSG_ABackground_PlayMusic);
  ASSERT_TRUE(sound_.IsSourcePlaying(audio_.musicSource));
  EXPECT_EQ(sound_.At(audio_.musicSource).stream, audio_.sounds[GAudio::kMusicEntry]);
  EXPECT_FLOAT_EQ(sound_.At(audio_.musicSource).storedGain, 0.7f);
  Post(eMSG_ABackground_PlayMusic);
  EXPECT_EQ(sound_.At(audio_.musicSource).plays, 1) << "PlayMusic while it plays does nothing";

  sound_.End(audio_.musicSource);
  audio_.Update();
  AudioEnvironment::DeliverAt(4.9f);
  EXPECT_FALSE(sound_.IsSourcePlaying(audio_.musicSource));
  AudioEnvironment::DeliverAt(5.0f);
  EXPECT_TRUE(sound_.IsSourcePlaying(audio_.musicSource));
  EXPECT_EQ(sound_.At(audio_.musicSource).plays, 2);

  Post(eMSG_ABackground_StopMusic);
  EXPECT_FALSE(sound_.IsSourcePlaying(audio_.musicSource));
  audio_.Update();
  AudioEnvironment::DeliverAt(20.0f);
  EXPECT_FALSE(sound_.IsSourcePlaying(audio_.musicSource)) << "no restart after StopMusic";
}

TEST_F(AudioTest, StoppingTheMusicLayerAloneLetsTheMusicComeBack) {
  Start();
  Post(eMSG_ABackground_PlayMusic);
  PostStop(3);
  audio_.Update();
  AudioEnvironment::DeliverAt(5.0f);
  EXPECT_TRUE(sound_.IsSourcePlaying(audio_.musicSource));

  PostStop(4);  // every layer, and the restart with it
  audio_.Update();
  AudioEnvironment::DeliverAt(20.0f);
  EXPECT_FALSE(sound_.IsSourcePlaying(audio_.musicSource));
  EXPECT_FALSE(audio_.musicOn);
}

TEST_F(AudioTest, FadeOutOfEveryLayerReportsOnceEachAndFadeInNever) {
  Start();
  PostFade(eMSG_ALayer_VolumeFadeIn, 4, 0.3f);
  Steps(10);
  EXPECT_EQ(Completions(), 0);
  for (const AudioLayer& layer : audio_.layers) EXPECT_FLOAT_EQ(layer.fader.GetCurrent(), 1.0f);

  PostFade(eMSG_ALayer_VolumeFadeOut, 4, 0.3f);
  Steps(2);
  EXPECT_EQ(Completions(), 0) << "still fading";
  Steps(10);
  EXPECT_EQ(Completions(), 4);
  for (const AudioLayer& layer : audio_.layers) EXPECT_FLOAT_EQ(layer.fader.GetCurrent(), 0.0f);
}

TEST_F(AudioTest, FadesAdvanceWhileTheClockIsPaused) {
  Start();
  Clock::Instance().SetPaused(true);
  PostFade(eMSG_ALayer_VolumeFadeIn, 1, 0.05f);
  Steps(8);
  Clock::Instance().SetPaused(false);
  EXPECT_FLOAT_EQ(audio_.layers[1].fader.GetCurrent(), 1.0f);
}

TEST_F(AudioTest, AZeroLengthFadeJumpsAndAFadeOutStillReports) {
  Start();
  PostFade(eMSG_ALayer_VolumeFadeIn, 1, 0.0f);
  EXPECT_FLOAT_EQ(audio_.layers[1].fader.GetCurrent(), 1.0f);
  PostFade(eMSG_ALayer_VolumeFadeOut, 1, -1.0f);
  EXPECT_FLOAT_EQ(audio_.layers[1].fader.GetCurrent(), 0.0f);
  audio_.Update();
  audio_.Update();
  EXPECT_EQ(Completions(), 1);
}

TEST_F(AudioTest, NullAndNegativeRecordsAreIgnored) {
  Start();
  Post(eMSG_ALayer_VolumeFadeIn, 0);
  Post(eMSG_ALayer_Stop, 0);
  Post(eMSG_AGUI_PlaySting, 0);
  PostFade(eMSG_ALayer_VolumeFadeIn, -1, 0.0f);
  PostSting(-1);
  PostSting(GAudio::kStingCount);
  for (const AudioLayer& layer : audio_.layers) EXPECT_EQ(layer.fader.GetCurrent(), 0.0f);
  EXPECT_TRUE(sound_.Playing().empty());
}

TEST_F(AudioTest, StingPlaysItsPhraseWithTheMusicVolumeOnLayerOne) {
  Start();
  PostSting(3);
  ASSERT_GE(audio_.stingSource, 0);
  EXPECT_EQ(sound_.At(audio_.stingSource).buffer, audio_.sounds[23]);
  EXPECT_FLOAT_EQ(sound_.At(audio_.stingSource).storedGain, 0.7f);
  EXPECT_EQ(LayerOf(audio_, audio_.stingSource), 1);
  audio_.SetMusicVolume(2);
  EXPECT_FLOAT_EQ(sound_.At(audio_.stingSource).storedGain, 0.2f);
}

TEST_F(AudioTest, ALayerHoldsAtMostTwentyThreePlays) {
  Start();
  audio_.Update();
  for (int i = 0; i < 30; ++i) Post(eMSG_AInGame_PlayGemBroken);
  EXPECT_EQ(audio_.layers[0].count, 23u);
  EXPECT_EQ(sound_.Playing().size(), 23u);
  Post(eMSG_AInGame_PlayNovalithUnstable);
  EXPECT_EQ(audio_.layers[0].count, 24u) << "the loop still joins a full layer";

  for (int i = 0; i < 30; ++i) Post(eMSG_AGUI_PlayMenuSelect);
  PostSting(0);
  EXPECT_EQ(audio_.layers[1].count, 23u);
  EXPECT_TRUE(LayersAreSound(audio_));
}

TEST_F(AudioTest, NoFreeSourceChangesNothing) {
  sound_.sourceLimit = 3;  // the three reserved sources
  Start();
  Post(eMSG_AInGame_PlayGemPlaced);
  PostSting(0);
  EXPECT_EQ(audio_.layers[1].count, 0u);
  EXPECT_EQ(audio_.stingSource, -1);
  EXPECT_TRUE(LayersAreSound(audio_));
}

TEST_F(AudioTest, ASourceHandedOutAgainLeavesItsOldLayer) {
  Start();
  audio_.Update();
  Post(eMSG_AGUI_PlayMenuSelect);
  const int source = sound_.PlayingBuffer(audio_.sounds[1]);
  ASSERT_GE(source, 0);
  sound_.End(source);  // ends between two updates
  Post(eMSG_AInGame_PlayGemBroken);
  ASSERT_EQ(sound_.PlayingBuffer(audio_.sounds[1]), source) << "the fake hands the same source out";
  EXPECT_EQ(LayerOf(audio_, source), 0);
  EXPECT_EQ(audio_.layers[1].count, 0u);
  EXPECT_TRUE(LayersAreSound(audio_));
}

TEST_F(AudioTest, RandomMessagesEndingsAndUpdatesKeepTheLayersSound) {
  const uint32_t plays[] = {eMSG_GMatchedRainbow,
                            eMSG_AInGame_PlayGemPlaced,
                            eMSG_AInGame_PlayGemBroken,
                            eMSG_AInGame_PlayGemsCleared,
                            eMSG_AInGame_PlayNovalithUnstable,
                            eMSG_AInGame_StopNovalithUnstable,
                            eMSG_ABackground_PlayMusic,
                            eMSG_ABackground_StopMusic,
                            eMSG_AGUI_PlayMenuNavigation,
                            eMSG_AInGame_PlayNovalithExplode};
  for (uint32_t seed : {1u, 7u, 1234u}) {
    SCOPED_TRACE(seed);
    platform::SeedRandom(seed);
    FakeAudioSound other;
    other.sourceLimit = 40;
    GAudio fresh(24, other);
    EnterNormal(fresh);
    fresh.Initialise();
    fresh.LoadSounds(0);
    fresh.LoadSounds(1);
    for (int step = 0; step < 3000; ++step) {
      const int action = platform::NextRandom() % 10;
      if (action < 5) {
        const uint32_t id = plays[platform::NextRandom() % std::size(plays)];
        PostGameMessageTo(sender_.receiverId, fresh.receiverId, id, 0, 0.0);
      } else if (action == 5) {
        int sting = platform::NextRandom() % GAudio::kStingCount;
        PostGameMessageTo(sender_.receiverId, fresh.receiverId, eMSG_AGUI_PlaySting, reinterpret_cast<intptr_t>(&sting),
                          0.0);
      } else if (action == 6) {
        const std::vector<int> playing = other.Playing();
        if (!playing.empty()) other.End(playing[platform::NextRandom() % playing.size()]);
      } else if (action == 7) {
        int layer = platform::NextRandom() % 6;
        if (platform::NextRandom() % 4 == 0) {
          PostGameMessageTo(sender_.receiverId, fresh.receiverId, eMSG_ALayer_Stop, reinterpret_cast<intptr_t>(&layer),
                            0.0);
        } else {
          LayerFade fade{layer, static_cast<float>(platform::NextRandom() % 5) * 0.1f};
          const uint32_t id = platform::NextRandom() % 2 ? eMSG_ALayer_VolumeFadeIn : eMSG_ALayer_VolumeFadeOut;
          PostGameMessageTo(sender_.receiverId, fresh.receiverId, id, reinterpret_cast<intptr_t>(&fade), 0.0);
        }
      } else {
        fresh.Update();
      }
      ASSERT_TRUE(LayersAreSound(fresh)) << "step " << step;
    }
  }
}

TEST(AudioServices, TheGamesAudioLayerIsTheProgramWideAudioUntilTheGameGoes) {
  puzzle_test::GameFixture fixture;
  AudioServices services;
  {
    Game game(services);
    ASSERT_NE(game.audio, nullptr);
    EXPECT_EQ(GetGAudio(), game.audio.get());
    EXPECT_EQ(GetGAudio()->maxSources, Game::kAudioVoices);
    EXPECT_EQ(GetAudioReceiverId(), game.audio->receiverId);
    EXPECT_EQ(game.audio->CMSGListener::name, String("Audio"));
    game.audio->Update();  // the registry's first step after the game's own
    EXPECT_EQ(game.audio->GetCurrentStateName(), String("Normal"));
  }
  EXPECT_EQ(GetGAudio(), nullptr);
}

}  // namespace
