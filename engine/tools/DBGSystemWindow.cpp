#include "engine/tools/DBGSystemWindow.h"

#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/Icon.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/TextBox.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DebugToolbar.h"
#include "engine/tools/EnvironmentWindow.h"
#include "engine/tools/FrustumWindow.h"
#include "engine/tools/FsmWindow.h"
#include "engine/tools/HelpWindow.h"
#include "engine/tools/MemoryWindow.h"
#include "engine/tools/MessageRecord.h"
#include "engine/tools/MessagingWindow.h"
#include "engine/tools/PerformanceStatisticsWindow.h"
#include "engine/tools/ProfilerWindow.h"
#include "engine/tools/RegisterWindows.h"
#include "engine/tools/SkeletalAnimationWindow.h"
#include "engine/tools/UserInputWindow.h"
#include "engine/tools/UserInterfaceWindow.h"

namespace {

// Positions of the tool windows in the order they are made.
enum Tool : int {
  kPerformance = 0,
  kPerformanceStatistics,
  kMemory,
  kCameraRegister,
  kUserInterface,
  kUserInterfaceRegister,
  kSkeletalAnimation,
  kMessaging,
  kSceneNodeRegister,
  kHelp,
  kFrustum,
  kStateMachines,
  kUserInput,
  kModelRegister,
  kMaterialRegister,
  kTextureRegister,
  kProfiler,
  kConsole,
  kDirectoryList,
};

Rect RectAt(float x, float y, float width, float height) {
  Rect rect;
  rect.SetPositionSize(Vector2(x, y), Vector2(width, height));
  return rect;
}

void Post(uint32_t id, int32_t from, const GUIObject* to) {
  if (to != nullptr) GetGUIMSGService()->Post(id, from, to->GetId(), 0, 0.0);
}

template <class ToolWindow>
ToolWindow* MakeTool(std::vector<std::unique_ptr<Window>>& tools, int32_t frame) {
  auto made = std::make_unique<ToolWindow>();
  ToolWindow* window = made.get();
  window->SetDefaultFrame(frame);
  tools.push_back(std::move(made));
  return window;
}

}  // namespace

DBGSystemWindow::DBGSystemWindow() { name = "Vyre System"; }

DBGSystemWindow::~DBGSystemWindow() {
  // The children list holds the boxes and the corner button, which go below.
  children.Clear();
  // The tool windows go in the order they were made.
  for (std::unique_ptr<Window>& tool : tools_) tool.reset();
}

void DBGSystemWindow::SetDefaultFrame(int32_t frame) {
  Window::SetDefaultFrame(frame);
  // A container over the whole screen: a frame of its own would veil the
  // game and the tools alike.
  style &= ~(GUIStyle::kFrame | GUIStyle::kImage);
  SetLayer(kLayer);
  const Rect screen = RectAt(0, 0, 800, 600);
  SetRect(screen, screen);
  if (!tools_.empty()) return;

  environment_ = std::make_unique<EnvironmentWindow>();
  environment_->SetDefaultFrame(frame);
  CreateToolWindows(frame);
  BuildToolbars(frame);
  tip_.reset(ConsoleWindow::CreateTipBox(*this));
  prompt_.reset(ConsoleWindow::CreateConsolePrompt(*this));
  console_->inputLine = prompt_.get();
  // Both boxes must be active to be shown at all; the prompt then comes and
  // goes with this window.
  Post(eMSG_GUIACTIVATE, ownId, tip_.get());
  Post(eMSG_GUIACTIVATE, ownId, prompt_.get());

  invoke_ = std::make_unique<Icon>();
  invoke_->SetStyle(invoke_->GetStyle() | GUIStyle::kToggle);
  invoke_->SetImage(1, "Icons/Vyre.png");
  const Rect corner = RectAt(0, 568, 32, 32);
  invoke_->Layout(corner, corner);
  invoke_->name = "Invoke Vyre";
  FillRecord(invoke_->pressMessage, eMSG_GUISHOW, invoke_->GetId(), toolbar_->GetId());
  FillRecord(invoke_->releaseMessage, eMSG_GUIHIDE, invoke_->GetId(), toolbar_->GetId());
  Post(eMSG_GUIENABLE, ownId, invoke_.get());
  children.Add(invoke_.get());

  Post(eMSG_GUIACTIVATE, ownId, environment_.get());
  Post(eMSG_GUIACTIVATE, ownId, this);
}

void DBGSystemWindow::CreateToolWindows(int32_t frame) {
  performance_ = MakeTool<PerformanceWindow>(tools_, frame);
  MakeTool<PerformanceStatisticsWindow>(tools_, frame);
  MakeTool<MemoryWindow>(tools_, frame);
  MakeTool<CameraRegisterWindow>(tools_, frame);
  MakeTool<UserInterfaceWindow>(tools_, frame);
  MakeTool<UserInterfaceRegisterWindow>(tools_, frame);
  MakeTool<SkeletalAnimationWindow>(tools_, frame);
  MakeTool<MessagingWindow>(tools_, frame);
  MakeTool<SceneNodeRegisterWindow>(tools_, frame);
  help_ = MakeTool<HelpWindow>(tools_, frame);
  MakeTool<FrustumWindow>(tools_, frame);
  MakeTool<FsmWindow>(tools_, frame);
  MakeTool<UserInputWindow>(tools_, frame);
  MakeTool<ModelRegisterWindow>(tools_, frame);
  MakeTool<MaterialRegisterWindow>(tools_, frame);
  MakeTool<TextureRegisterWindow>(tools_, frame);
  MakeTool<ProfilerWindow>(tools_, frame);
  console_ = MakeTool<ConsoleWindow>(tools_, frame);
  MakeTool<DirectoryListWindow>(tools_, frame);
}

void DBGSystemWindow::BuildToolbars(int32_t frame) {
  auto id = [this](int tool) { return tools_[tool]->GetId(); };
  toolbar_ = std::make_unique<DebugToolbar>();
  DebugToolbar& main = *toolbar_;
  // Hover reports of its buttons come here, for the tip box.
  main.SetParentId(ownId);
  main.Setup(frame, true, false, RectAt(0, 0, 32, 568), RectAt(4, 16, 28, 536));
  main.AddButton("Icons/Notepad.png", "Console", id(kConsole), true);
  main.AddButton("Icons/Bug.png", "DBG System", id(kPerformance), true);
  main.AddButton("Icons/Profiler.png", "DBG Profiler", id(kProfiler), true);
  main.AddButton("Icons/Camera.png", "Camera Register", id(kCameraRegister), true);

  main.SetSubToolbarCount(1);
  DebugToolbar& input = *main.GetSubToolbar(0);
  // Its hover reports go to the main toolbar, which shows no tip.
  input.SetParentId(main.GetId());
  input.Setup(frame, false, true, RectAt(32, 408, 96, 32), RectAt(48, 408, 64, 32));
  input.AddButton("Icons/Gamepad.png", "UIO Gamepad", id(kUserInput), true);
  input.AddButton("Icons/Keyboard.png", "UIO Keyboard", id(kUserInput), true);
  input.AddButton("Icons/Mouse.png", "UIO Mouse", id(kUserInput), true);
  input.SetSlideEdge(kLeft);
  Post(eMSG_GUIHIDE, main.GetId(), &input);

  main.AddButton("Icons/Gamepad.png", "UIO System", input.GetId(), true);
  main.AddButton("Icons/MemoryChip.png", "MEM System", id(kMemory), true);
  main.AddButton("Icons/QuestionMark.png", "Help", id(kHelp), true);
  main.AddButton("Icons/Windows.png", "TEX Register", id(kTextureRegister), true);
  main.AddButton("Icons/Windows.png", "MAT Register", id(kMaterialRegister), true);
  main.AddButton("Icons/Windows.png", "3ME Register", id(kModelRegister), true);
  main.AddButton("Icons/Windows.png", "GUI Register", id(kUserInterfaceRegister), true);
  main.AddButton("Icons/Scene.png", "SCN Register", id(kSceneNodeRegister), true);
  main.AddButton("Icons/Mail.png", "MSG System", id(kMessaging), true);
  main.AddButton("Icons/Sound.png", "SFX System", ownId, false);
  main.AddButton("Icons/Cube.png", "DWO System", ownId, false);
  main.AddButton("Icons/Explorer.png", "Directories", id(kDirectoryList), true);
  main.AddButton("Icons/Television.png", "Vyre Environment", environment_->GetId(), true);

  Post(eMSG_GUIACTIVATE, ownId, &main);
  Post(eMSG_GUIACTIVATE, ownId, tools_[kUserInterface].get());
}

DebugToolbar* DBGSystemWindow::InputToolbar() const {
  return toolbar_ != nullptr ? toolbar_->GetSubToolbar(0) : nullptr;
}

void DBGSystemWindow::PostToTools(uint32_t id) {
  for (const std::unique_ptr<Window>& tool : tools_) Post(id, ownId, tool.get());
}

void DBGSystemWindow::Show(bool visible) {
  if (visible) {
    state |= GUIState::kShown;
    // Its own show is kept from its children (see OnMessage), so the
    // corner button and the prompt are shown here.
    Post(eMSG_GUISHOW, ownId, invoke_.get());
    Post(eMSG_GUISHOW, ownId, prompt_.get());
    Post(eMSG_GUIACTIVATE, ownId, toolbar_.get());
    Post(eMSG_GUIACTIVATE, ownId, InputToolbar());
    PostToTools(eMSG_GUIACTIVATE);
  } else {
    state &= ~GUIState::kShown;
    Post(eMSG_GUIHIDE, ownId, invoke_.get());
    Post(eMSG_GUIHIDE, ownId, prompt_.get());
    Post(eMSG_GUIHIDE, ownId, toolbar_.get());
    Post(eMSG_GUIDEACTIVATE, ownId, toolbar_.get());
    Post(eMSG_GUIHIDE, ownId, InputToolbar());
    Post(eMSG_GUIDEACTIVATE, ownId, InputToolbar());
    PostToTools(eMSG_GUIDEACTIVATE);
  }
}

void DBGSystemWindow::OnMouseMove(const Vector2& point) {
  // Its client area is the screen, so the point is already local.
  localPointer = point;
  children.HitTestAll(point);
}

void DBGSystemWindow::Layout(const Rect& newOuter, const Rect& newInner) {
  DebugWindow::Layout(newOuter, newInner);
  Post(eMSG_GUIUPDATE, ownId, environment_.get());
}

void DBGSystemWindow::OnMessage(CMSGMessage* message) {
  // Show, hide and toggle are taken here and marked handled: the window
  // hands the messages it gets on to its children, and the prompt would
  // otherwise take this window's toggle as its own.
  if (message->target == ownId && !(message->handled & 1) && HasState(GUIState::kActive)) {
    bool taken = true;
    switch (message->id) {
      case eMSG_GUISHOW:
        Show(true);
        break;
      case eMSG_GUIHIDE:
        Show(false);
        break;
      case eMSG_GUITOGGLESHOW:
        Show(!IsShown());
        break;
      default:
        taken = false;
        break;
    }
    if (taken) message->handled |= 1;
  }
  DebugWindow::OnMessage(message);
  if (message->target != ownId) return;
  if (message->id == eMSG_GUIUPDATE) {
    // A line finished at the prompt is logged and run.
    if (prompt_ != nullptr) prompt_->SubmitPending();
    message->handled |= 1;
  } else if (message->id == eMSG_GUIHOVER && tip_ != nullptr) {
    if (message->parameter != 0) {
      const Vector2 cursor = GetMouseCursor()->position;
      Post(eMSG_GUISHOW, ownId, tip_.get());
      tip_->MoveTo(Vector2(cursor.x + 16.0f, cursor.y));
      tip_->SetText(reinterpret_cast<const char*>(message->parameter));
      tip_->Layout(tip_->outer, tip_->inner);
      Post(eMSG_GUISIZETOCONTENT, ownId, tip_.get());
    } else {
      Post(eMSG_GUIHIDE, ownId, tip_.get());
    }
    message->handled |= 1;
  }
}
