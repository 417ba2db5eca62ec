// Particle definitions; a definition that reads is also run for a few frames,
// since its numbers only do harm once the system moves.
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/File.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(ParticleDefinition) {
  const std::string path = fuzz::ScratchFile("particles.txt", data, size);
  FileText in;
  if (!(in.OpenRead(path.c_str()) & File::kOpen)) return;
  ParticleManager system;
  if (system.Read(in)) {
    Clock::Instance().SetPaused(false);
    Clock::Instance().SetFixedStep(0.05f);
    system.enabled = true;
    for (int frame = 0; frame < 4; ++frame) {
      system.Emit(8);
      system.Update();
    }
  }
  fuzz::ReleaseSharedResources();
}
