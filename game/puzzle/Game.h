#pragma once

// The game: an application of the engine with thirteen states, the fields
// the rules, the modes, the renderer and the HUD share, and the shell's
// services. Its states change only through FadeToState; every state's
// Message handler passes the message to SharedMessageFSM first.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/app/GEMApplication.h"
#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/String.h"
#include "engine/runtime/fsm/FsmState.h"
#include "engine/scene/core/Camera.h"
#include "game/puzzle/GameProfile.h"
#include "game/puzzle/GameServices.h"
#include "game/rules/PuzzleDisc.h"

class CTEXTexture;
class Constellation;
class GFrontEnd;
class GalacticPlane;
class GameHud;
class GPuzzleRenderer;

// The game's states in table order.
enum class GameStateId {
  IntroVelkSW,
  IntroVyre,
  FrontEnd,
  ChallengeStory,
  ChallengeGame,
  ChallengeProgress,
  ChallengeCompleted,
  PanicGame,
  GameOver,
  Credits,
  HighScores,
  Loading,
  Instructions,
};
constexpr int kGameStateCount = 13;

// How a fade treats the music and the screen.
enum FadeMode : int {
  kFadeMusicAndScreen = 0,
  kFadeMusic = 1,
  kFadeScreen = 2,
  // Any other value fades nothing.
};

class Game : public CGEMApplication {
 public:
  // The audio layer that the fades of state changes work on.
  static constexpr int kMusicLayer = 4;
  // Voices the audio layer is built with.
  static constexpr int kAudioVoices = 24;

  // Builds the states (the shell's from the services), the audio layer,
  // chooses the current profile and loads the high scores.
  explicit Game(GameServices& gameServices);
  ~Game() override;

  // The state of the table.
  FsmState* State(GameStateId id) const { return states_[static_cast<int>(id)]; }

  // The reactions every state shares; true (and the message marked handled)
  // when the message was one of them.
  bool SharedMessageFSM(CMSGMessage* message);
  // A Message handler for states that answer only the shared messages.
  void SharedMessagesOnly(CMSGMessage* message) { SharedMessageFSM(message); }
  // Fades out (mode), then changes to the state after the seconds. Dropped
  // while another change is pending.
  void FadeToState(int mode, FsmState* state, float seconds);
  // Fades in at a state's start.
  void FadeIn(int mode, float seconds);
  // Ends the game when its disc is full (and, in Panic, when time ran out
  // or the Novalith died); run every frame by the game states. A game ends
  // once: the first condition that holds ends it, and nothing more is done
  // until the next game starts (ResetPlayCounters).
  void CheckGameOver();

  // A drawing hook for screens with nothing of the game to draw.
  static int32_t DrawNothing(int32_t) { return 0; }

  // The puzzle scene (GameScene.cpp).
  // The scene hook of the game states: the scene light, the renderer's
  // current picture and the effects; returns 0.
  int32_t DrawPuzzleScene(int32_t);
  // Shows the renderer the current disc and the discs after it (at most six).
  void ShowCurrentDiscs();
  // A rebuilt window has a fresh GL context: the renderer sets its fog and
  // scene light up in it again.
  void OnDisplayRebuilt() override;

  // Scores the current disc's last match (the game states call it for
  // each match message).
  void ScoreMatch();
  // Pays the cascades counted since the player's last drop.
  void ScoreCascade();

  // Loads the board of the profile's constellation and starts its current
  // disc; false (logged) when no board started.
  bool LoadBoards();
  // Reads a board file into the disc table, releasing the old board.
  bool ReadBoardFile(const char* path);
  // Builds a random disc into the table at the index: Settled gems on
  // every ring but the last, up to the fill ratio, packed to the centre.
  void BuildRandomDisc(unsigned index, unsigned rings, unsigned gems, float fillRatio, uint16_t colourBound,
                       uint16_t shapeBound);
  // Makes the disc of the profile's disc index current; the rainbow run
  // carries over from the disc before.
  void SelectCurrentDisc();
  // Selects the current disc and prepares its queue for play.
  void StartDisc();
  // Releases the board's discs; the current disc's rainbow run is kept for
  // the next one.
  void ReleaseDiscs();
  // The par time of the Challenge star the profile stands at; 0 when the
  // constellations hold no such star.
  float CurrentParSeconds() const;

  // Names the game camera "Game.Puzzle", places it five units above the
  // disc looking straight down and makes it the current camera (the game
  // states' enter handlers call it).
  void SetupPuzzleCamera();
  static constexpr const char* kPuzzleCameraName = "Game.Puzzle";

  // The player's controls. The game states hand their input messages to
  // PuzzleInputMessage (true when it was one): while the pause menu shows
  // it takes the pressed keys and held keys are dropped; otherwise the
  // keys and the pad turn the disc, drop a gem and pause (GameControls.cpp).
  bool PuzzleInputMessage(CMSGMessage* message);
  void OnKeyDown(const uint8_t* keys);
  void OnKeyHeld(const uint8_t* keys);
  void OnPadDown();
  void OnPadHeld();

  // Panic mode ("Game.PanicGame"): replaces the board by one new disc built
  // for the profile's Panic level and starts it (the disc it replaces is
  // released); the state's four handlers.
  void CreatePanicDisc();
  void OnEnterPanicGameFSM();
  void OnUpdatePanicGameFSM();
  void PanicGameFSM(CMSGMessage* message);
  void OnExitPanicGameFSM();
  // What leaving the Panic game records: its time, its result offered to
  // the high-score table (the points still counting up settled first), the
  // rainbow run ended and the profile saved. Once per game.
  void RecordPanicResult();
  // Fifteen seconds without a match shake the star and break the chain.
  void PanicQuake();
  // A cleared disc pays for the whole seconds left on the clock.
  void PayTimeBonus();
  // Set once "Hurry up!" has been shown in this Panic game.
  bool panicHurryShown = false;
  // Set when CheckGameOver has ended the game in play.
  bool gameEnded = false;

  // Saves the current profile; a failure is logged ("Failed to save profile
  // %s") and play goes on. False on failure or without a profile.
  bool SaveProfile();

  // The Challenge story: ten captioned pages over the growing galaxy before
  // the first Challenge game (GameStory.cpp).
  void OnEnterChallengeStoryFSM();
  void OnUpdateChallengeStoryFSM();
  void ChallengeStoryFSM(CMSGMessage* message);
  void OnExitChallengeStoryFSM();
  int32_t DrawStoryText(int32_t);
  int32_t DrawStoryScene(int32_t);
  // Turns the puzzle camera where it stands toward a point.
  void AimStoryCamera(const Vector3& target);

  // The Challenge game: the constellations rebuilt star by star against
  // par times (GameChallenge.cpp).
  void OnEnterChallengeGameFSM();
  void OnUpdateChallengeGameFSM();
  void ChallengeGameFSM(CMSGMessage* message);
  void OnExitChallengeGameFSM();
  // What leaving the Challenge game records: its time, the profile saved
  // (not after a restart, which reloads the saved profile). Once per game.
  void RecordChallengeTime();
  int32_t DrawChallengeHud(int32_t);
  // A finished star: the par bonus, the counters, then the next star, the
  // "Well Done!" page or the closing picture; the profile is saved.
  void CompleteChallengeStar();
  // Both game modes (GamePlay.cpp): the messages they answer alike (true,
  // the message handled, when it was one); the HUD's timers and the one
  // "Hurry up!" per game; the player's keys and pad (the pause menu takes
  // the keys while it shows); leaving for the front end through the loading
  // screen, the profile saved; and the end of a game state: the music
  // stopped and, unless the game-over page takes them over, the HUD,
  // renderer, plane and discs deleted.
  bool PlayMessage(CMSGMessage* message);
  void UpdateHudTimers(float dt);
  // The chain of quick matches lapses after 2 s without one (the HUD's
  // multiplier with it); cascades are paid every second. Run while unlocked.
  void UpdateMatchTimers(float dt);
  void ExitToFrontEnd();
  // Records what leaving the game state in play would (file work only), for
  // a program that ends without another frame (its display lost).
  void RecordPlayInProgress() override;
  // Set once the game in play is recorded: the state's exit and a record
  // made before it (the display lost) do it once between them. Cleared when
  // a game state is entered.
  bool playRecorded = false;
  void LeavePlay();
  // The start of a game state: the puzzle scene hook, a new HUD (full
  // screen, activated, shown and changed) and a new renderer (answering to
  // the game, showing the plane, the profile's constellation and the current
  // disc with the discs after it); and the counters of the game before.
  void CreatePlayViews();
  // The receivers of the HUD and the renderer; -1 while they do not exist.
  int32_t HudReceiverId() const;
  int32_t RendererReceiverId() const;
  void ResetPlayCounters();
  // The frame's common start: false while the pause menu shows; otherwise
  // the renderer steps again (the pause stopped it), the HUD timers run and
  // dt is the frame's time.
  bool StartPlayFrame(float& dt);
  // Locks or unlocks the disc in play; the HUD's clock runs while unlocked.
  void SetPuzzleLocked(bool locked);
  // The quick-match chain lapses, and the HUD stops showing its multiplier.
  void BreakQuickMatchChain();
  // Set when the last constellation of the Challenge is finished.
  bool challengeCompleted = false;

  // The Challenge's pages: "Well Done!" after a constellation and the picture
  // after the last (GameChallengePages.cpp).
  void OnEnterChallengeProgressFSM();
  void OnUpdateChallengeProgressFSM();
  void ChallengeProgressFSM(CMSGMessage* message);
  void OnExitChallengeProgressFSM();
  int32_t DrawProgressPage(int32_t);
  int32_t DrawProgressScene(int32_t);
  // A key or pad press moves a page on: eMSG_Next to the game, at once. True
  // (the message handled) when it was one.
  bool PressPostsNext(CMSGMessage* message);
  // The constellation just finished: the one before the profile's Challenge
  // constellation index; null when that is outside the set.
  Constellation* FinishedConstellation() const;
  void OnEnterChallengeCompletedFSM();
  void OnExitChallengeCompletedFSM();
  int32_t DrawCompletedPicture(int32_t);

  // The shell's services and the current profile (null when none loaded).
  GameServices& services;
  std::unique_ptr<GameProfile> profile;
  std::unique_ptr<GameAudioLayer> audio;

  // Named "Game.Puzzle" when the puzzle view is set up.
  Camera puzzleCamera;
  AnimChannel storyChannels[3];
  // By mode (0 Challenge, 1 Panic), then by rank.
  HighScoreRows highScores;
  AnimChannel highScoreChannel;
  // The screen fade of FadeToState runs from A to B, that of FadeIn back.
  float fadeColourA[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float fadeColourB[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  // Set by FadeIn, cleared by FadeToState: input acts only while set.
  bool fadedIn = false;
  // What the game-over page shows.
  String gameOverText;
  // A save of this game's result (the profile or the high-score table)
  // failed; the game-over page says so. Cleared when a game starts.
  bool resultNotSaved = false;
  // A line the front end shows under its menu until the player leaves it:
  // why the game came back there (empty: nothing to say).
  String frontEndNotice;
  int32_t screenIds[2] = {-1, -1};

  // The front end's window, owned by its screen; null until it exists.
  GFrontEnd* frontEnd = nullptr;
  // The galactic backdrop of the states that show one, and the HUD and the
  // renderer of the game states (CreatePlayViews); null while there is none.
  // The renderer points at the plane: declared after it, it goes first.
  std::unique_ptr<GalacticPlane> galacticPlane;
  std::unique_ptr<GameHud> hud;
  std::unique_ptr<GPuzzleRenderer> renderer;
  CTEXTexture* frontEndTexture = nullptr;
  // The picture of the completed Challenge while it shows.
  CTEXTexture* completedPicture = nullptr;

  // The discs of the loaded board in file order, and the one in play.
  std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
  CGPuzzleDisc* currentDisc = nullptr;

  // Seconds since the last scored match; below 2 a match continues the chain.
  float timeSinceLastMatch = 0.0f;
  // Cascades are paid when this reaches 1 s; the Panic quake at 15 s.
  float cascadeTimer = 0.0f;
  float quakeTimer = 0.0f;
  // Matches of the cascade since the player's last drop.
  unsigned cascadeCount = 0;
  // Consecutive matches each within 2 s of the one before.
  unsigned quickMatchChain = 0;
  unsigned bonusMultiplier = 1;
  // Made current by the next eMSG_GChangeState; null while none is pending.
  FsmState* pendingState = nullptr;

  // Fields of the screens and modes.
  int32_t storyPage = 0;
  // The story's line shows; a fade of the line is running; the constellation
  // losing a star (-1 for none).
  bool storyTextVisible = false;
  bool storyAdvancePending = false;
  int32_t storyKillIndex = -1;
  FsmState* stateAfterLoading = nullptr;
  // Read by the front end: its menus take input.
  uint8_t menuInputActive = 1;
  float idleTime = 0.0f;
  bool showHighScoresAsAttract = false;
  // The Challenge game reloads the current profile when it is entered.
  bool reloadProfile = false;

 private:
  // Input acts while the game is faded in and its disc is unlocked.
  bool PuzzleTakesInput() const;
  void Turn(int step, bool withSound);
  void DropGem();
  void Pause();
  void BuildStates();
  // A state of a mode, to give it its handlers.
  FsmStateOf<Game>& ModeState(GameStateId id);
  void CreditsMessage(CMSGMessage* message);
  void EndGame(const char* reasonLog, const char* reasonText);

  // The rainbow run of a released disc, for the disc selected next.
  CGPuzzleGem carriedRainbow_;
  std::unique_ptr<FsmState> shellStates_[kShellStateCount];
  FsmStateOf<Game> modeStates_[5];
  FsmState* states_[kGameStateCount] = {};
};

// The profile the game starts with: the one the registry's "Profile" value
// names when it loads, else the first profile of the folder listing
// whose name is shorter than 8 characters and loads.
std::unique_ptr<GameProfile> ChooseStartProfile(GameServices& services);
