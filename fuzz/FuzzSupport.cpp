#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "engine/foundation/LogSettings.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/scene/model/ModelManager.h"
#include "fuzz/FuzzTarget.h"

namespace fuzz {
namespace {

std::map<std::string, TargetFunction>& Targets() {
  static std::map<std::string, TargetFunction> targets;
  return targets;
}

std::string gScratch;

void RemoveScratch() {
  if (gScratch.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(gScratch, ignored);
}

}  // namespace

bool RegisterTarget(const char* name, TargetFunction function) {
  Targets()[name] = function;
  return true;
}

TargetFunction FindTarget(const char* name) {
  auto found = Targets().find(name);
  return found != Targets().end() ? found->second : nullptr;
}

void PrepareProcess() {
  if (!gScratch.empty()) return;
  // Every input goes through a file: memory-backed /dev/shm keeps the
  // fuzzer from waiting on the disk.
  char inMemory[] = "/dev/shm/vyre-fuzz-XXXXXX";
  char onDisk[] = "/tmp/vyre-fuzz-XXXXXX";
  const char* folder = mkdtemp(inMemory);
  if (folder == nullptr) folder = mkdtemp(onDisk);
  if (folder == nullptr) {
    std::perror("fuzz: no scratch folder");
    std::abort();
  }
  gScratch = folder;
  std::atexit(RemoveScratch);
  // Every file a reader looks for by a relative name is looked for here,
  // and nothing the player owns is touched.
  if (chdir(gScratch.c_str()) != 0) std::abort();
  const std::string user = gScratch + "/user";
  std::filesystem::create_directories(user);
  setenv("VYRE_USER_DIR", user.c_str(), 1);
  setenv("VYRE_REGISTRY", (gScratch + "/registry.reg").c_str(), 1);
  setenv("XDG_CONFIG_HOME", gScratch.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("ALSOFT_DRIVERS", "null", 1);
  setenv("VYRE_MESSAGEBOX", "no", 1);
  // Module channels keep every line in memory; millions of inputs would
  // fill them for nothing.
  static const FixedLogSettings kQuiet(false, false, "");
  SetLogSettings(&kQuiet);
}

const std::string& ScratchFolder() {
  PrepareProcess();
  return gScratch;
}

std::string ScratchFile(const char* name, const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
  return path;
}

std::string AsText(const uint8_t* data, size_t size) { return std::string(reinterpret_cast<const char*>(data), size); }

void ReleaseSharedResources() {
  C3MEManager::Shutdown();
  CMATManager::DestroyInstance();
  CTEXManager::DestroyInstance();
}

}  // namespace fuzz
