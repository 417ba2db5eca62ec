#include "game/shell/AudioServices.h"

#include "game/shell/GAudio.h"

std::unique_ptr<GameAudioLayer> AudioServices::CreateAudioLayer(int32_t voices) {
  return CreateGameAudioLayer(voices);
}
