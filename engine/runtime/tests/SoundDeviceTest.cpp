// The sound service on OpenAL's null driver: a real, silent, mixing device.

#include <AL/al.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/sound/SFXManager.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "platform/tests/support/FifoWatch.h"
#include "support/OggTone.h"

namespace {

class Sound : public ::testing::Test {
 protected:
  void SetUp() override {
    EnableTestLogChannels();
    ASSERT_FALSE(folder_.Path().empty());
    ASSERT_TRUE(sfx_.Init(24)) << "the null driver must open";
    ClearLogLines(kLogSFX);
  }
  void TearDown() override { sfx_.Shutdown(); }

  std::string Tone(const char* name, int channels, long rate, long frames) {
    std::string path = folder_ / name;
    EXPECT_TRUE(WriteOggTone(path, channels, rate, frames)) << path;
    return path;
  }
  std::string Junk(const char* name) {
    std::string path = folder_ / name;
    std::ofstream(path) << "OggS but not really an Ogg Vorbis file at all";
    return path;
  }
  // Runs frames until the source stops or the time is up.
  bool PlayOut(int source, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      sfx_.Update();
      if (!sfx_.IsSourcePlaying(source)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  static ALint BufferSize(const CSFXBuffer* buffer) {
    ALint size = 0;
    alGetBufferi(buffer->GetALBuffer(), AL_SIZE, &size);
    return size;
  }
  static ALint Queued(const CSFXSource* source) {
    ALint queued = 0;
    alGetSourcei(source->GetALSource(), AL_BUFFERS_QUEUED, &queued);
    return queued;
  }
  int ErrorLines() {
    int count = 0;
    for (const std::string& line : LogLinesOf(kLogSFX)) count += line.rfind("OpenAL", 0) == 0;
    return count;
  }

  platform::ScopedTempFolder folder_{"sound"};
  CSFXManager sfx_;
};

TEST(SoundInit, LogsTheDevicesAndWithoutADeviceEveryOperationIsANoOp) {
  EnableTestLogChannels();
  {
    CSFXManager sfx;
    ASSERT_TRUE(sfx.Init(24));
    EXPECT_EQ(CountLogLines(kLogSFX, "Initialising Manager..."), 1);
    EXPECT_EQ(CountLogLines(kLogSFX, "Enumerating devices..."), 1);
    EXPECT_EQ(CountLogLines(kLogSFX, std::string("Default : ") + sfx.GetDefaultDeviceName().Chars()), 1);
    EXPECT_EQ(CountLogLines(kLogSFX, std::string("Devices : ") + sfx.GetDeviceList().Chars()), 1);
    EXPECT_EQ(CountLogLines(kLogSFX, "... success."), 1);
    sfx.Shutdown();
  }
  ClearLogLines(kLogSFX);
  CSFXManager silent;
  EXPECT_FALSE(silent.Init(24, "No Such Device"));
  EXPECT_EQ(CountLogLines(kLogSFX, "... failed."), 1);
  EXPECT_EQ(silent.LoadBuffer("a.ogg"), -1);
  EXPECT_EQ(silent.OpenStream("a.ogg"), -1);
  EXPECT_EQ(silent.GetFreeSource(), -1);
  EXPECT_FALSE(silent.IsSourcePlaying(0));
  EXPECT_EQ(silent.GetSource(0), nullptr);
  silent.Update();
  EXPECT_EQ(silent.GetPending(), 0);
}

TEST_F(Sound, QueuingByNameCountsOncePendingAndRefusesEmptyNames) {
  EXPECT_EQ(sfx_.LoadBuffer("gem.ogg"), 0);
  EXPECT_EQ(sfx_.LoadBuffer("gem.ogg"), 0);
  EXPECT_EQ(sfx_.LoadBuffer("gem2.ogg"), 1);
  EXPECT_EQ(sfx_.OpenStream("gem.ogg"), 0) << "streams are a collection of their own";
  EXPECT_EQ(sfx_.GetPending(), 3);
  EXPECT_EQ(sfx_.LoadBuffer(""), -1);
  EXPECT_EQ(sfx_.OpenStream(""), -1);
  EXPECT_EQ(sfx_.GetBufferCount(), 2);
  EXPECT_EQ(sfx_.FindBuffer("gem2.ogg"), 1);
  EXPECT_EQ(sfx_.FindBuffer("gem2.og"), -1);
}

TEST_F(Sound, DecodesGeneratedTonesToTheExpectedByteCount) {
  struct Case {
    const char* name;
    int channels;
    long rate;
    long frames;
  };
  const Case cases[] = {
      {"mono.ogg", 1, 22050, 10000},
      {"stereo.ogg", 2, 44100, 5000},
      {"CAPITALS.OGG", 1, 8000, 4000},  // the extension test ignores case
      {"tone.ogg.bin", 1, 8000, 4000},  // and looks anywhere in the name
  };
  for (const Case& c : cases) {
    int index = sfx_.LoadBuffer(Tone(c.name, c.channels, c.rate, c.frames).c_str());
    sfx_.Update();
    const CSFXBuffer* buffer = sfx_.GetBuffer(index);
    ASSERT_NE(buffer->GetALBuffer(), 0u) << c.name;
    EXPECT_EQ(BufferSize(buffer), c.frames * c.channels * 2) << c.name;
    ALint frequency = 0;
    alGetBufferi(buffer->GetALBuffer(), AL_FREQUENCY, &frequency);
    EXPECT_EQ(frequency, c.rate) << c.name;
  }
  EXPECT_EQ(sfx_.GetPending(), 0);
  EXPECT_EQ(ErrorLines(), 0);
}

TEST_F(Sound, FilesThatCannotBeDecodedAreTriedOnceAndLogged) {
  struct Case {
    std::string name;
    std::string line;  // empty: nothing logged
  };
  const Case cases[] = {
      {folder_ / "missing.ogg", "Unable to decode " + (folder_ / "missing.ogg")},
      {Junk("junk.ogg"), "Unable to decode " + (folder_ / "junk.ogg")},
      {Tone("three.ogg", 3, 8000, 2000), "Unsupported channel count in " + (folder_ / "three.ogg")},
      {folder_ / "effect.wav", ""},
  };
  for (const Case& c : cases) {
    ClearLogLines(kLogSFX);
    int index = sfx_.LoadBuffer(c.name.c_str());
    sfx_.Update();
    sfx_.Update();
    EXPECT_EQ(sfx_.GetBuffer(index)->GetALBuffer(), 0u) << c.name;
    EXPECT_TRUE(sfx_.GetBuffer(index)->WasLoadAttempted()) << c.name;
    EXPECT_EQ(CountLogLines(kLogSFX, "Loading buffer... " + c.name), 1) << c.name;
    if (!c.line.empty()) {
      EXPECT_EQ(CountLogLines(kLogSFX, c.line), 1) << c.name;
    }
    EXPECT_EQ(sfx_.GetPending(), 0) << c.name;
  }
}

TEST_F(Sound, LoadLimitOfOneLoadsNewestBuffersFirstThenStreamsAndSkipsFailures) {
  std::string good = Tone("good.ogg", 1, 8000, 800);
  std::string tone2 = Tone("tone2.ogg", 1, 8000, 800);
  std::string music = Tone("music.ogg", 2, 8000, 800);
  sfx_.LoadBuffer(good.c_str());                       // 0
  sfx_.LoadBuffer((folder_ / "missing.ogg").c_str());  // 1: fails
  sfx_.LoadBuffer(tone2.c_str());                      // 2
  sfx_.OpenStream(music.c_str());
  sfx_.SetLoadLimit(1);
  const std::string expected[] = {"Loading buffer... " + tone2, "Loading buffer... " + (folder_ / "missing.ogg"),
                                  "Loading buffer... " + good, "Opening stream... " + music};
  for (int frame = 0; frame < 4; ++frame) {
    ClearLogLines(kLogSFX);
    sfx_.Update();
    EXPECT_EQ(CountLogLines(kLogSFX, expected[frame]), 1) << "frame " << frame;
    if (frame == 0) {
      // Pending files, then the highest buffer index plus the highest stream index.
      EXPECT_EQ(CountLogLines(kLogSFX, "4 / 2 resources to load"), 1);
    }
    EXPECT_EQ(sfx_.GetPending(), 3 - frame);
    EXPECT_EQ(sfx_.GetLoadedThisPass(), 1) << "frame " << frame;
  }
  EXPECT_NE(sfx_.GetBuffer(0)->GetALBuffer(), 0u) << "a failed file must not block later ones";
  EXPECT_TRUE(sfx_.GetStream(0)->HasDecoder());
  ClearLogLines(kLogSFX);
  sfx_.Update();
  EXPECT_TRUE(LogLinesOf(kLogSFX).empty()) << "nothing is retried";
  sfx_.LoadQueued();
  EXPECT_EQ(sfx_.GetLoadedThisPass(), 0) << "an idle call loads nothing";
}

TEST_F(Sound, PlaysABufferAndReusesFinishedSources) {
  int buffer = sfx_.LoadBuffer(Tone("click.ogg", 1, 22050, 2205).c_str());
  sfx_.Update();
  int source = sfx_.GetFreeSource();
  ASSERT_EQ(source, 0);
  EXPECT_EQ(sfx_.GetFreeSource(), 0) << "an idle source is handed out again";
  sfx_.BindSourceBuffer(source, buffer);
  sfx_.SetSourceLooping(source, false);
  sfx_.PlaySource(source, 0.5f);
  EXPECT_TRUE(sfx_.IsSourcePlaying(source));
  EXPECT_FLOAT_EQ(sfx_.GetSource(source)->GetGain(), 0.5f);
  EXPECT_EQ(sfx_.GetFreeSource(), 1) << "a playing source is not free";
  EXPECT_TRUE(PlayOut(source, 3.0)) << "a 0.1 s click ends";
  EXPECT_EQ(sfx_.GetFreeSource(), 1);
  EXPECT_EQ(ErrorLines(), 0);
}

// Where a source stands in its buffer, in samples.
ALint SampleOffset(const CSFXSource* source) {
  ALint offset = 0;
  alGetSourcei(source->GetALSource(), AL_SAMPLE_OFFSET, &offset);
  return offset;
}

ALint SourceState(const CSFXSource* source) {
  ALint state = 0;
  alGetSourcei(source->GetALSource(), AL_SOURCE_STATE, &state);
  return state;
}

// Waits (at most two seconds) until the source has moved past the offset.
bool MovesOnFrom(const CSFXSource* source, ALint offset) {
  for (int i = 0; i < 400 && SampleOffset(source) == offset; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return SampleOffset(source) != offset;
}

// While the window is minimised the sound stands still, by the device's
// pause or, on a device without it, source by source; it plays on from there
// afterwards, and a source its owner had paused stays paused.
TEST_F(Sound, SuspendHoldsEverySoundWhereItStandsAndResumePlaysOn) {
  const std::string tone = Tone("hum.ogg", 1, 22050, 22050);
  for (const bool devicePause : {true, false}) {
    SCOPED_TRACE(devicePause ? "the device pauses" : "each source pauses");
    sfx_.SetDevicePauseAllowed(devicePause);
    const int buffer = sfx_.LoadBuffer(tone.c_str());
    sfx_.Update();
    const int playing = sfx_.GetFreeSource();
    sfx_.BindSourceBuffer(playing, buffer);
    sfx_.SetSourceLooping(playing, true);
    sfx_.PlaySource(playing, 1.0f);
    const int held = sfx_.GetFreeSource();
    ASSERT_NE(held, playing);
    sfx_.BindSourceBuffer(held, buffer);
    sfx_.SetSourceLooping(held, true);
    sfx_.PlaySource(held, 1.0f);
    sfx_.PauseSource(held);
    const CSFXSource* music = sfx_.GetSource(playing);
    ASSERT_TRUE(MovesOnFrom(music, 0));

    sfx_.Suspend();
    EXPECT_TRUE(sfx_.IsSuspended());
    const ALint offset = SampleOffset(music);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    sfx_.Update();  // the frames a quit needs still run
    EXPECT_EQ(SampleOffset(music), offset);

    sfx_.Resume();
    EXPECT_FALSE(sfx_.IsSuspended());
    EXPECT_TRUE(MovesOnFrom(music, offset));
    EXPECT_TRUE(sfx_.IsSourcePlaying(playing));
    EXPECT_EQ(SourceState(sfx_.GetSource(held)), AL_PAUSED);
    sfx_.StopAllSources();
  }
  EXPECT_EQ(ErrorLines(), 0);
}

TEST(SoundInit, AVolumeSetBeforeInitIsTheMasterVolumeAfterIt) {
  // The game sets its volume in its constructor, before the run opens the device.
  for (auto [set, expected] : {std::pair{0.5f, 0.5f}, std::pair{1.5f, 1.0f}, std::pair{-0.2f, 0.0f}}) {
    CSFXManager sfx;
    sfx.SetVolume(set);
    ASSERT_TRUE(sfx.Init(24));
    EXPECT_EQ(sfx.GetVolume(), expected) << set;
    sfx.Shutdown();
  }
}

TEST_F(Sound, VolumeClampsAndGetFreeSourceGrowsPastTheBusyPool) {
  sfx_.SetVolume(1.5f);
  EXPECT_EQ(sfx_.GetVolume(), 1.0f);
  sfx_.SetVolume(-0.2f);
  EXPECT_EQ(sfx_.GetVolume(), 0.0f);

  for (int i = 0; i < 24; ++i) {
    int source = sfx_.GetFreeSource();
    ASSERT_EQ(source, i);
    sfx_.SetSourceReserved(source, true);
  }
  EXPECT_EQ(sfx_.GetFreeSource(), 24);
}

TEST_F(Sound, StopsAppendingWhenOpenALRefusesSources) {
  int last = -1;
  for (int i = 0; i < 1000; ++i) {
    int source = sfx_.GetFreeSource();
    if (source < 0) break;
    sfx_.SetSourceReserved(source, true);
    last = source;
  }
  ASSERT_GT(last, 0);
  ASSERT_LT(last, 999) << "the null device has a source limit";
  EXPECT_EQ(sfx_.GetFreeSource(), -1);
  EXPECT_EQ(sfx_.GetSourceCount(), last + 1) << "no dead sources are kept";
  EXPECT_GE(CountLogLines(kLogSFX, "Starving for sources!"), 1);
}

TEST_F(Sound, StreamPlaysToItsEndStaysStoppedAndReplays) {
  // 0.8 s of stereo at 44.1 kHz is a little over two chunks: two primed, one refill.
  std::string path = Tone("music.ogg", 2, 44100, 35280);
  int stream = sfx_.OpenStream(path.c_str());
  sfx_.Update();
  EXPECT_EQ(CountLogLines(kLogSFX, "Stream " + path + " open and ready"), 1);
  EXPECT_NEAR(sfx_.GetStream(stream)->GetTotalTime(), 0.8, 0.01);
  EXPECT_EQ(sfx_.GetStream(stream)->Seek(0.8), 0u) << "a time at the end is not sought";

  int source = sfx_.GetFreeSource();
  sfx_.SetSourceReserved(source, true);
  sfx_.AttachStream(source, stream);
  sfx_.PlaySource(source, 1.0f);
  const CSFXSource* playing = sfx_.GetSource(source);
  EXPECT_EQ(Queued(playing), 2) << "both queue buffers primed";
  EXPECT_EQ(CountLogLines(kLogSFX, "SFX Play stream source (" + std::to_string(playing->GetALSource()) + ")"), 1);
  EXPECT_TRUE(sfx_.IsSourcePlaying(source));

  ASSERT_TRUE(PlayOut(source, 5.0));
  EXPECT_TRUE(playing->IsFinished());
  EXPECT_EQ(Queued(playing), 0) << "the queue is emptied at the end";
  for (int frame = 0; frame < 10; ++frame) sfx_.Update();
  EXPECT_FALSE(sfx_.IsSourcePlaying(source)) << "an ended stream is not restarted";

  sfx_.PlaySource(source, 1.0f);
  EXPECT_TRUE(sfx_.IsSourcePlaying(source)) << "playing again rewinds";
  EXPECT_FALSE(playing->IsFinished());
  EXPECT_EQ(Queued(playing), 2);
  sfx_.StopSource(source);
  EXPECT_EQ(Queued(playing), 0);
  EXPECT_EQ(ErrorLines(), 0);
}

TEST_F(Sound, StarvedStreamIsRefilledAndRestarted) {
  // Two chunks of stereo at 44.1 kHz last 0.74 s; the tone lasts 2 s.
  int stream = sfx_.OpenStream(Tone("long.ogg", 2, 44100, 88200).c_str());
  sfx_.Update();
  int source = sfx_.GetFreeSource();
  sfx_.AttachStream(source, stream);
  sfx_.PlaySource(source, 1.0f);
  // No frames run meanwhile, so the source plays its two buffers and runs dry.
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (sfx_.IsSourcePlaying(source) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_FALSE(sfx_.IsSourcePlaying(source));
  ClearLogLines(kLogSFX);
  sfx_.Update();
  const std::string name = std::to_string(sfx_.GetSource(source)->GetALSource());
  EXPECT_EQ(CountLogLines(kLogSFX, "SFX Source (" + name + ") processed (2) buffers"), 1);
  EXPECT_EQ(CountLogLines(kLogSFX, "SFX Restarting stream source (" + name + ")"), 1);
  EXPECT_TRUE(sfx_.IsSourcePlaying(source));
  EXPECT_EQ(Queued(sfx_.GetSource(source)), 2) << "fresh data, not the old buffers again";
  EXPECT_GT(sfx_.GetStream(stream)->GetTime(), 1.0);
  EXPECT_EQ(ErrorLines(), 0);
}

TEST_F(Sound, StreamsThatCannotOpenNeverDecodeAndEndAtOnce) {
  struct Case {
    std::string name;
    std::string line;
  };
  const Case cases[] = {
      {folder_ / "missing.ogg", "Unable to open stream " + (folder_ / "missing.ogg")},
      {Junk("junk.ogg"), "Unable to decode stream " + (folder_ / "junk.ogg")},
      {Tone("three.ogg", 3, 8000, 2000), "Unsupported channel count in " + (folder_ / "three.ogg")},
  };
  for (const Case& c : cases) {
    ClearLogLines(kLogSFX);
    int stream = sfx_.OpenStream(c.name.c_str());
    sfx_.Update();
    EXPECT_EQ(CountLogLines(kLogSFX, c.line), 1) << c.name;
    EXPECT_FALSE(sfx_.GetStream(stream)->HasDecoder());
    EXPECT_EQ(sfx_.GetStream(stream)->GetTotalTime(), 0.0);
    int source = sfx_.GetFreeSource();
    sfx_.AttachStream(source, stream);
    sfx_.PlaySource(source, 1.0f);
    EXPECT_FALSE(sfx_.IsSourcePlaying(source)) << c.name;
    EXPECT_TRUE(sfx_.GetSource(source)->IsFinished()) << c.name;
    sfx_.Update();
    sfx_.RemoveStream(stream);
  }
  EXPECT_EQ(ErrorLines(), 0);
}

// A FIFO or a folder where a sound or the music should be: refused at once,
// named once on the terminal, and the loading goes on.
TEST_F(Sound, WhatIsNoRegularFileIsRefusedAtOnceAndNamedOnce) {
  const std::string pipe = folder_ / "Pipe.ogg";
  const std::string shelf = folder_ / "Shelf.ogg";
  const std::string music = folder_ / "Music.ogg";
  ASSERT_TRUE(platform::MakeFolder(shelf));
  platform::FifoWatch fifo({pipe, music});
  ASSERT_TRUE(fifo.Made());
  const std::string good = Tone("good.ogg", 1, 8000, 800);
  LogCapture terminal(kLogDBG);
  const int buffers[] = {sfx_.LoadBuffer(pipe.c_str()), sfx_.LoadBuffer(shelf.c_str()), sfx_.LoadBuffer(good.c_str())};
  const int stream = sfx_.OpenStream(music.c_str());
  sfx_.Update();
  sfx_.Update();
  EXPECT_FALSE(fifo.Waited());
  EXPECT_EQ(sfx_.GetPending(), 0);
  EXPECT_EQ(sfx_.GetBuffer(buffers[0])->GetALBuffer(), 0u);
  EXPECT_EQ(sfx_.GetBuffer(buffers[1])->GetALBuffer(), 0u);
  EXPECT_NE(sfx_.GetBuffer(buffers[2])->GetALBuffer(), 0u);
  EXPECT_FALSE(sfx_.GetStream(stream)->HasDecoder());
  EXPECT_EQ(CountLogLines(kLogSFX, "Unable to open stream " + music), 1);
  const std::vector<std::string> lines = terminal.Lines();
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& name : {pipe, shelf, music}) {
    int named = 0;
    for (const std::string& line : lines) named += line.rfind("Cannot load " + name + " (", 0) == 0;
    EXPECT_EQ(named, 1) << name;
  }
}

TEST_F(Sound, RemovingABufferOrStreamDetachesItFromItsSourcesFirst) {
  int buffer = sfx_.LoadBuffer(Tone("loop.ogg", 1, 8000, 8000).c_str());
  int stream = sfx_.OpenStream(Tone("music.ogg", 1, 8000, 8000).c_str());
  sfx_.Update();
  int a = sfx_.GetFreeSource();
  sfx_.SetSourceReserved(a, true);
  int b = sfx_.GetFreeSource();
  sfx_.SetSourceReserved(b, true);
  sfx_.BindSourceBuffer(a, buffer);
  sfx_.SetSourceLooping(a, true);
  sfx_.PlaySource(a, 1.0f);
  sfx_.AttachStream(b, stream);
  sfx_.PlaySource(b, 1.0f);
  ASSERT_TRUE(sfx_.IsSourcePlaying(a));
  ASSERT_TRUE(sfx_.IsSourcePlaying(b));

  sfx_.RemoveBuffer(buffer);
  sfx_.RemoveStream(stream);
  EXPECT_EQ(sfx_.GetBufferCount(), 0);
  EXPECT_EQ(sfx_.GetStreamCount(), 0);
  EXPECT_EQ(sfx_.GetSource(a)->GetBuffer(), nullptr);
  EXPECT_EQ(sfx_.GetSource(b)->GetStream(), nullptr);
  EXPECT_FALSE(sfx_.IsSourcePlaying(a));
  EXPECT_FALSE(sfx_.IsSourcePlaying(b));
  sfx_.Update();
  EXPECT_EQ(ErrorLines(), 0) << "OpenAL refuses to delete a buffer a source holds";
}

TEST(SoundErrors, EveryOpenALErrorHasItsText) {
  EnableTestLogChannels();
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {AL_INVALID_NAME, "OpenAL Error : AL_INVALID_NAME"},
      {AL_INVALID_ENUM, "OpenAL Error : AL_INVALID_ENUM"},
      {AL_INVALID_VALUE, "OpenAL Error : AL_INVALID_VALUE"},
      {AL_INVALID_OPERATION, "OpenAL Error : AL_INVALID_OPERATION"},
      {AL_OUT_OF_MEMORY, "OpenAL Error : AL_OUT_OF_MEMORY"},
      {0x1234, "OpenAL : Unspecified error"},
  };
  EXPECT_TRUE(CSFXManager::CheckError(AL_NO_ERROR));
  EXPECT_TRUE(LogLinesOf(kLogSFX).empty());
  for (const Case& c : cases) {
    EXPECT_FALSE(CSFXManager::CheckError(c.code));
    EXPECT_EQ(CountLogLines(kLogSFX, c.text), 1) << c.text;
  }
}

}  // namespace
