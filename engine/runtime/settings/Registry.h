#pragma once

// Values kept in the registry store below a key path. A value name of the
// form "Section\Name" names the value "Name" in the sub-key "Section" of the
// key; the game keeps "Profile" (text) and "Audio\Music", "Audio\Sound"
// (4-byte numbers) below the settings' key this way.

#include <cstdint>

// Copies the value into out (at most capacity bytes; text is terminated) and
// returns the bytes read, 0 when it is missing. keyPath null: the settings' key.
uint32_t RegistryReadValue(const char* name, void* out, uint32_t capacity, const char* keyPath = nullptr);

// Stores a value: text (isBinary 0) or binary of the given size; creates
// missing keys. False when the store cannot be written. keyPath null: the settings' key.
bool RegistryWriteValue(const char* name, int isBinary, const void* data, uint32_t size, const char* keyPath = nullptr);

// The same two on the engine's own key.
uint32_t EngineKeyReadValue(const char* name, void* out, uint32_t capacity);
bool EngineKeyWriteValue(const char* name, int isBinary, const void* data, uint32_t size);

// Writes "A String" ("Testing 123") and "A Number" directly below the registry root.
bool RegistrySelfTestWrite();
// Reads them back; true when both are there with the written contents.
bool RegistrySelfTest();
