#pragma once
// The application's seven console commands (BUILD, EXIT, QUIT, LOAD, SHOW,
// DISPLAY, LIST). The handlers parse and check their words here; what they
// act on is reached through AppCommandServices, so the application supplies
// the engine's managers and tests supply stubs.

#include <cstdint>

#include "engine/foundation/String.h"
#include "engine/runtime/console/CommandRegistry.h"

// What the commands act on.
class AppCommandServices {
 public:
  virtual ~AppCommandServices() = default;
  // Releases the viewer model and loads the named model; true when it loaded
  // as a mesh model (the viewer then points at it, else at nothing).
  virtual bool LoadViewerModel(const String& fileName) = 0;
  // Reads a material library and loads its textures; true on success.
  virtual bool LoadMaterialLibrary(const String& fileName) = 0;
  // Replaces the loaded scene with the named file; true on success.
  virtual bool LoadScene(const String& fileName) = 0;
  // Posts the shutdown message to the application.
  virtual void RequestShutdown() = 0;
  // Switches the model viewer on.
  virtual void ShowModelViewer() = 0;
  // Stores a new display mode in the settings and asks for a rebuild.
  virtual void ChangeDisplay(int32_t width, int32_t height, int32_t depth, bool fullscreen) = 0;
  // Writes the settings, the command registry or the variable registry to the log.
  virtual void DumpSettings() = 0;
  virtual void ListCommands() = 0;
  virtual void ListVariables() = 0;
};

// The handlers. Results: 0 done, -1 missing argument text or wrong LOAD
// words, -2 wrong words or a failed load.
class AppConsoleCommands {
 public:
  explicit AppConsoleCommands(AppCommandServices* services) : services_(services) {}

  int32_t OnBuild(String* arguments);
  int32_t OnExit(String* arguments);
  int32_t OnLoad(String* arguments);
  int32_t OnShow(String* arguments);
  int32_t OnDisplay(String* arguments);
  int32_t OnList(String* arguments);

  // Registers the seven commands in their fixed order; false when the
  // registry refused one.
  bool Register(CCommandRegistry& registry);

  // "Vyre Build <Mon dd yyyy> @ <hh:mm:ss>", from the program's compile time.
  static String BuildText();

 private:
  // A registry entry bound to one handler of this object.
  class Binding : public ConsoleCommandHandler {
   public:
    using Method = int32_t (AppConsoleCommands::*)(String*);
    Binding() = default;
    Binding(AppConsoleCommands* owner, Method method) : owner_(owner), method_(method) {}
    int32_t Invoke(String* arguments) override {
      return owner_ != nullptr && method_ != nullptr ? (owner_->*method_)(arguments) : -1;
    }

   private:
    AppConsoleCommands* owner_ = nullptr;
    Method method_ = nullptr;
  };

  AppCommandServices* services_;
  Binding bindings_[7];
};
