#pragma once
// The base of the register windows: an explorer that shows one engine
// register as a tree, rebuilt when it is shown, on the left of the screen,
// with an optional companion viewer that shows the entry picked.

#include <cstdint>
#include <memory>

#include "engine/tools/DebugWindow.h"
#include "engine/tools/GUIExplorer.h"

class RegisterWindow : public GUIExplorer {
 public:
  static constexpr uint32_t kRegisterCacheSize = 33;

  RegisterWindow(const char* windowName, const char* rootName, uint32_t cacheSize);
  ~RegisterWindow() override;

  // Sets or clears the visible bit; shown, the tree is rebuilt.
  void Show(bool visible) override;
  // Takes the companion along; active, the rows are laid out.
  void Activate(bool active) override;
  // The explorer's set-up, then the title bar, the frame at (32, 0),
  // 300 x 568, on the developer layer, and the companion.
  void SetDefaultFrame(int32_t frame) override;

  // Rebuilds the tree from the register (some only when its size changed).
  virtual void Populate() = 0;
  DebugWindow* GetCompanion() const { return companion_.get(); }

 protected:
  // The viewer of picked entries, or null (made at set-up).
  virtual std::unique_ptr<DebugWindow> CreateCompanion() { return nullptr; }
  // Empties the tree and gives the root its name.
  void BeginRebuild();
  // Opens the root when asked and lays the rows out.
  void EndRebuild(bool openRoot);
  // Appends "[index] text" with the data word.
  GUIExplorerItem* AddRow(GUIExplorerItem* parent, int32_t index, const char* text, int32_t data);
  // Appends a plain text row with the data word.
  GUIExplorerItem* AddTextRow(GUIExplorerItem* parent, const char* text, int32_t data);
  // Shows the companion (after it took the picked entry).
  void ShowCompanion();
  uint32_t TopLevelCount() { return static_cast<uint32_t>(Root().children.size()); }

  std::unique_ptr<DebugWindow> companion_;

 private:
  String rootName_;
};
