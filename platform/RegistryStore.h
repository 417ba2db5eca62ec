#pragma once

// A small file-backed key-value store that stands in for the per-user
// registry. Keys are backslash-separated paths ("Software\Velk Software
// Studio\Novaliths\Display"); each key holds named values that are either
// text or binary. Key and value names match ignoring ASCII case, as the
// registry they replace did.
//
// Every application key ("Software\Velk Software Studio\<title>") lives in its
// own text file, "<title>.reg"; keys outside an application key go to
// "Registry.reg" beside them. The files are in the user folder when
// VYRE_USER_DIR names one (with every other file the player owns), else in
// "$XDG_CONFIG_HOME/Velk Software Studio" (~/.config when XDG_CONFIG_HOME is
// unset). When VYRE_REGISTRY is set, every key is kept in the file it names
// instead (tests point it at a temporary file).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DebugOutput.h"

namespace platform {

enum class RegistryValueType : uint8_t {
  Text = 1,    // bytes of text, stored without a terminator
  Binary = 3,  // raw bytes (the engine stores 1- and 4-byte numbers)
};

// The store file that holds the values of the given key path.
std::string RegistryFileFor(std::string_view keyPath);

// Copies the value into out, at most capacity bytes; text is cut to leave room
// for a NUL terminator, which is always written. Returns the number of bytes
// written (text: including the terminator), 0 when the key or value is
// missing or capacity is 0 (out is then left untouched).
uint32_t RegistryRead(std::string_view keyPath, std::string_view valueName, void* out, uint32_t capacity);

// The stored type of a value, or false when it is missing.
bool RegistryValueTypeOf(std::string_view keyPath, std::string_view valueName, RegistryValueType* outType);

// Stores a value, creating the key (and the store file and its folder) when
// missing, and rewrites the store file atomically. Text loses any trailing
// NUL bytes. False when the file cannot be written (the old file stays whole)
// or when the existing file is ignored (see RegistryDiagnostic): it is kept
// as it is, never written over; and always in a run that keeps out of the
// user folder (see UserFolder.h).
bool RegistryWrite(std::string_view keyPath, std::string_view valueName, RegistryValueType type, const void* data,
                   uint32_t size);

// Receives one line per problem the store meets, with how much it matters.
// A store file that is ignored (it cannot be read, is too large, is not a
// registry store or is cut short) or cannot be written is a warning, given
// once per run for the same file and reason; a malformed line skipped in a
// store that is otherwise read is an Info note. The default writes each line
// to the terminal (standard error) with its severity.
using RegistryDiagnostic = void (*)(Severity severity, const char* line);
void SetRegistryDiagnostic(RegistryDiagnostic sink);

}  // namespace platform
