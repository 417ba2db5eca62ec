#pragma once

// The game's messages on the GEM service: their ids and names, the two
// program-wide receivers most of them go to, and the records some of them
// point at.

#include <cstdint>

enum GameMessageId : uint32_t {
  eMSG_GChangeState = 0x10001,
  eMSG_GManualGemDrop = 0x10002,
  eMSG_GMatchedMixed = 0x10003,  // points at the disc's MatchRecord
  eMSG_GMatchedSame = 0x10004,   // points at the disc's MatchRecord
  eMSG_GMatchedRainbow = 0x10005,
  eMSG_GRainbowUpdate = 0x10006,
  eMSG_GBrokenBlack = 0x10007,
  eMSG_GDiscClear = 0x10008,
  eMSG_GUnlockPuzzle = 0x10009,
  eMSG_GLockPuzzle = 0x1000a,
  eMSG_GDropGem = 0x1000b,
  eMSG_GCredits = 0x1000c,
  eMSG_GHighScores = 0x1000d,
  eMSG_GNextDisc = 0x1000e,
  eMSG_GNextConstellation = 0x1000f,
  eMSG_GGameModeCompleted = 0x10010,
  eMSG_GAcquireGem = 0x10011,
  eMSG_GAchievementEarned = 0x10012,  // points at the achievement's index (int)
  eMSG_GRendererClearDone = 0x10013,
  // A colour has left the disc; points at the colour index (int). Registered
  // without a name, so traces show it as anonymous.
  eMSG_GColourLeftDisc = 0x10014,
  eMSG_GNovalithFlare = 0x10015,
  eMSG_GNovalithUnstable = 0x10016,
  eMSG_GNovalithStable = 0x10017,
  eMSG_GNovalithExplode = 0x10018,
  eMSG_GNovalithCollapse = 0x10019,
  eMSG_GStoryKillStar = 0x1001a,
  eMSG_GNextProfileDisplay = 0x1001b,
  eMSG_GLoadFE = 0x1001c,
  eMSG_GLoadChallengeGame = 0x1001d,
  eMSG_GLoadPanicGame = 0x1001e,
  eMSG_GLoadJigsawGame = 0x1001f,
  eMSG_GLoadSpeedGame = 0x10020,
  eMSG_GTimerExpired = 0x10021,
  eMSG_GFrontEndNext = 0x10022,
  eMSG_GFrontEndPrevious = 0x10023,
  eMSG_GRestartChallenge = 0x10024,
  eMSG_GNovalithExplosionFinished = 0x10025,
  // 0x10026 and 0x10027 are not used.
  eMSG_GExit = 0x10028,
  eMSG_AInGame_PlayGemPlaced = 0x10029,
  eMSG_AInGame_PlayGemBroken = 0x1002a,
  eMSG_AInGame_PlayFewGemsBroken = 0x1002b,
  eMSG_AInGame_PlayLotsGemsBroken = 0x1002c,
  eMSG_AInGame_PlayGemsCleared = 0x1002d,
  eMSG_AInGame_PlaySpeech = 0x1002e,  // points at a speech index (int)
  eMSG_AInGame_PlayTimerAlarm = 0x1002f,
  eMSG_AInGame_PlayTimerExpire = 0x10030,
  eMSG_AInGame_PlayPuzzleSpin = 0x10031,
  eMSG_AInGame_PlayNovalithUnstable = 0x10032,
  eMSG_AInGame_StopNovalithUnstable = 0x10033,
  eMSG_AInGame_PlayNovalithExplode = 0x10034,
  eMSG_AInGame_PlayNovalithCollapse = 0x10035,
  eMSG_ABackground_PlayMusic = 0x10036,
  eMSG_ABackground_StopMusic = 0x10037,
  eMSG_ALayer_VolumeFadeIn = 0x10038,   // points at a LayerFade
  eMSG_ALayer_VolumeFadeOut = 0x10039,  // points at a LayerFade
  eMSG_ALayer_VolumeFadeOutComplete = 0x1003a,
  eMSG_ALayer_Stop = 0x1003b,     // points at the layer number (int)
  eMSG_AGUI_PlaySting = 0x1003c,  // points at the sting number (int)
  eMSG_AGUI_PlayGameOver = 0x1003d,
  eMSG_AGUI_PlayMenuNavigation = 0x1003e,
  eMSG_AGUI_PlayMenuSelect = 0x1003f,
  eMSG_GLast = 0x10040,
};

// What eMSG_AInGame_PlaySpeech points at: the praise the HUD shows at the
// same moment.
enum SpeechIndex : int {
  kSpeechExcellent = 0,
  kSpeechIncredible = 2,
  kSpeechMasterful = 3,
  kSpeechRainbow = 4,
  kSpeechSkillful = 5,
};

// What the two volume fade messages point at: an audio layer and how long
// its fade takes.
struct LayerFade {
  int layer = 0;
  float seconds = 0.0f;
};

// The registered name of a game id, or null for 0x10014 and unused ids.
const char* GameMessageName(uint32_t id);

// True for the ids whose parameter points at a record on the poster's
// stack: they may only be posted with delay 0, delivered inside the post.
bool GameMessageCarriesPointer(uint32_t id);

// Stores the two program-wide receiver ids and names every game id on the
// GEM service. Called once, by the game's constructor.
void RegisterGameMessages(int32_t gameReceiverId, int32_t audioReceiverId);

// The game object's receiver id; -1 until RegisterGameMessages.
int32_t GetGameReceiverId();
// The audio layer's receiver id; -1 until RegisterGameMessages, and while
// no audio layer exists.
int32_t GetAudioReceiverId();

// Posts on the GEM service from one receiver to another; nothing is posted
// to a negative target (the service would broadcast it). Pointer-carrying
// ids must have delay 0.
void PostGameMessageTo(int32_t source, int32_t target, uint32_t id, intptr_t parameter, double delaySeconds);

// Posts on the GEM service from no source to the game. Nothing is posted
// while the game's id is -1 (the service would broadcast it).
void PostGameMessage(uint32_t id, intptr_t parameter, double delaySeconds);
// Posts on the GEM service from no source to the audio layer. Nothing is
// posted while the audio id is -1: a broadcast would reach the game too,
// which forwards some audio ids and would hear them again without end.
void PostAudioMessage(uint32_t id, intptr_t parameter, double delaySeconds);
