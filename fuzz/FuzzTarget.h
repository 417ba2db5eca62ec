#pragma once
// One fuzz target per reader of outside bytes. FUZZ_TARGET(Name) opens the
// body of the function that hands one input to the reader through the same
// entry point the program uses. Built for libFuzzer (VYRE_FUZZ_LIBFUZZER) it
// becomes the fuzzer's entry point; otherwise it joins the table through
// which the replay driver runs the kept seeds and regressions.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

using TargetFunction = void (*)(const uint8_t* data, size_t size);

// Adds a target to the replay table; returns true so it can seed a static.
bool RegisterTarget(const char* name, TargetFunction function);
// The registered target of that name, or null.
TargetFunction FindTarget(const char* name);

// Once per process: a scratch folder becomes the working directory and holds
// the user folder and the registry store; module logs are switched off.
void PrepareProcess();
// The scratch folder (the working directory once prepared).
const std::string& ScratchFolder();
// Writes the bytes to a file of that name in the scratch folder; its path.
std::string ScratchFile(const char* name, const uint8_t* data, size_t size);
// The bytes as text (a reader of lines stops at a NUL as C text does).
std::string AsText(const uint8_t* data, size_t size);
// Destroys the material, texture and model managers, which keep what an
// input asked for: the next input starts afresh, and the fuzzer does not
// take what they keep for a leak.
void ReleaseSharedResources();

}  // namespace fuzz

#if defined(VYRE_FUZZ_LIBFUZZER)
#define FUZZ_TARGET(Name)                                                   \
  static void FuzzOne_##Name(const uint8_t* data, size_t size);             \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    fuzz::PrepareProcess();                                                 \
    FuzzOne_##Name(data, size);                                             \
    return 0;                                                               \
  }                                                                         \
  static void FuzzOne_##Name(const uint8_t* data, size_t size)
#else
#define FUZZ_TARGET(Name)                                                                              \
  static void FuzzOne_##Name(const uint8_t* data, size_t size);                                        \
  [[maybe_unused]] static const bool gRegistered_##Name = fuzz::RegisterTarget(#Name, FuzzOne_##Name); \
  static void FuzzOne_##Name(const uint8_t* data, size_t size)
#endif
