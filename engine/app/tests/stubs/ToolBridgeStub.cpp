// A stand-in developer-tool library: it writes each call it receives to
// "toolbridge.log" in the working folder, so a test can read them back after
// the engine has freed the library.

#include <cstdio>

namespace {

void Note(const char* text) {
  if (FILE* log = std::fopen("toolbridge.log", "a")) {
    std::fputs(text, log);
    std::fputc('\n', log);
    std::fclose(log);
  }
}

int gDialog = 0;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* Create(void* module, void* window, void** directory) {
  Note(module != nullptr && window != nullptr && directory != nullptr && directory[0] != nullptr
           ? "Create"
           : "Create without its arguments");
  return &gDialog;
}

__attribute__((visibility("default"))) void ToggleShow() { Note("ToggleShow"); }

__attribute__((visibility("default"))) void CleanUp() { Note("CleanUp"); }
}
