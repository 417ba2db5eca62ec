#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/File.h"
#include "engine/graphics/Material.h"
#include "platform/Random.h"

namespace {

class ParticleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SeedRandom(1);
    Clock::Instance().SetPaused(false);
    Clock::Instance().SetFixedStep(0.05f);
    system_.Create(4);
    system_.enabled = true;
    system_.emitRate = 10.0f;
  }
  ParticleManager system_;
};

TEST_F(ParticleTest, RateModeSpreadsEmissionOverFrames) {
  const int expected[] = {0, 1, 0, 1, 0, 1};
  for (int frame = 0; frame < 6; ++frame) EXPECT_EQ(system_.Emit(10), expected[frame]) << "frame " << frame;
  EXPECT_EQ(system_.LiveCount(), 3);
}

TEST_F(ParticleTest, NothingIsEmittedWhileDisabledOrPaused) {
  system_.rateMode = false;
  system_.enabled = false;
  EXPECT_EQ(system_.Emit(2), 0);
  system_.enabled = true;
  Clock::Instance().SetPaused(true);
  EXPECT_EQ(system_.Emit(2), 0);
  Clock::Instance().SetPaused(false);
  EXPECT_EQ(system_.Emit(2), 2);
  ParticleManager empty;  // capacity 0 never spawns
  empty.enabled = true;
  empty.rateMode = false;
  EXPECT_EQ(empty.Emit(3), 0);
}

TEST_F(ParticleTest, FullPoolRefusesUnlessRecycling) {
  system_.rateMode = false;
  EXPECT_EQ(system_.Emit(6), 4);
  EXPECT_EQ(system_.Emit(1), 0);
  EXPECT_EQ(system_.Spawn(), nullptr);
  Particle* oldest = system_.GetLive(0);
  system_.recycle = true;
  EXPECT_EQ(system_.Emit(1), 1);
  EXPECT_EQ(system_.LiveCount(), 4);
  EXPECT_EQ(system_.GetLive(4), nullptr);
  // The oldest slot was reused and every record is still listed once.
  bool seen[4] = {};
  for (int i = 0; i < 4; ++i) seen[system_.GetLive(i) - system_.pool] = true;
  EXPECT_TRUE(seen[0] && seen[1] && seen[2] && seen[3]);
  EXPECT_NE(system_.GetLive(0), oldest);
}

TEST_F(ParticleTest, LifeFadeAndRemovalKeepTheLiveListPacked) {
  system_.rateMode = false;
  system_.emitRate = 0.0f;
  system_.lifespan = 0.1f;
  system_.fadeTime = -1.0f;
  system_.colour[3] = 0.8f;
  system_.Emit(3);
  for (int i = 0; i < 3; ++i) system_.GetLive(i)->flicker = false;
  Particle* keeper = system_.GetLive(2);
  keeper->life.Set(ValueStepper::kClamp, 0.0f, 0.0f, 0.0f, 0.0f);  // no lifespan: never dies of age
  system_.Update();
  EXPECT_EQ(system_.LiveCount(), 3);
  EXPECT_FLOAT_EQ(system_.GetLive(0)->colour[3], 0.95f * 0.8f);
  system_.Update();
  ASSERT_EQ(system_.LiveCount(), 1);
  EXPECT_EQ(system_.GetLive(0), keeper);
}

TEST_F(ParticleTest, SpawnClampsSpeedAndMovesUnderGravity) {
  system_.maxSpeed = 0.5f;
  system_.gravity = 2.0f;
  const Vector3 fast(0.0f, 0.0f, 3.0f);
  Particle* p = system_.Spawn(&fast);
  ASSERT_NE(p, nullptr);
  p->flicker = false;
  EXPECT_FLOAT_EQ(p->speed, 0.5f);
  EXPECT_EQ(p->velocity, Vector3(0.0f, 0.0f, 0.5f));
  system_.Update();
  EXPECT_FLOAT_EQ(p->velocity.y, -0.1f);  // per-frame change: 0.05 x 2 down
  EXPECT_FLOAT_EQ(p->position.z, 0.5f);
}

struct VertexCase {
  int32_t quads;
  int32_t perParticle;
};

class ParticleVertexTest : public ParticleTest, public ::testing::WithParamInterface<VertexCase> {};

TEST_P(ParticleVertexTest, LiveParticlesWriteTheirVertices) {
  CMATMaterial material;
  system_.SetMaterial(&material);
  system_.quads = GetParam().quads;
  system_.sizeMin = system_.sizeMax = 2.0f;
  const Vector3 still(0.0f, 0.0f, 0.0f);
  system_.Spawn(&still)->flicker = false;
  system_.Spawn(&still)->flicker = false;
  system_.Update();
  ASSERT_EQ(system_.DrawnCount(), 2);
  EXPECT_EQ(system_.VerticesPerParticle(), GetParam().perParticle);
  const EffectVertex& first = system_.Vertices()[0];
  if (GetParam().quads != 0) {
    EXPECT_EQ(first.x, -1.0f);  // (-right - up) / 2 x size
    EXPECT_EQ(first.y, -1.0f);
    EXPECT_EQ(system_.Vertices()[2].x, 1.0f);
  } else {
    EXPECT_EQ(first.u, 0.0f);
    EXPECT_EQ(first.v, 2.0f);
    EXPECT_EQ(first.y, 3.0f);  // twice the quad's height above its bottom edge
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ParticleVertexTest, ::testing::Values(VertexCase{1, 4}, VertexCase{0, 3}));

class ParticleDefinitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/fx-particles-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/system.txt";
  }
  void TearDown() override {
    unlink(path_.c_str());
    rmdir(folder_.c_str());
  }
  void WriteText(const std::string& text) {
    FILE* out = fopen(path_.c_str(), "w");
    fputs(text.c_str(), out);
    fclose(out);
  }
  std::string ReadText() {
    std::string text;
    FILE* in = fopen(path_.c_str(), "r");
    for (int c; (c = fgetc(in)) != EOF;) text += static_cast<char>(c);
    fclose(in);
    return text;
  }
  std::string folder_;
  std::string path_;
};

TEST_F(ParticleDefinitionTest, WriteThenReadWithAndWithoutBillboard) {
  for (bool billboard : {true, false}) {
    ParticleManager source;
    source.name = "Sparks";
    source.Create(12);
    source.quads = 0;
    source.spaceMode = 2;
    source.renderingValue = 5;
    source.renderingFlag = true;
    source.billboard = billboard;
    source.billboardUp = Vector3(0.0f, 0.0f, 1.0f);
    source.sizeMin = 0.25f;
    source.fadeTime = -0.5f;
    source.gravity = 0.0981f;
    source.windDirection = Vector3(1.0f, 0.0f, 0.0f);
    {
      FileText out;
      ASSERT_TRUE(out.OpenWrite(path_.c_str()) & File::kOpen);
      source.Write(out);
    }
    const std::string text = ReadText();
    EXPECT_NE(text.find("\t[RENDERING] = 0 2 5 1\n"), std::string::npos);
    EXPECT_EQ(text.find("[BBUP]") != std::string::npos, billboard);
    EXPECT_NE(text.find("\t[MATERIAL] = None\n}\n"), std::string::npos);

    ParticleManager copy;
    FileText in;
    ASSERT_TRUE(in.OpenRead(path_.c_str()) & File::kOpen);
    ASSERT_TRUE(copy.Read(in));
    EXPECT_STREQ(copy.name.Chars(), "Sparks");
    EXPECT_EQ(copy.capacity, 12);
    EXPECT_EQ(copy.quads, 0);
    EXPECT_EQ(copy.spaceMode, 2);
    EXPECT_EQ(copy.renderingValue, 5);
    EXPECT_TRUE(copy.renderingFlag);
    EXPECT_EQ(copy.billboard, billboard);
    EXPECT_EQ(copy.billboardUp, billboard ? Vector3(0.0f, 0.0f, 1.0f) : Vector3(0.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(copy.sizeMin, 0.25f);
    EXPECT_FLOAT_EQ(copy.fadeTime, -0.5f);
    EXPECT_FLOAT_EQ(copy.gravity, 0.0981f);
    EXPECT_EQ(copy.windDirection, Vector3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(copy.material, nullptr);
  }
}

TEST_F(ParticleDefinitionTest, DamagedDefinitionsAreRefused) {
  const std::string good =
      "Fx\n{\n\t[CAPACITY] = 8\n\t[RENDERING] = 1 1 8 0\n\t[BILLBOARD] = 0\n\t[COLOUR] = (1, 1, 1, 1)\n"
      "\t[CHANGER] = 0 0 750\n\t[EMITTER] = 0\n\t{\n\t\t[SIZE] = 1 1 0\n\t\t[FADE] = 1 0\n"
      "\t\t[MAX SPEED] = 1\n\t\t[EMIT RATE] = 0\n\t}\n\t[LIFESPAN] = 1\n\t[GRAVITY] = (0) (0, -1, 0)\n"
      "\t[WIND] = (0) (0, 0, 0)\n\t[MATERIAL] = None\n}\n";
  const std::string cases[] = {
      good.substr(0, good.find("\t[LIFESPAN]")),  // truncated
      "Fx\n{\n\t[CAPACITY] = 2000000000\n" + good.substr(good.find("\t[RENDERING]")),
      "Fx\n{\n\t[CAPACITY] = -3\n" + good.substr(good.find("\t[RENDERING]")),
      "Fx\n{\n\t[CAPACITY] = 8\n\t[RENDERING] = 1 1\n",
      "",
  };
  for (const std::string& text : cases) {
    WriteText(text);
    ParticleManager system;
    FileText in;
    in.OpenRead(path_.c_str());
    EXPECT_FALSE(system.Read(in)) << text;
    EXPECT_EQ(system.capacity, 0);
  }
  // Numbers the frame arithmetic cannot use are refused.
  const struct {
    const char* from;
    const char* to;
  } outOfRange[] = {
      {"[EMIT RATE] = 0", "[EMIT RATE] = 1e30"},
      {"[EMIT RATE] = 0", "[EMIT RATE] = -1"},
      {"[EMIT RATE] = 0", "[EMIT RATE] = nan"},
      {"[LIFESPAN] = 1", "[LIFESPAN] = inf"},
      {"[GRAVITY] = (0)", "[GRAVITY] = (-inf)"},
      {"(0, -1, 0)", "(0, 1e38, 0)"},
      {"[COLOUR] = (1, 1, 1, 1)", "[COLOUR] = (1, nan, 1, 1)"},
      {"[CHANGER] = 0 0 750", "[CHANGER] = 1 0 -2147483648"},
  };
  for (const auto& c : outOfRange) {
    std::string text = good;
    text.replace(text.find(c.from), std::string(c.from).size(), c.to);
    WriteText(text);
    ParticleManager system;
    FileText in;
    in.OpenRead(path_.c_str());
    EXPECT_FALSE(system.Read(in)) << c.to;
    EXPECT_EQ(system.capacity, 0);
  }
  WriteText(good);
  ParticleManager system;
  FileText in;
  in.OpenRead(path_.c_str());
  EXPECT_TRUE(system.Read(in));
  EXPECT_EQ(system.capacity, 8);
}

}  // namespace
