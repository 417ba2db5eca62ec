#include "engine/tools/DebugWindow.h"

#include <cstdarg>
#include <cstdio>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Rect.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/fsm/StateMachine.h"
#include "engine/tools/DebugCanvas.h"

namespace {

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;

int gTextCellWidth = 1;
int gTextCellHeight = 1;

// Curve, no loop, start, end, duration; back at the start.
void SetChannel(AnimChannel& channel, float start, float delta, float duration) {
  channel.Set(AnimChannel::kSmoothRise, false, start, start + delta, duration);
}

}  // namespace

void SetDebugTextCell(int widthUnits, int heightUnits) {
  gTextCellWidth = widthUnits < 1 ? 1 : widthUnits;
  gTextCellHeight = heightUnits < 1 ? 1 : heightUnits;
}

int DebugTextCellWidth() { return gTextCellWidth; }
int DebugTextCellHeight() { return gTextCellHeight; }

int WideLetterCell() {
  const int width = GetDebugCanvas().TextWidth(0, "W");
  return width < 1 ? 1 : width;
}

DebugWindow::DebugWindow() { name = "Vyre Window"; }

DebugWindow::~DebugWindow() = default;

void DebugWindow::Show(bool show) {
  if (!slideEnabled) {
    Window::Show(show);
    return;
  }
  if (show) {
    QueueShow();
  } else {
    QueueHide();
  }
}

void DebugWindow::OnMessage(CMSGMessage* message) {
  // The base shows only a hidden element, but a window sliding out keeps its
  // visible bit until the slide ends, and the show would be lost.
  const bool slidingOut = IsCurrent(&hideState) || IsPending(&hideState);
  if (slideEnabled && slidingOut && message->id == eMSG_GUISHOW && !(message->handled & 1) &&
      HasState(GUIState::kActive)) {
    Show(true);
  }
  // Shown from its key or its toolbar button: hidden no more behind the
  // windows already open, and its own keys and clicks go to it.
  const bool showing =
      message->target == ownId && (message->id == eMSG_GUISHOW || (message->id == eMSG_GUITOGGLESHOW && !IsVisible()));
  Window::OnMessage(message);
  if (showing && (IsVisible() || IsPending(&showState))) {
    GetWindowManager()->BringToFront(this);
    GetWindowManager()->SetFocusedWindow(this);
  }
}

void DebugWindow::DrawContents() { Window::DrawContents(); }

void DebugWindow::OnShowEnter() {
  state |= GUIState::kShown;
  showX.Reset();
  showY.Reset();
}

void DebugWindow::OnShowUpdate() { StepSlide(showX, showY); }

void DebugWindow::OnHideEnter() {
  hideX.Reset();
  hideY.Reset();
}

void DebugWindow::OnHideUpdate() { StepSlide(hideX, hideY); }

void DebugWindow::OnHideExit() { state &= ~GUIState::kShown; }

void DebugWindow::StepSlide(AnimChannel& x, AnimChannel& y) {
  const float step = Clock::Instance().GetGameDelta();
  x.Update(step);
  y.Update(step);
  if (x.Finished() && y.Finished()) {
    Next(GetNullState());
  }
  // Delay 0: delivered before Post returns, so the local is still alive.
  const Vector2 position(x.output, y.output);
  PostGUI(eMSG_GUIREPOSITION, ownId, reinterpret_cast<intptr_t>(&position));
}

void DebugWindow::SetDefaultFrame(int32_t fontIndex) {
  Window::SetDefaultFrame(fontIndex);
  layer = kBareLayer;
  state &= ~GUIState::kDefaults;
}

void DebugWindow::SetSlideEdge(int edge) {
  const float x = outer.min.x;
  const float y = outer.min.y;
  const Vector2 size = outer.GetSize();
  switch (edge) {
    case kBottom:
      SetChannel(showX, x, 0.0f, 0.0f);
      SetChannel(showY, kScreenHeight, y - kScreenHeight, kSlideSeconds);
      SetChannel(hideX, x, 0.0f, 0.0f);
      SetChannel(hideY, y, kScreenHeight - y, kSlideSeconds);
      break;
    case kTop:
      SetChannel(showX, x, 0.0f, 0.0f);
      SetChannel(showY, -size.y, y + size.y, kSlideSeconds);
      SetChannel(hideX, x, 0.0f, 0.0f);
      SetChannel(hideY, y, -size.y - y, kSlideSeconds);
      break;
    case kRight:
      SetChannel(showX, kScreenWidth, x - kScreenWidth, kSlideSeconds);
      SetChannel(showY, y, 0.0f, 0.0f);
      SetChannel(hideX, x, kScreenWidth - x, kSlideSeconds);
      SetChannel(hideY, y, 0.0f, 0.0f);
      break;
    case kLeft:
      SetChannel(showX, -size.x, x + size.x, kSlideSeconds);
      SetChannel(showY, y, 0.0f, 0.0f);
      SetChannel(hideX, x, -size.x - x, kSlideSeconds);
      SetChannel(hideY, y, 0.0f, 0.0f);
      break;
    default:
      break;
  }
}

void DebugWindow::SetDeveloperFrame(int32_t fontIndex, const Vector2& position, const Vector2& size, int slideEdge) {
  Window::SetDefaultFrame(fontIndex);
  layer = kDeveloperLayer;
  state &= ~GUIState::kDefaults;
  CreateTitleBar(name.Chars(), kTitleBarStyle);
  Rect outerRect;
  outerRect.SetPositionSize(position, size);
  Rect client;
  client.SetPositionSize(Vector2(position.x + kClientMargin, position.y + kClientMargin),
                         Vector2(size.x - 2 * kClientMargin, size.y - 2 * kClientMargin));
  SetRect(outerRect, client);
  if (slideEdge >= kBottom && slideEdge <= kLeft) {
    SetSlideEdge(slideEdge);
    slideEnabled = 1;
  }
}

void DebugWindow::PrintCell(const char* text, int column, int line) const {
  PrintCellInFont(frameStyle, text, column, line);
}

void DebugWindow::PrintCellInFont(int font, const char* text, int column, int line) const {
  GetDebugCanvas().Print(text, font, column * gTextCellWidth, line * gTextCellHeight);
}

void DebugWindow::PrintfCell(int font, int column, int line, const char* format, ...) const {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  PrintCellInFont(font, text, column, line);
}

void DebugWindow::BeginContents(int cellWidth, int cellHeight) {
  DebugWindow::DrawContents();
  ApplyColour();
  SetDebugTextCell(cellWidth, cellHeight);
}

void DebugWindow::ApplyColour() const { GetDebugCanvas().SetColour(colour); }
