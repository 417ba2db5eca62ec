#pragma once
// What the application's console commands act on, in the running engine:
// the viewer model, material libraries, scenes, the display and the logs.

#include "engine/app/AppCommands.h"

class CGEMApplication;

class GEMCommandServices : public AppCommandServices {
 public:
  explicit GEMCommandServices(CGEMApplication* application) : application_(application) {}

  bool LoadViewerModel(const String& fileName) override;
  bool LoadMaterialLibrary(const String& fileName) override;
  bool LoadScene(const String& fileName) override;
  void RequestShutdown() override;
  void ShowModelViewer() override;
  void ChangeDisplay(int32_t width, int32_t height, int32_t depth, bool fullscreen) override;
  void DumpSettings() override;
  void ListCommands() override;
  void ListVariables() override;

 private:
  CGEMApplication* application_;
};
