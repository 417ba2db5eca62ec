#include "game/puzzle/Game.h"

#include <cstring>

#include "engine/foundation/DirList.h"
#include "engine/foundation/Profiler.h"
#include "engine/gui/MouseCursor.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/settings/Registry.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/GlyphText.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "platform/UserFolder.h"

namespace {

constexpr const char* kGameName = "Brindle";
constexpr const char* kProfilePattern = "/Profiles/*.profile";
constexpr const char* kProfileFolder = "Profiles/";
constexpr const char* kProfileExtension = ".profile";
// Profiles whose names are this long or longer are passed over at start.
constexpr size_t kLongProfileName = 8;
constexpr int kRegistryNameCapacity = 256;
// The program-wide glyph fonts, one per gem colour and the black one.
constexpr uint32_t kGlyphFontCount = 8;

struct ModeStateEntry {
  GameStateId id;
  const char* name;
};

// The states the modes fill in; until then they answer the shared messages.
constexpr ModeStateEntry kModeStates[] = {
    {GameStateId::ChallengeStory, "Game.ChallengeStory"},
    {GameStateId::ChallengeGame, "Game.ChallengeGame"},
    {GameStateId::ChallengeProgress, "Game.ChallengeProgress"},
    {GameStateId::ChallengeCompleted, "Game.ChallengeCompleted"},
    {GameStateId::PanicGame, "Game.PanicGame"},
};

struct ShellStateEntry {
  GameStateId id;
  ShellState shell;
};

constexpr ShellStateEntry kShellStates[kShellStateCount] = {
    {GameStateId::IntroVelkSW, ShellState::IntroVelkSW}, {GameStateId::IntroVyre, ShellState::IntroVyre},
    {GameStateId::FrontEnd, ShellState::FrontEnd},       {GameStateId::GameOver, ShellState::GameOver},
    {GameStateId::Credits, ShellState::Credits},         {GameStateId::HighScores, ShellState::HighScores},
    {GameStateId::Loading, ShellState::Loading},         {GameStateId::Instructions, ShellState::Instructions},
};

bool EndsWith(const std::string& text, const char* ending) {
  const size_t length = std::strlen(ending);
  return text.size() >= length && text.compare(text.size() - length, length, ending) == 0;
}

// "Profiles/bob.profile" or "bob.profile" gives "bob".
std::string ProfileBaseName(const char* fileName) {
  std::string name = fileName;
  if (name.rfind(kProfileFolder, 0) == 0) name.erase(0, std::strlen(kProfileFolder));
  if (EndsWith(name, kProfileExtension)) name.erase(name.size() - std::strlen(kProfileExtension));
  return name;
}

}  // namespace

std::unique_ptr<GameProfile> ChooseStartProfile(GameServices& services) {
  char lastUsed[kRegistryNameCapacity] = {};
  if (RegistryReadValue("Profile", lastUsed, sizeof(lastUsed)) > 0 && lastUsed[0] != '\0') {
    // A profile that loads ends the search; one that fails is deleted.
    if (std::unique_ptr<GameProfile> profile = services.LoadProfile(String(lastUsed))) return profile;
  }
  // The profiles are the player's files, kept in the user folder.
  DirList listing;
  listing.Scan((platform::UserFolder() + kProfilePattern).c_str());
  for (uint32_t i = 0; i < listing.FileCount(); ++i) {
    const std::string name = ProfileBaseName(listing.GetFile(i).Chars());
    if (name.empty() || name.size() >= kLongProfileName) continue;
    if (std::unique_ptr<GameProfile> profile = services.LoadProfile(String(name.c_str()))) return profile;
  }
  return nullptr;
}

Game::Game(GameServices& gameServices) : services(gameServices) {
  CMSGListener::name = kGameName;
  SetActive(1);
  BuildStates();
  SetNextState(State(GameStateId::IntroVelkSW));

  Profiler::Instance().SetEnabled(false);
  GlyphText::NewArray(kGlyphFontCount);
  audio = services.CreateAudioLayer(kAudioVoices);
  if (audio) audio->Update();
  RegisterGameMessages(receiverId, audio ? audio->receiverId : -1);
  profile = ChooseStartProfile(services);

  AddCamera(&puzzleCamera);
  // Nothing bears this name until the puzzle view is set up, so the current
  // camera stays as it is.
  FindNamedObject(String(kPuzzleCameraName));
  // Made before the window: the managers touch GL only when they draw.
  EffectsPool::Instance();

  for (int mode = 0; mode < kHighScoreTables; ++mode) {
    for (HighScoreEntry& row : highScores[mode]) {
      row.name = mode == kModeChallenge ? "Doh" : "Dur";
      row.score = 0;
      row.stars = 0;
    }
  }
  services.LoadHighScores(highScores);

  GetMouseCursor()->visible = 0;
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  GetDisplay()->SetClearColour(white);
  Profiler::Instance().SetEnabled(false);
  // Escape pauses the game instead of quitting; the developer tools wait
  // for "-dev" on the command line.
  options = GEMOptions{};
  options.scaleOnLoad = 1;
  options.showLogos = 0;
  options.escapeQuits = 0;
  options.developerKeys = 0;
  options.createDeveloperWindow = 0;
  options.axesMask = 0;
  options.axesLabels = 0;
  options.groundPlane = 0;
  options.modelViewer = 0;
  options.cdsDrawing = 0;
  options.lightGizmos = 0;
}

Game::~Game() {
  profile.reset();
  audio.reset();
  // Posts after the game has gone reach no one.
  RegisterGameMessages(-1, -1);
  // A quit in the middle of a state leaves its views and plane behind. The
  // renderer points at the plane and at the discs: it goes first.
  renderer.reset();
  galacticPlane.reset();
  currentDisc = nullptr;
  discs.clear();
  hud.reset();
}

void Game::BuildStates() {
  for (const ShellStateEntry& entry : kShellStates) {
    std::unique_ptr<FsmState>& state = shellStates_[static_cast<int>(entry.shell)];
    state = services.CreateState(*this, entry.shell);
    if (!state) state = NullGameServices().CreateState(*this, entry.shell);
    states_[static_cast<int>(entry.id)] = state.get();
  }
  int next = 0;
  for (const ModeStateEntry& entry : kModeStates) {
    FsmStateOf<Game>& state = modeStates_[next++];
    // The completed Challenge answers messages as the credits do.
    const auto message =
        entry.id == GameStateId::ChallengeCompleted ? &Game::CreditsMessage : &Game::SharedMessagesOnly;
    state.Set(this, entry.name, nullptr, nullptr, message, nullptr);
    states_[static_cast<int>(entry.id)] = &state;
  }
  // The Panic mode.
  ModeState(GameStateId::PanicGame)
      .Set(this, "Game.PanicGame", &Game::OnEnterPanicGameFSM, &Game::OnUpdatePanicGameFSM, &Game::PanicGameFSM,
           &Game::OnExitPanicGameFSM);
  // The Challenge game, story and pages.
  ModeState(GameStateId::ChallengeGame)
      .Set(this, "Game.ChallengeGame", &Game::OnEnterChallengeGameFSM, &Game::OnUpdateChallengeGameFSM,
           &Game::ChallengeGameFSM, &Game::OnExitChallengeGameFSM);
  ModeState(GameStateId::ChallengeStory)
      .Set(this, "Game.ChallengeStory", &Game::OnEnterChallengeStoryFSM, &Game::OnUpdateChallengeStoryFSM,
           &Game::ChallengeStoryFSM, &Game::OnExitChallengeStoryFSM);
  ModeState(GameStateId::ChallengeProgress)
      .Set(this, "Game.ChallengeProgress", &Game::OnEnterChallengeProgressFSM, &Game::OnUpdateChallengeProgressFSM,
           &Game::ChallengeProgressFSM, &Game::OnExitChallengeProgressFSM);
  FsmStateOf<Game>& completed = ModeState(GameStateId::ChallengeCompleted);
  completed.onEnter = &Game::OnEnterChallengeCompletedFSM;
  completed.onExit = &Game::OnExitChallengeCompletedFSM;
}

FsmStateOf<Game>& Game::ModeState(GameStateId id) {
  // The modes' states are the game's own; the shell's are built by the shell.
  return *static_cast<FsmStateOf<Game>*>(State(id));
}

void Game::CreditsMessage(CMSGMessage* message) {
  if (FsmState* credits = State(GameStateId::Credits)) credits->Message(message);
}
