#include "engine/gui/TitleBar.h"

#include "engine/foundation/Log.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/Window.h"
#include "engine/runtime/messages/MSGService.h"

TitleBar::TitleBar() { name = "TitleBar"; }

void TitleBar::OnMouseMove(const Vector2& point) {
  GUIObject::OnMouseMove(point);
  if (!HasState(GUIState::kPressed)) return;
  const Vector2 motion = GetMouseCursor()->motion;
  LogDBG("Relative [%f, %f]", motion.x, motion.y);
  // Delay 0 delivers before Post returns, so the temporary outlives the use.
  Vector2 newPosition = Vector2::Add(outer.min, motion);
  PostGUI(eMSG_GUIREPOSITION, parentId, reinterpret_cast<intptr_t>(&newPosition));
}

void TitleBar::OnLButtonDouble() {
  GUIWindowManager* manager = GetWindowManager();
  Window* window = nullptr;
  for (int i = 0; i < manager->GetWindowCount(); ++i) {
    Window* candidate = manager->GetWindowAt(i);
    if (candidate->GetId() == parentId) window = candidate;
  }
  const bool maximised = window != nullptr && window->IsMaximised();
  PostGUI(maximised ? eMSG_GUIRESTORE : eMSG_GUIMAXIMISE, parentId);
}

void TitleBar::EnableInput() {
  state |= GUIState::kTakesInput;
  if (!HasButtons()) return;
  for (Icon* button : {&closeButton, &minimiseButton, &maximiseButton}) PostGUI(eMSG_GUIENABLE, button->GetId());
}

void TitleBar::DisableInput() {
  state &= ~GUIState::kTakesInput;
  if (!HasButtons()) return;
  for (Icon* button : {&closeButton, &minimiseButton, &maximiseButton}) PostGUI(eMSG_GUIDISABLE, button->GetId());
}

void TitleBar::Layout(const Rect& newOuter, const Rect& newInner) {
  TextBox::Layout(newOuter, newInner);
  if (!HasButtons()) return;
  // Square buttons at the right end of the bar: maximise, minimise, close
  // from the left, close at the very end.
  const float side = outer.GetSize().y;
  Icon* order[3] = {&closeButton, &maximiseButton, &minimiseButton};
  for (int i = 0; i < 3; ++i) {
    Rect square;
    square.SetPositionSize({outer.max.x - side * (i + 1), outer.min.y}, {side, side});
    order[i]->Layout(square, square);
  }
}

void TitleBar::OnCreate() {
  SetImage(1, "Frames/MainWindow.png");
  if (!HasButtons()) return;
  struct ButtonSetup {
    Icon* button;
    const char* suffix;
    const char* image;
    uint32_t message;
  };
  const ButtonSetup setups[3] = {
      {&closeButton, ":CloseIcon", "Icons/Close.png", eMSG_GUIHIDE},
      {&minimiseButton, ":MinimiseIcon", "Icons/Minimise.png", eMSG_GUIMINIMISE},
      {&maximiseButton, ":MaximiseIcon", "Icons/Maximise.png", eMSG_GUIMAXIMISE},
  };
  for (const ButtonSetup& setup : setups) {
    setup.button->name = name + setup.suffix;
    CMSGMessage& press = setup.button->pressMessage;
    press.id = setup.message;
    press.source = ownId;
    press.target = parentId;
    press.parameter = 0;
    press.dueTime = 0.0;
    press.handled = 0;
    setup.button->SetImage(1, setup.image);
    setup.button->Show(true);
    setup.button->Activate(true);
    setup.button->OnCreate();
  }
}

void TitleBar::Draw() {
  TextBox::Draw();
  if (!HasState(GUIState::kShown) || !HasButtons()) return;
  closeButton.Draw();
  minimiseButton.Draw();
  maximiseButton.Draw();
}

void TitleBar::OnMessage(CMSGMessage* message) {
  TextBox::OnMessage(message);
  if (!HasState(GUIState::kActive) || !HasButtons()) return;
  for (Icon* button : {&closeButton, &minimiseButton, &maximiseButton}) button->OnMessage(message);
}
