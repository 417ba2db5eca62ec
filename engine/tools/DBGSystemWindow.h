#pragma once
// The root of the developer tools: the "Vyre System" window. Its set-up
// builds every developer window (hidden), the environment overlay, the
// toolbar with one toggle button per tool, the tip and prompt boxes and the
// "Invoke Vyre" corner button. The application creates it when asked to,
// sends it a GUI update every frame, hands it the frame timing after each
// swap and toggles it with a developer key.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/String.h"
#include "engine/gui/Window.h"
#include "engine/tools/DebugWindow.h"
#include "engine/tools/PerformanceWindow.h"

class ConsoleInputBox;
class ConsoleWindow;
class DebugToolbar;
class EnvironmentWindow;
class HelpWindow;
class Icon;
class TextBox;

// A line typed into the developer console, split into its command word and
// its argument; whoever acts on it sets the handled flag.
struct DBGConsoleLine {
  String command;
  String argument;
  uint8_t handled = 0;
};

class DBGSystemWindow : public DebugWindow {
 public:
  static constexpr float kLayer = 90.0f;
  static constexpr int kToolCount = 19;

  DBGSystemWindow();
  // Destroys everything the set-up made.
  ~DBGSystemWindow() override;
  // The set-up over the whole screen with the given frame (font); runs once.
  void SetDefaultFrame(int32_t frame) override;
  // Shown: the toolbar and every tool window become active. Hidden: the
  // toolbar hides, and it and every tool window become inactive.
  void Show(bool visible) override;
  // Only its own widgets (corner button, boxes) take the pointer: as a
  // transparent container over the whole screen it must not take the focus
  // from the window under the pointer.
  void OnMouseMove(const Vector2& point) override;
  // The window's layout, then the environment overlay places its icons.
  void Layout(const Rect& outer, const Rect& inner) override;
  // The window's handling; then a GUI update runs a completed prompt line,
  // and a button hover shows (with a name) or hides the tip box.
  void OnMessage(CMSGMessage* message) override;

  // Null until the set-up has run.
  PerformanceWindow* GetPerformanceWindow() const { return performance_; }
  HelpWindow* GetHelpWindow() const { return help_; }
  ConsoleWindow* GetConsoleWindow() const { return console_; }
  EnvironmentWindow* GetEnvironmentWindow() const { return environment_.get(); }
  DebugToolbar* GetToolbar() const { return toolbar_.get(); }
  TextBox* GetTipBox() const { return tip_.get(); }
  ConsoleInputBox* GetPromptBox() const { return prompt_.get(); }
  Icon* GetInvokeButton() const { return invoke_.get(); }
  // The tool windows in the order they were made (empty before the set-up).
  const std::vector<std::unique_ptr<Window>>& GetToolWindows() const { return tools_; }
  bool IsShown() const { return HasState(GUIState::kShown); }
  DBGConsoleLine consoleLine;

 private:
  void CreateToolWindows(int32_t frame);
  void BuildToolbars(int32_t frame);
  // The toolbar of the input tools, which lives with the main toolbar
  // (it is no child of it: every window is drawn and fed by the window
  // manager, so it comes and goes with the main toolbar from here).
  DebugToolbar* InputToolbar() const;
  // Every tool window gets the message from this window.
  void PostToTools(uint32_t id);

  std::unique_ptr<EnvironmentWindow> environment_;
  std::vector<std::unique_ptr<Window>> tools_;
  std::unique_ptr<DebugToolbar> toolbar_;
  std::unique_ptr<TextBox> tip_;
  std::unique_ptr<ConsoleInputBox> prompt_;
  std::unique_ptr<Icon> invoke_;
  PerformanceWindow* performance_ = nullptr;
  HelpWindow* help_ = nullptr;
  ConsoleWindow* console_ = nullptr;
};
