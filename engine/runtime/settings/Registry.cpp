#include "engine/runtime/settings/Registry.h"

#include <cstring>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/runtime/settings/Settings.h"
#include "platform/RegistryStore.h"

namespace {

constexpr const char* kEngineKey = "Software\\Velk Software Studio\\Vyre\\";
constexpr const char* kSelfTestText = "Testing 123";
constexpr int32_t kSelfTestNumber = 123;

void LogStoreProblem(platform::Severity severity, const char* line) {
  if (severity == platform::Severity::Info) {
    LogGEM("[GEM] Registry : %s", line);
  } else {
    LogWarningOn(kLogGEM, "[GEM] Registry : %s", line);
  }
}

// The store reports its problems on the GEM channel once anyone uses it; a
// store file it leaves alone reaches the terminal as well.
void RouteStoreDiagnostics() {
  static const bool routed = (platform::SetRegistryDiagnostic(LogStoreProblem), true);
  (void)routed;
}

// Splits "Section\Name" below a key into the full key path and the value name.
void SplitValuePath(const char* keyPath, const char* name, std::string* fullKey, std::string* valueName) {
  *fullKey = keyPath ? keyPath : GetSettings()->registryKeyPath.Chars();
  std::string path = name ? name : "";
  size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    *valueName = path;
    return;
  }
  *fullKey += '\\';
  fullKey->append(path, 0, slash);
  *valueName = path.substr(slash + 1);
}

}  // namespace

uint32_t RegistryReadValue(const char* name, void* out, uint32_t capacity, const char* keyPath) {
  RouteStoreDiagnostics();
  std::string fullKey, valueName;
  SplitValuePath(keyPath, name, &fullKey, &valueName);
  return platform::RegistryRead(fullKey, valueName, out, capacity);
}

bool RegistryWriteValue(const char* name, int isBinary, const void* data, uint32_t size, const char* keyPath) {
  RouteStoreDiagnostics();
  std::string fullKey, valueName;
  SplitValuePath(keyPath, name, &fullKey, &valueName);
  auto type = isBinary ? platform::RegistryValueType::Binary : platform::RegistryValueType::Text;
  return platform::RegistryWrite(fullKey, valueName, type, data, size);
}

uint32_t EngineKeyReadValue(const char* name, void* out, uint32_t capacity) {
  return RegistryReadValue(name, out, capacity, kEngineKey);
}

bool EngineKeyWriteValue(const char* name, int isBinary, const void* data, uint32_t size) {
  return RegistryWriteValue(name, isBinary, data, size, kEngineKey);
}

bool RegistrySelfTestWrite() {
  bool textWritten = RegistryWriteValue("A String", 0, kSelfTestText, static_cast<uint32_t>(std::strlen(kSelfTestText)),
                                        CSettings::kRegistryRoot);
  bool numberWritten =
      RegistryWriteValue("A Number", 1, &kSelfTestNumber, sizeof kSelfTestNumber, CSettings::kRegistryRoot);
  return textWritten && numberWritten;
}

bool RegistrySelfTest() {
  char text[1024] = {};
  int32_t number = 0;
  bool textRead = RegistryReadValue("A String", text, sizeof text, CSettings::kRegistryRoot) > 0;
  bool numberRead = RegistryReadValue("A Number", &number, sizeof number, CSettings::kRegistryRoot) == sizeof number;
  return textRead && numberRead && std::strcmp(text, kSelfTestText) == 0 && number == kSelfTestNumber;
}
