#include "engine/app/ToolLibrary.h"

#include "engine/app/EngineDirectory.h"
#include "engine/foundation/Log.h"
#include "platform/DynamicLibrary.h"

namespace {

using CreateExport = void* (*)(void* module, void* window, void** directory);
using PlainExport = void (*)();

struct ToolLibraryState {
  platform::DynamicLibrary* module = nullptr;
  PlainExport toggleShow = nullptr;
  bool toggleLookedUp = false;
};

ToolLibraryState& State() {
  static ToolLibraryState state;
  return state;
}

}  // namespace

bool LoadToolLibrary(platform::GlWindow* window) {
  ToolLibraryState& state = State();
  LogDBG("/=");
  LogDBG("Connecting to toolbridge.dll ...");
  platform::DynamicLibrary* module = platform::LoadDynamicLibrary("toolbridge.so");
  auto create = reinterpret_cast<CreateExport>(platform::FindLibrarySymbol(module, "Create"));
  if (module == nullptr || create == nullptr) {
    platform::UnloadDynamicLibrary(module);
    LogDBG("... none found.");
    return false;
  }
  state = ToolLibraryState{};
  state.module = module;
  // "Create" returns the library's dialog, for routing window messages to
  // it; there is no such routing here, so the dialog is not kept.
  create(module, window, GetEngineDirectory());
  LogDBG("... success.");
  return true;
}

bool UnloadToolLibrary() {
  ToolLibraryState& state = State();
  if (state.module == nullptr) return false;
  LogDBG("Closing toolbridge.dll ...");
  if (auto cleanUp = reinterpret_cast<PlainExport>(platform::FindLibrarySymbol(state.module, "CleanUp"))) {
    cleanUp();
  }
  platform::UnloadDynamicLibrary(state.module);
  state = ToolLibraryState{};
  return true;
}

void ToggleToolLibrary() {
  ToolLibraryState& state = State();
  if (state.module == nullptr) return;
  if (!state.toggleLookedUp) {
    state.toggleShow = reinterpret_cast<PlainExport>(platform::FindLibrarySymbol(state.module, "ToggleShow"));
    state.toggleLookedUp = true;
  }
  if (state.toggleShow != nullptr) state.toggleShow();
}
