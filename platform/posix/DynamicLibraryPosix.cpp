#include <dlfcn.h>
#include <sys/stat.h>

#include <string>

#include "platform/DynamicLibrary.h"
#include "platform/Path.h"

namespace platform {

DynamicLibrary* LoadDynamicLibrary(const char* path) {
  if (path == nullptr) return nullptr;
  std::string onDisk = ResolvePath(path);
  // A name without a folder would make dlopen search the system paths; the
  // library is looked up in the working directory only.
  if (onDisk.find('/') == std::string::npos) onDisk = "./" + onDisk;
  // dlopen opens the file as it finds it and would wait on a FIFO: what is
  // no regular file is no library.
  struct stat info;
  if (stat(onDisk.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return nullptr;
  return static_cast<DynamicLibrary*>(dlopen(onDisk.c_str(), RTLD_NOW | RTLD_LOCAL));
}

void* FindLibrarySymbol(DynamicLibrary* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

void UnloadDynamicLibrary(DynamicLibrary* library) {
  if (library != nullptr) dlclose(library);
}

}  // namespace platform
