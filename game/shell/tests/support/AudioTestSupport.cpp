#include "AudioTestSupport.h"

#include <cstdint>
#include <cstdlib>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/settings/Registry.h"

namespace shell_test {

AudioEnvironment::AudioEnvironment() {
  const char* registry = std::getenv("VYRE_REGISTRY");
  previousRegistry_ = registry ? registry : "";
  setenv("VYRE_REGISTRY", (folder / "registry.reg").c_str(), 1);
  Clock& clock = Clock::Instance();
  clock.SetGameTime(0.0f);
  clock.SetPaused(false);
  clock.SetFixedStep(kStepSeconds);
  EnableTestLogChannels();
  ClearLogLines(kLogSFX);
}

AudioEnvironment::~AudioEnvironment() {
  setenv("VYRE_REGISTRY", previousRegistry_.c_str(), 1);
  Clock::Instance().SetFixedStep(0.0f);
  Clock::Instance().SetGameTime(0.0f);
}

void AudioEnvironment::StoreLevel(const char* name, int level) {
  const int32_t value = level;
  RegistryWriteValue(name, 1, &value, sizeof(value));
}

void AudioEnvironment::DeliverAt(float seconds) {
  Clock::Instance().SetGameTime(seconds);
  GetGEMMSGService()->Deliver();
}

}  // namespace shell_test
