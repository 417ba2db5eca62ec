#pragma once
// Optional shared libraries loaded at run time (the developer-tool library).

namespace platform {

// Opaque handle of a loaded library.
struct DynamicLibrary;

// Loads a shared object by path (resolved like every file name); null when it
// is missing or cannot be loaded, which callers treat as normal.
DynamicLibrary* LoadDynamicLibrary(const char* path);

// Address of an exported symbol, or null.
void* FindLibrarySymbol(DynamicLibrary* library, const char* name);

// Unloads the library; a null handle is ignored.
void UnloadDynamicLibrary(DynamicLibrary* library);

}  // namespace platform
