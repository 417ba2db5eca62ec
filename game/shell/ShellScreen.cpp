#include "game/shell/ShellScreen.h"

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "game/shell/GAudio.h"

ShellScreen::ShellScreen(ShellContext& context, ShellState which)
    : FsmState(ShellStateName(which)), shell_(context), game_(context.game) {}

void ShellScreen::Message(CMSGMessage* message) {
  if (game_.SharedMessageFSM(message)) return;
  if (OnMessage(*message)) message->handled |= 1;
}

void ShellScreen::PostToGame(uint32_t id, intptr_t parameter, double delaySeconds) const {
  // Straight to the service: the sting timer's ticks are sting messages
  // without a parameter, queued with a delay.
  if (game_.receiverId < 0) return;
  GetGEMMSGService()->Post(id, game_.receiverId, game_.receiverId, parameter, delaySeconds);
}

void ShellScreen::PostToAudio(uint32_t id, intptr_t parameter) const {
  PostGameMessageTo(game_.receiverId, GetAudioReceiverId(), id, parameter, 0.0);
}

void ShellScreen::StopAudioLayer(int32_t layer) const {
  PostToAudio(eMSG_ALayer_Stop, reinterpret_cast<intptr_t>(&layer));
}

void ShellScreen::CancelGameMessages(uint32_t id) const { GetGEMMSGService()->CancelMessages(game_.receiverId, id); }

uint32_t ShellScreen::QueuedGameMessages(uint32_t id) const {
  return GetGEMMSGService()->CountMessages(game_.receiverId, id);
}

void ShellScreen::ApplyStoredVolumes() const {
  if (GAudio* audio = GetGAudio()) audio->Initialise();
}

float ShellScreen::FrameSeconds() { return Clock::Instance().GetGameDelta(); }

bool ShellScreen::CanDraw() const { return game_.CanDraw(); }
