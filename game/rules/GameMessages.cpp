#include "game/rules/GameMessages.h"

#include <cassert>

#include "engine/runtime/messages/MSGService.h"

namespace {

struct NamedId {
  uint32_t id;
  const char* name;
};

// In registration order. eMSG_GExit is named twice, early and in its own
// place; the service keeps the first name of a number, so both agree.
constexpr NamedId kGameMessageNames[] = {
    {eMSG_GChangeState, "eMSG_GChangeState"},
    {eMSG_GManualGemDrop, "eMSG_GManualGemDrop"},
    {eMSG_GMatchedMixed, "eMSG_GMatchedMixed"},
    {eMSG_GMatchedSame, "eMSG_GMatchedSame"},
    {eMSG_GMatchedRainbow, "eMSG_GMatchedRainbow"},
    {eMSG_GRainbowUpdate, "eMSG_GRainbowUpdate"},
    {eMSG_GBrokenBlack, "eMSG_GBrokenBlack"},
    {eMSG_GDiscClear, "eMSG_GDiscClear"},
    {eMSG_GUnlockPuzzle, "eMSG_GUnlockPuzzle"},
    {eMSG_GLockPuzzle, "eMSG_GLockPuzzle"},
    {eMSG_GDropGem, "eMSG_GDropGem"},
    {eMSG_GCredits, "eMSG_GCredits"},
    {eMSG_GHighScores, "eMSG_GHighScores"},
    {eMSG_GNextDisc, "eMSG_GNextDisc"},
    {eMSG_GNextConstellation, "eMSG_GNextConstellation"},
    {eMSG_GGameModeCompleted, "eMSG_GGameModeCompleted"},
    {eMSG_GAcquireGem, "eMSG_GAcquireGem"},
    {eMSG_GExit, "eMSG_GExit"},
    {eMSG_GAchievementEarned, "eMSG_GAchievementEarned"},
    {eMSG_GRendererClearDone, "eMSG_GRendererClearDone"},
    {eMSG_GNovalithFlare, "eMSG_GNovalithFlare"},
    {eMSG_GNovalithUnstable, "eMSG_GNovalithUnstable"},
    {eMSG_GNovalithStable, "eMSG_GNovalithStable"},
    {eMSG_GNovalithExplode, "eMSG_GNovalithExplode"},
    {eMSG_GNovalithCollapse, "eMSG_GNovalithCollapse"},
    {eMSG_GStoryKillStar, "eMSG_GStoryKillStar"},
    {eMSG_GNextProfileDisplay, "eMSG_GNextProfileDisplay"},
    {eMSG_GLoadFE, "eMSG_GLoadFE"},
    {eMSG_GLoadChallengeGame, "eMSG_GLoadChallengeGame"},
    {eMSG_GLoadPanicGame, "eMSG_GLoadPanicGame"},
    {eMSG_GLoadJigsawGame, "eMSG_GLoadJigsawGame"},
    {eMSG_GLoadSpeedGame, "eMSG_GLoadSpeedGame"},
    {eMSG_GTimerExpired, "eMSG_GTimerExpired"},
    {eMSG_GFrontEndNext, "eMSG_GFrontEndNext"},
    {eMSG_GFrontEndPrevious, "eMSG_GFrontEndPrevious"},
    {eMSG_GRestartChallenge, "eMSG_GRestartChallenge"},
    {eMSG_GNovalithExplosionFinished, "eMSG_GNovalithExplosionFinished"},
    {eMSG_GExit, "eMSG_GExit"},
    {eMSG_AInGame_PlayGemPlaced, "eMSG_AInGame_PlayGemPlaced"},
    {eMSG_AInGame_PlayGemBroken, "eMSG_AInGame_PlayGemBroken"},
    {eMSG_AInGame_PlayFewGemsBroken, "eMSG_AInGame_PlayFewGemsBroken"},
    {eMSG_AInGame_PlayLotsGemsBroken, "eMSG_AInGame_PlayLotsGemsBroken"},
    {eMSG_AInGame_PlayGemsCleared, "eMSG_AInGame_PlayGemsCleared"},
    {eMSG_AInGame_PlaySpeech, "eMSG_AInGame_PlaySpeech"},
    {eMSG_AInGame_PlayTimerAlarm, "eMSG_AInGame_PlayTimerAlarm"},
    {eMSG_AInGame_PlayTimerExpire, "eMSG_AInGame_PlayTimerExpire"},
    {eMSG_AInGame_PlayPuzzleSpin, "eMSG_AInGame_PlayPuzzleSpin"},
    {eMSG_AInGame_PlayNovalithUnstable, "eMSG_AInGame_PlayNovalithUnstable"},
    {eMSG_AInGame_StopNovalithUnstable, "eMSG_AInGame_StopNovalithUnstable"},
    {eMSG_AInGame_PlayNovalithExplode, "eMSG_AInGame_PlayNovalithExplode"},
    {eMSG_AInGame_PlayNovalithCollapse, "eMSG_AInGame_PlayNovalithCollapse"},
    {eMSG_ABackground_PlayMusic, "eMSG_ABackground_PlayMusic"},
    {eMSG_ABackground_StopMusic, "eMSG_ABackground_StopMusic"},
    {eMSG_ALayer_VolumeFadeIn, "eMSG_ALayer_VolumeFadeIn"},
    {eMSG_ALayer_VolumeFadeOut, "eMSG_ALayer_VolumeFadeOut"},
    {eMSG_ALayer_VolumeFadeOutComplete, "eMSG_ALayer_VolumeFadeOutComplete"},
    {eMSG_ALayer_Stop, "eMSG_ALayer_Stop"},
    {eMSG_AGUI_PlaySting, "eMSG_AGUI_PlaySting"},
    {eMSG_AGUI_PlayGameOver, "eMSG_AGUI_PlayGameOver"},
    {eMSG_AGUI_PlayMenuNavigation, "eMSG_AGUI_PlayMenuNavigation"},
    {eMSG_AGUI_PlayMenuSelect, "eMSG_AGUI_PlayMenuSelect"},
    {eMSG_GLast, "eMSG_GLast"},
};

int32_t gGameReceiverId = -1;
int32_t gAudioReceiverId = -1;

}  // namespace

const char* GameMessageName(uint32_t id) {
  for (const NamedId& entry : kGameMessageNames) {
    if (entry.id == id) return entry.name;
  }
  return nullptr;
}

bool GameMessageCarriesPointer(uint32_t id) {
  switch (id) {
    case eMSG_GMatchedMixed:
    case eMSG_GMatchedSame:
    case eMSG_GAchievementEarned:
    case eMSG_GColourLeftDisc:
    case eMSG_AInGame_PlaySpeech:
    case eMSG_ALayer_VolumeFadeIn:
    case eMSG_ALayer_VolumeFadeOut:
    case eMSG_ALayer_Stop:
    case eMSG_AGUI_PlaySting:
      return true;
    default:
      return false;
  }
}

void RegisterGameMessages(int32_t gameId, int32_t audioId) {
  gGameReceiverId = gameId;
  gAudioReceiverId = audioId;
  CMSGService* service = GetGEMMSGService();
  for (const NamedId& entry : kGameMessageNames) service->RegisterMessageName(entry.id, entry.name);
}

int32_t GetGameReceiverId() { return gGameReceiverId; }

int32_t GetAudioReceiverId() { return gAudioReceiverId; }

void PostGameMessageTo(int32_t source, int32_t target, uint32_t id, intptr_t parameter, double delaySeconds) {
  // A record on the poster's stack is gone once the post returns.
  assert(delaySeconds == 0.0 || !GameMessageCarriesPointer(id));
  // -1 would broadcast to every receiver of the service.
  if (target < 0) return;
  GetGEMMSGService()->Post(id, source, target, parameter, delaySeconds);
}

void PostGameMessage(uint32_t id, intptr_t parameter, double delaySeconds) {
  PostGameMessageTo(-1, gGameReceiverId, id, parameter, delaySeconds);
}

void PostAudioMessage(uint32_t id, intptr_t parameter, double delaySeconds) {
  PostGameMessageTo(-1, gAudioReceiverId, id, parameter, delaySeconds);
}
