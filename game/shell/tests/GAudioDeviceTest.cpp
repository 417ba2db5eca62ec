// The game's audio layer on the engine's sound manager, opened as the run
// opens it, on OpenAL's null driver.

#include <AL/al.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/sound/SFXManager.h"
#include "engine/runtime/tests/support/OggTone.h"
#include "game/rules/GameMessages.h"
#include "game/shell/GAudio.h"
#include "support/AudioTestSupport.h"

namespace {

float SourceGain(int source) {
  ALfloat gain = -1.0f;
  alGetSourcef(GetSFXManager()->GetSource(source)->GetALSource(), AL_GAIN, &gain);
  return gain;
}

// A scratch "Resources" tree of short tones as the working folder.
class AudioDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string root = environment_.folder.Path();
    for (const char* folder : {"/Resources", "/Resources/Sounds", "/Resources/Sounds/FrontEnd",
                               "/Resources/Sounds/GameOver", "/Resources/Music"}) {
      ASSERT_EQ(mkdir((root + folder).c_str(), 0755), 0) << folder;
    }
    // Every file of the sound table, long enough to play through the test's
    // few updates; the music in stereo.
    for (int entry = 0; entry < GAudio::kSoundCount; ++entry) {
      const char* file = GAudio::SoundFile(entry);
      if (!file) continue;
      const bool music = entry == GAudio::kMusicEntry;
      ASSERT_TRUE(WriteOggTone(root + "/" + file, music ? 2 : 1, 22050, music ? 44100 : 22050)) << file;
    }
    char cwd[4096] = {};
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    previousFolder_ = cwd;
    ASSERT_EQ(chdir(root.c_str()), 0);
    ASSERT_TRUE(GetSFXManager()->Init(24)) << "the null driver must open";
    ClearLogLines(kLogSFX);
  }
  void TearDown() override {
    // The run deletes the game, and its audio layer, before shutting sound down.
    audio_.reset();
    GetSFXManager()->Shutdown();
    ASSERT_EQ(chdir(previousFolder_.c_str()), 0);
  }

  shell_test::AudioEnvironment environment_;
  std::string previousFolder_;
  std::unique_ptr<GAudio> audio_;
};

TEST_F(AudioDevice, PlaysFadesAndSetsGainsOnTheNullDriver) {
  shell_test::AudioEnvironment::StoreLevel("Audio\\Sound", 5);
  audio_ = std::make_unique<GAudio>(24);
  audio_->Update();  // leaves the start state, as the game's constructor does
  audio_->Update();  // enters "Normal"
  EXPECT_FLOAT_EQ(GetSFXManager()->GetVolume(), 1.0f);
  audio_->Initialise();
  audio_->LoadSounds(0);
  audio_->LoadSounds(1);
  GetSFXManager()->LoadQueued();
  EXPECT_EQ(GetSFXManager()->GetPending(), 0);
  for (int entry : {0, 1, 2, 9, 20, 31}) EXPECT_GE(audio_->sounds[entry], 0) << entry;
  EXPECT_GE(audio_->sounds[GAudio::kMusicEntry], 0);

  LayerFade fade{0, 1.0f};
  PostGameMessageTo(-1, audio_->receiverId, eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&fade), 0.0);
  LayerFade musicFade{3, 0.0f};
  PostGameMessageTo(-1, audio_->receiverId, eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&musicFade), 0.0);
  PostGameMessageTo(-1, audio_->receiverId, eMSG_AInGame_PlayGemPlaced, 0, 0.0);
  PostGameMessageTo(-1, audio_->receiverId, eMSG_ABackground_PlayMusic, 0, 0.0);
  int sting = 2;
  PostGameMessageTo(-1, audio_->receiverId, eMSG_AGUI_PlaySting, reinterpret_cast<intptr_t>(&sting), 0.0);
  ASSERT_EQ(audio_->layers[0].count, 3u);  // the gem, the loop and the spare source
  ASSERT_EQ(audio_->layers[3].count, 1u);

  const int gem = audio_->layers[0].sources[2];
  ASSERT_TRUE(GetSFXManager()->IsSourcePlaying(gem));
  for (int frame = 0; frame < 5; ++frame) {
    audio_->Update();
    GetSFXManager()->Update();
  }
  ASSERT_EQ(audio_->layers[0].count, 1u) << "the unplayed reserved sources left the layer";
  EXPECT_TRUE(GetSFXManager()->IsSourcePlaying(gem));
  const float fader = audio_->layers[0].fader.GetCurrent();
  EXPECT_NEAR(fader, 0.5f, 1e-5f);
  EXPECT_NEAR(SourceGain(gem), fader * 1.0f * 0.5f, 1e-4f);
  EXPECT_NEAR(SourceGain(audio_->musicSource), 1.0f * 1.0f * 0.7f, 1e-4f);
  EXPECT_NEAR(SourceGain(audio_->stingSource), 0.0f, 1e-6f) << "layer 1 was never faded in";

  PostGameMessageTo(-1, audio_->receiverId, eMSG_ABackground_StopMusic, 0, 0.0);
  audio_->Update();
  EXPECT_EQ(audio_->layers[3].count, 0u);

  for (const std::string& line : LogLinesOf(kLogSFX)) EXPECT_NE(line.rfind("OpenAL", 0), 0u) << line;
  EXPECT_EQ(CountLogLines(kLogSFX, "GAudio : Background : Play Music"), 1);
}

}  // namespace
