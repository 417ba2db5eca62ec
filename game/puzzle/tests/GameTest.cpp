#include <gtest/gtest.h>

#include <algorithm>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/gui/ScreenFade.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/RunGame.h"
#include "game/rules/GameMessages.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

TEST(GameStartUp, TheFirstStateFollowsCreateAndEveryStateIsInTheTable) {
  GameFixture fixture;
  FakeServices services;
  Game game(services);
  int frames = 0;
  while (!game.IsCurrent(game.GetCreateState()) && frames < 20) {
    game.Frame(false);
    ++frames;
  }
  ASSERT_TRUE(game.IsCurrent(game.GetCreateState()));
  // The frame after Create is left enters the first state of the game.
  while (game.IsCurrent(game.GetCreateState()) && frames < 40) {
    game.Frame(false);
    ++frames;
  }
  EXPECT_EQ(game.GetCurrentState(), nullptr);
  game.Frame(false);
  EXPECT_TRUE(game.IsCurrent(game.State(GameStateId::IntroVelkSW)));

  const char* names[kGameStateCount] = {
      "Game.IntroVelkSW",   "Game.IntroVyre",         "Game.FrontEnd",           "Game.ChallengeStory",
      "Game.ChallengeGame", "Game.ChallengeProgress", "Game.ChallengeCompleted", "Game.PanicGame",
      "Game.GameOver",      "Game.Credits",           "Game.HighScores",         "Game.Loading",
      "Game.Instructions",
  };
  for (int i = 0; i < kGameStateCount; ++i) {
    ASSERT_NE(game.State(static_cast<GameStateId>(i)), nullptr) << i;
    EXPECT_STREQ(game.State(static_cast<GameStateId>(i))->Name().Chars(), names[i]);
  }
  EXPECT_EQ(services.voices, Game::kAudioVoices);
  EXPECT_EQ(services.audio->steps, 1);  // stepped once when built
  EXPECT_EQ(GetGameReceiverId(), game.receiverId);
  EXPECT_EQ(GetAudioReceiverId(), services.audio->receiverId);
  EXPECT_EQ(game.bonusMultiplier, 1u);
  EXPECT_STREQ(game.highScores[0][9].name.Chars(), "Doh");
  EXPECT_STREQ(game.highScores[1][0].name.Chars(), "Dur");
}

TEST(GameStartUp, TheProfileComesFromTheRegistryOrTheFirstShortNameThatLoads) {
  struct Case {
    const char* name;
    const char* lastUsed;
    std::vector<std::string> files;
    std::set<std::string> loadable;
    std::vector<std::string> tried;
    const char* chosen;  // null: none
  };
  const Case cases[] = {
      {"the registry's profile, no scan", "alice", {"bob"}, {"alice", "bob"}, {"alice"}, "alice"},
      {"a registry profile that fails", "ghost", {"bob"}, {"bob"}, {"ghost", "bob"}, "bob"},
      {"names of 8 characters are passed over",
       "",
       {"abcdefgh", "abcdefg"},
       {"abcdefgh", "abcdefg"},
       {"abcdefg"},
       "abcdefg"},
      {"a first file that fails", "", {"aaa", "bbb", "ccc"}, {"bbb", "ccc"}, {"aaa", "bbb"}, "bbb"},
      {"nothing loads", "", {"aaa"}, {}, {"aaa"}, nullptr},
  };
  for (const Case& c : cases) {
    GameFixture fixture;
    for (const std::string& file : c.files) fixture.AddProfileFile(file);
    GameFixture::SetLastProfile(c.lastUsed);
    FakeServices services;
    services.loadable = c.loadable;
    Game game(services);
    EXPECT_EQ(services.tried, c.tried) << c.name;
    if (c.chosen == nullptr) {
      EXPECT_EQ(game.profile, nullptr) << c.name;
      EXPECT_EQ(GetCurrentProfile(), nullptr) << c.name;
    } else {
      ASSERT_NE(game.profile, nullptr) << c.name;
      EXPECT_STREQ(game.profile->name.Chars(), c.chosen) << c.name;
      EXPECT_EQ(GetCurrentProfile(), game.profile.get()) << c.name;
    }
  }
}

TEST(GameStartUp, DeveloperToolsWaitForTheDevFlag) {
  GameFixture fixture;
  NullGameServices services;
  struct Case {
    const char* commandLine;
    bool dev;
  };
  for (const Case& c :
       {Case{"", false}, Case{"-window -dev", true}, Case{"/DEV", true}, Case{"-develop", false}, Case{"dev", false}}) {
    std::unique_ptr<Game> game = BuildGame(services, c.commandLine);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->options.scaleOnLoad, 1) << c.commandLine;
    EXPECT_EQ(game->options.escapeQuits, 0) << c.commandLine;  // Escape pauses the game
    EXPECT_EQ(game->options.showLogos, 0) << c.commandLine;
    EXPECT_EQ(game->options.developerKeys, c.dev ? 1 : 0) << c.commandLine;
    EXPECT_EQ(game->options.createDeveloperWindow, c.dev ? 1 : 0) << c.commandLine;
  }
}

TEST(GameStates, TheCompletedChallengeAnswersAsTheCreditsDo) {
  GameFixture fixture;
  FakeServices services;
  Game game(services);
  CMSGMessage message;
  message.id = eMSG_GFrontEndNext;
  game.State(GameStateId::ChallengeCompleted)->Message(&message);
  EXPECT_EQ(services.creditsMessages, std::vector<uint32_t>{eMSG_GFrontEndNext});
}

TEST(GameStates, ShutdownQuitsFromAShellStateWithTheNullServices) {
  GameFixture fixture;
  NullGameServices services;
  Game game(services);
  GameFixture::RunToFirstState(game);
  ASSERT_TRUE(game.IsCurrent(game.State(GameStateId::IntroVelkSW)));
  EXPECT_EQ(game.Frame(true), 1);
  EXPECT_TRUE(game.HasQuit());
}

class GameReactions : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    GameFixture::RunToFirstState(*game_);
    GetScreenFade()->active = 0;
    Clock::Instance().SetGameTime(0.0f);
  }
};

TEST_F(GameReactions, ARainbowPaysByTheShapeOfItsFirstGroupAndLocksTheDisc) {
  struct Case {
    int firstShape;
    uint32_t points;
  };
  for (const Case& c : {Case{kGemStar, 125000}, Case{kGemTetra, 25000}}) {
    game_->profile->modes[kModeChallenge].pendingScore = 0;
    CGPuzzleDisc disc(1, 3);
    disc.locked = false;
    game_->currentDisc = &disc;
    disc.rainbowGem.colour = kGemWhite;
    disc.rainbowGem.type = c.firstShape;
    PostGameMessage(eMSG_GRainbowUpdate, 0, 0.0);
    PostGameMessage(eMSG_GMatchedRainbow, 0, 0.0);
    EXPECT_EQ(game_->profile->modes[kModeChallenge].pendingScore, c.points) << c.firstShape;
    EXPECT_EQ(game_->profile->rainbow.colour, kGemRed);
    EXPECT_EQ(game_->profile->rainbow.state, GemState::Empty);
    EXPECT_TRUE(disc.locked);
    // The unlock waits three seconds.
    EXPECT_EQ(GetGEMMSGService()->CountMessages(game_->receiverId, eMSG_GUnlockPuzzle), 1u);
    GetGEMMSGService()->CancelMessages(game_->receiverId, eMSG_GUnlockPuzzle);
    game_->currentDisc = nullptr;
  }
  EXPECT_EQ(game_->profile->rainbows, 2u);
  EXPECT_EQ(std::count(services_.audio->received.begin(), services_.audio->received.end(), eMSG_GMatchedRainbow), 2);
  EXPECT_EQ(services_.audio->speeches, (std::vector<int>{kSpeechRainbow, kSpeechRainbow}));
}

TEST(GameRainbow, WithoutAnAudioLayerARainbowIsPaidOnce) {
  GameFixture fixture;
  FakeServices silent;
  silent.withAudio = false;
  silent.loadable = {"tess"};
  GameFixture::SetLastProfile("tess");
  Game quiet(silent);
  GameFixture::RunToFirstState(quiet);
  ASSERT_EQ(GetAudioReceiverId(), -1);
  PostGameMessage(eMSG_GMatchedRainbow, 0, 0.0);
  EXPECT_EQ(quiet.profile->modes[kModeChallenge].pendingScore, 25000u);
  EXPECT_EQ(quiet.profile->rainbows, 1u);
}

TEST_F(GameReactions, AFadeRequestWhileAChangeIsPendingIsDropped) {
  FsmState* frontEnd = game_->State(GameStateId::FrontEnd);
  FsmState* credits = game_->State(GameStateId::Credits);
  game_->fadedIn = true;
  game_->FadeToState(kFadeMusicAndScreen, frontEnd, 1.5f);
  game_->FadeToState(kFadeMusicAndScreen, credits, 0.5f);
  EXPECT_FALSE(game_->fadedIn);
  EXPECT_EQ(game_->pendingState, frontEnd);
  EXPECT_EQ(GetScreenFade()->active, 1);
  ASSERT_EQ(services_.audio->fades.size(), 1u);
  EXPECT_EQ(services_.audio->fades[0].layer, Game::kMusicLayer);
  EXPECT_FLOAT_EQ(services_.audio->fades[0].seconds, 1.5f);
  GameFixture::DeliverAt(1.0f);
  EXPECT_EQ(game_->pendingState, frontEnd);
  GameFixture::DeliverAt(1.5f);
  EXPECT_EQ(game_->pendingState, nullptr);
  game_->Frame(false);
  game_->Frame(false);
  EXPECT_TRUE(game_->IsCurrent(frontEnd));
  game_->FadeIn(kFadeMusicAndScreen, 2.0f);
  EXPECT_TRUE(game_->fadedIn);
  EXPECT_EQ(services_.audio->received.back(), eMSG_ALayer_VolumeFadeIn);
}

TEST_F(GameReactions, FadeModesChooseMusicScreenOrNothing) {
  struct Case {
    int mode;
    bool music;
    bool screen;
  };
  for (const Case& c : {Case{0, true, true}, Case{1, true, false}, Case{2, false, true}, Case{3, false, false}}) {
    Clock::Instance().SetGameTime(0.0f);
    services_.audio->fades.clear();
    GetScreenFade()->active = 0;
    game_->FadeToState(c.mode, game_->State(GameStateId::Loading), 0.25f);
    EXPECT_EQ(services_.audio->fades.size(), c.music ? 1u : 0u) << c.mode;
    EXPECT_EQ(GetScreenFade()->active, c.screen ? 1 : 0) << c.mode;
    // The change still comes after the delay.
    GameFixture::DeliverAt(0.25f);
    EXPECT_EQ(game_->pendingState, nullptr) << c.mode;
  }
}

TEST_F(GameReactions, TheEndOfTheExplosionLeadsToTheGameOverPageUnlessAChangeIsPending) {
  FsmState* loading = game_->State(GameStateId::Loading);
  game_->FadeToState(kFadeScreen, loading, 5.0f);
  game_->fadedIn = true;
  PostGameMessage(eMSG_GNovalithExplosionFinished, 0, 0.0);
  EXPECT_EQ(game_->pendingState, loading);
  EXPECT_TRUE(game_->fadedIn);
  GameFixture::DeliverAt(5.0f);
  PostGameMessage(eMSG_GNovalithExplosionFinished, 0, 0.0);
  EXPECT_EQ(game_->pendingState, game_->State(GameStateId::GameOver));
  EXPECT_FALSE(game_->fadedIn);
  EXPECT_FLOAT_EQ(services_.audio->fades.back().seconds, 3.0f);
  GameFixture::DeliverAt(8.0f);
  EXPECT_EQ(game_->pendingState, nullptr);
}

TEST_F(GameReactions, AnAchievementIsLoggedAndForwardedToTheAudioLayer) {
  StartLogCapture();
  int index = 3;
  PostGameMessage(eMSG_GAchievementEarned, reinterpret_cast<intptr_t>(&index), 0.0);
  const std::vector<std::string> lines = LogLinesOf(kLogDBG);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Achievement : Rainbow Warrior"), lines.end());
  EXPECT_EQ(services_.audio->received.back(), eMSG_GAchievementEarned);
}

TEST_F(GameReactions, OnlyATrulyFullDiscEndsTheGame) {
  // The last free slot filled by a gem that matches leaves breaking gems.
  auto matching = DrawDisc({"RRr", "GBG"});
  game_->currentDisc = matching.get();
  matching->locked = false;
  matching->ProcessMatches(0.0f);
  game_->CheckGameOver();
  EXPECT_TRUE(game_->gameOverText.IsEmpty());
  EXPECT_FALSE(matching->locked);

  auto full = DrawDisc({"RGr", "GBG"});
  game_->currentDisc = full.get();
  full->ProcessMatches(0.0f);
  game_->CheckGameOver();
  EXPECT_STREQ(game_->gameOverText.Chars(), "No moves left!");
  EXPECT_TRUE(full->locked);
  game_->currentDisc = nullptr;
}

}  // namespace
