#include "engine/app/AppCommands.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "engine/foundation/Log.h"

namespace {

// The words of an argument text; every single blank ends a word.
int WordCount(const String& text) { return text.CountWords(); }

// A whole word read as a decimal integer; false for anything else.
bool ParseDecimal(const String& word, int32_t* value) {
  const char* text = word.Chars();
  if (*text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  long number = std::strtol(text, &end, 10);
  if (*end != '\0' || errno == ERANGE || number < INT32_MIN || number > INT32_MAX) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

}  // namespace

String AppConsoleCommands::BuildText() {
  String text("Vyre Build ");
  text += __DATE__;
  text += " @ ";
  text += __TIME__;
  return text;
}

int32_t AppConsoleCommands::OnBuild(String*) {
  String text = BuildText();
  LogGEM("%s", text.Chars());
  return 0;
}

int32_t AppConsoleCommands::OnExit(String*) {
  services_->RequestShutdown();
  return 0;
}

int32_t AppConsoleCommands::OnLoad(String* arguments) {
  if (arguments == nullptr) return -1;
  const int words = WordCount(*arguments);
  String type = arguments->GetWord(0);
  type.ToUpper();
  if (type == "3ME") {
    if (words < 2) return -1;
    String fileName = arguments->GetWord(1);
    for (int i = 2; i < words; ++i) {
      fileName += " ";
      fileName += arguments->GetWord(i);
    }
    if (services_->LoadViewerModel(fileName)) {
      LogGEM("File loaded.");
      return 0;
    }
    LogGEM("Unable to locate file.");
    return -2;
  }
  if (type == "MAT") {
    if (words != 2) return -1;
    if (services_->LoadMaterialLibrary(arguments->GetWord(1))) {
      LogGEM("Loaded materials.");
      return 0;
    }
    LogGEM("Unable to locate file.");
    return -2;
  }
  if (type == "SCN") {
    if (words != 2) return -1;
    if (services_->LoadScene(arguments->GetWord(1))) {
      LogGEM("Loaded scene");
      return 0;
    }
    LogGEM("Failed to load scene");
    return -2;
  }
  return -1;
}

int32_t AppConsoleCommands::OnShow(String* arguments) {
  if (arguments != nullptr && arguments->GetWord(0) == "3ME") services_->ShowModelViewer();
  return 0;
}

int32_t AppConsoleCommands::OnDisplay(String* arguments) {
  if (arguments == nullptr) return -1;
  if (WordCount(*arguments) != 4) return -2;
  int32_t values[4];
  for (int i = 0; i < 4; ++i) {
    if (!ParseDecimal(arguments->GetWord(i), &values[i])) return -2;
  }
  // A window needs a positive size; a zero or negative one would leave the
  // display unusable after the rebuild.
  if (values[0] <= 0 || values[1] <= 0) return -2;
  services_->ChangeDisplay(values[0], values[1], values[2], values[3] != 0);
  return 0;
}

int32_t AppConsoleCommands::OnList(String* arguments) {
  if (arguments == nullptr) return -1;
  if (WordCount(*arguments) != 1) return -2;
  String item = arguments->GetWord(0);
  if (item == "SETTINGS") {
    services_->DumpSettings();
  } else if (item == "COMMANDS") {
    services_->ListCommands();
  } else if (item == "VARIABLES") {
    services_->ListVariables();
  } else {
    return -2;
  }
  return 0;
}

bool AppConsoleCommands::Register(CCommandRegistry& registry) {
  struct Entry {
    const char* name;
    Binding::Method method;
    int32_t argumentCount;
    const char* help;
  };
  static constexpr Entry kEntries[7] = {
      {"BUILD", &AppConsoleCommands::OnBuild, 0, "Returns the current engine build timestamp"},
      {"EXIT", &AppConsoleCommands::OnExit, 0, "Exit the game engine"},
      {"QUIT", &AppConsoleCommands::OnExit, 0, "Exit the game engine"},
      {"LOAD", &AppConsoleCommands::OnLoad, 2, "Loads the given object into the engine"},
      {"SHOW", &AppConsoleCommands::OnShow, 1, "Shows/hides the specified item"},
      {"DISPLAY", &AppConsoleCommands::OnDisplay, 4, "Changes the current display resolution"},
      {"LIST", &AppConsoleCommands::OnList, 1, "Lists various engine data"},
  };
  bool all = true;
  for (int i = 0; i < 7; ++i) {
    bindings_[i] = Binding(this, kEntries[i].method);
    all = registry.Register(kEntries[i].name, &bindings_[i], kEntries[i].argumentCount, kEntries[i].help) && all;
  }
  return all;
}
