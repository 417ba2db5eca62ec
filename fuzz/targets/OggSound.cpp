// Ogg Vorbis sounds, decoded whole as sound effects are.
#include "engine/runtime/sound/SFXBuffer.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(OggSound) {
  fuzz::ScratchFile("sound.ogg", data, size);
  CSFXBuffer buffer("sound.ogg");
  buffer.Load();
}
