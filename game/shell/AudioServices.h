#pragma once

// The game's services with the shell's audio layer beside the profiles and
// the high-score table; the shell's full services build on this class.

#include "game/shell/ProfileServices.h"

class AudioServices : public ProfileServices {
 public:
  // The shell's audio layer (GAudio) on the engine's sound manager.
  std::unique_ptr<GameAudioLayer> CreateAudioLayer(int32_t voices) override;
};
