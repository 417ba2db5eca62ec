// Every sound of the game decoded by the sound manager on OpenAL's null
// driver, under the names the game asks for.

#include <AL/al.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <string>

#include "content/game/GameDataNames.h"
#include "content/game/GameSounds.h"
#include "content/game/Music.h"
#include "engine/runtime/sound/SFXBuffer.h"
#include "engine/runtime/sound/SFXManager.h"
#include "engine/runtime/sound/SFXStream.h"
#include "support/GameDataSupport.h"

namespace {

ALint BufferValue(const CSFXBuffer* buffer, ALenum what) {
  ALint value = 0;
  alGetBufferi(buffer->GetALBuffer(), what, &value);
  return value;
}

class GameSoundsDevice : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sfx_.Init(24)); }
  void TearDown() override { sfx_.Shutdown(); }

  InRunFolder run_;
  CSFXManager sfx_;
};

TEST_F(GameSoundsDevice, EffectsAreMonoAndStingsStereoAtTheirRates) {
  struct Expected {
    std::string name;
    ALint channels, rate;
  };
  std::vector<Expected> sounds;
  for (const char* effect : gamedata::kEffectSounds) sounds.push_back({effect, 1, kEffectRate});
  for (const char* folder : gamedata::kStingFolders) {
    for (int n = 1; n <= gamedata::kStingsPerFolder; ++n) {
      sounds.push_back({std::string(folder) + "/Phrase" + std::to_string(n) + ".ogg", 2, kMusicRate});
    }
  }
  std::vector<int> buffers;
  for (const Expected& sound : sounds) buffers.push_back(sfx_.LoadBuffer(sound.name.c_str()));
  sfx_.Update();
  for (size_t i = 0; i < sounds.size(); ++i) {
    SCOPED_TRACE(sounds[i].name);
    const CSFXBuffer* buffer = sfx_.GetBuffer(buffers[i]);
    ASSERT_NE(buffer, nullptr);
    ASSERT_NE(buffer->GetALBuffer(), 0u);
    EXPECT_EQ(BufferValue(buffer, AL_CHANNELS), sounds[i].channels);
    EXPECT_EQ(BufferValue(buffer, AL_FREQUENCY), sounds[i].rate);
    EXPECT_EQ(BufferValue(buffer, AL_BITS), 16);
    EXPECT_GT(BufferValue(buffer, AL_SIZE), sounds[i].rate / 10);
  }
  // The loop holds a whole number of pulses, so it repeats in time.
  const CSFXBuffer* loop = sfx_.GetBuffer(buffers[6]);
  ASSERT_EQ(sounds[6].name, "Resources/Sounds/UnstableNovalith.ogg");
  EXPECT_EQ(BufferValue(loop, AL_SIZE), ALint(kUnstablePulseSeconds * kUnstablePulses * kEffectRate) * 2);
}

TEST_F(GameSoundsDevice, TheMusicOpensAsAStreamOfAboutNinetySeconds) {
  const int stream = sfx_.OpenStream(gamedata::kMusic);
  sfx_.Update();
  const CSFXStream* music = sfx_.GetStream(stream);
  ASSERT_NE(music, nullptr);
  EXPECT_TRUE(music->HasDecoder());

  OggVorbis_File file;
  ASSERT_EQ(ov_fopen(gamedata::kMusic, &file), 0);
  EXPECT_EQ(ov_info(&file, -1)->channels, 2);
  EXPECT_EQ(ov_info(&file, -1)->rate, kMusicRate);
  EXPECT_NEAR(ov_time_total(&file, -1), kMusicSeconds, 0.01);
  ov_clear(&file);
}

}  // namespace
