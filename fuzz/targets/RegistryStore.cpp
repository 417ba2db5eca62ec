// The file-backed registry store: typed reads, then a write that must keep
// a damaged store file whole.
#include "platform/RegistryStore.h"

#include <cstdint>

#include "fuzz/FuzzTarget.h"

namespace {
void Quiet(platform::Severity, const char*) {}
}  // namespace

FUZZ_TARGET(RegistryStore) {
  platform::SetRegistryDiagnostic(Quiet);
  fuzz::ScratchFile("registry.reg", data, size);
  const char* key = "Software\\Velk Software Studio\\Novaliths\\Display";
  uint8_t out[64];
  for (const char* value : {"Width", "Height", "Fullscreen", "Title", ""}) {
    platform::RegistryRead(key, value, out, sizeof out);
    platform::RegistryRead(key, value, out, 1);
    platform::RegistryValueType type;
    platform::RegistryValueTypeOf(key, value, &type);
  }
  const uint32_t width = 1024;
  platform::RegistryWrite(key, "Width", platform::RegistryValueType::Binary, &width, sizeof width);
}
