#include "engine/tools/ConsoleWindow.h"

#include <cstring>

#include "engine/foundation/Log.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/ScrollBar.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/DebugCanvas.h"

namespace {

constexpr int kTextFont = 0;
const char* const kFrameImage = "Frames/MainWindow.png";

ConsoleWindow* gLive = nullptr;

// The commands look the console up when they run, so a destroyed window is
// never reached and a remade one is.
class ClearCommand : public ConsoleCommandHandler {
 public:
  int32_t Invoke(String*) override {
    ConsoleWindow* console = ConsoleWindow::Live();
    if (console == nullptr) return 0;
    if (LogChannel* shown = GetLogChannel(console->channel)) shown->Clear();
    return 0;
  }
};

class HideCommand : public ConsoleCommandHandler {
 public:
  int32_t Invoke(String*) override {
    // A hidden console still asks for the slide out.
    if (ConsoleWindow* console = ConsoleWindow::Live()) console->Show(false);
    return 0;
  }
};

void RegisterCommandsOnce() {
  static ClearCommand clear;
  static HideCommand hide;
  static bool registered = false;
  if (registered) return;
  registered = true;
  CCommandRegistry* registry = CCommandRegistry::Get();
  registry->Register(String("CLEAR"), &clear, 0, String("Clears the console."));
  registry->Register(String("HIDE"), &hide, 0, String("Hides the console."));
}

int32_t LineCount(const LogChannel* shown) {
  return shown != nullptr ? static_cast<int32_t>(shown->GetWriteIndex()) : 0;
}

// Bit 1 off, bit 0 on: the box draws the nine-piece frame.
void UseFrameStyle(GUIObject& element) { element.SetStyle((element.GetStyle() & ~0x2u) | 0x1u); }

void UseOwnerFont(TextBox& box, const Window& owner) {
  for (TextBox::TextStyle& style : box.styles) style.font = owner.frameStyle;
}

Rect RectAt(float x, float y, float width, float height) {
  Rect rect;
  rect.SetPositionSize(Vector2(x, y), Vector2(width, height));
  return rect;
}

}  // namespace

ConsoleWindow::ConsoleWindow() {
  name = "Vyre Console";
  const float yellow[4] = {0.85f, 0.85f, 0.0f, 1.0f};
  std::memcpy(colour, yellow, sizeof colour);
  RegisterCommandsOnce();
  gLive = this;
}

ConsoleWindow::~ConsoleWindow() {
  if (gLive == this) gLive = nullptr;
}

ConsoleWindow* ConsoleWindow::Live() { return gLive; }

int ConsoleWindow::PageRows() const {
  const int lineHeight = GetDebugCanvas().FontHeight(kTextFont);
  if (lineHeight <= 0) return 0;
  const int rows = static_cast<int>(inner.Height() / static_cast<float>(lineHeight));
  return rows > 0 ? rows : 0;
}

void ConsoleWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 200), Vector2(768, 368), kBottom);
  style |= GUIStyle::kTitleButtons;
  CreateScrollBars(false, true);
  if (verticalBar != nullptr) {
    verticalBar->SetRange(0.0f, static_cast<float>(LineCount(GetLogChannel(channel))), 1.0f);
    verticalBar->ToEnd();
    verticalBar->UpdateThumb();
  }
  hitOnInner = 1;
  UpdateContentArea();
  // The bar picks which lines the page prints; moving the contents by its
  // value as well would push them out of the frame as the log grows.
  scrollsContents = 0;
}

void ConsoleWindow::Show(bool show) {
  DebugWindow::Show(show);
  if (inputLine == nullptr) return;
  // While the console is out its line takes the typing, wherever the
  // pointer rests.
  GUIWindowManager* manager = GetWindowManager();
  if (show) {
    manager->SetKeyboardFocus(inputLine);
  } else if (manager->GetKeyboardFocus() == inputLine) {
    manager->SetKeyboardFocus(nullptr);
  }
}

void ConsoleWindow::DrawContents() {
  DebugWindow::DrawContents();
  const LogChannel* shown = GetLogChannel(channel);
  if (shown == nullptr) return;
  DebugCanvas& canvas = GetDebugCanvas();
  const int rows = PageRows();

  const int32_t count = LineCount(shown);
  if (followNewest && count != lastLineCount && verticalBar != nullptr) {
    verticalBar->SetRange(0.0f, static_cast<float>(count), 1.0f);
    verticalBar->ToEnd();
    verticalBar->UpdateThumb();
    lastLineCount = count;
  }

  SetDebugTextCell(1, 1);
  float kept[4];
  canvas.GetFontColour(frameStyle, kept);
  const int lineHeight = canvas.FontHeight(frameStyle);
  const int newest = verticalBar != nullptr ? static_cast<int>(verticalBar->GetValue()) : count;
  // Only the lines written since the ring last wrapped: the slots at and
  // past the write index hold the oldest lines, which are not shown.
  const int shownEnd = static_cast<int>(shown->GetWriteIndex() < shown->GetLineCapacity() ? shown->GetWriteIndex()
                                                                                          : shown->GetLineCapacity());
  // A line longer than the page is cut at its edge.
  canvas.BeginClip(inner);
  int y = rows * lineHeight;
  for (int row = 0; row < rows; ++row, y -= lineHeight) {
    const int index = newest - row;
    if (index < 0 || index >= shownEnd) continue;
    const LogLine* line = shown->GetLine(static_cast<uint32_t>(index));
    if (line == nullptr || line->text.IsEmpty()) continue;
    canvas.SetFontColour(frameStyle, line->colour);
    canvas.Print(line->text.Chars(), frameStyle, 1, y);
  }
  canvas.EndClip();
  canvas.SetFontColour(frameStyle, kept);
}

ConsoleInputBox* ConsoleWindow::CreateConsolePrompt(Window& owner) {
  ConsoleInputBox* prompt = new ConsoleInputBox();
  prompt->SetImage(1, kFrameImage);
  UseFrameStyle(*prompt);
  UseOwnerFont(*prompt, owner);
  prompt->Layout(RectAt(32, 568, 768, 32), RectAt(48, 584, 736, 0));
  prompt->name = owner.name + ":Prompt";
  prompt->SetLayer(owner.GetLayer() + 1.0f);
  prompt->editable = 1;
  // A typed line's notice goes to the owner.
  prompt->SetParentId(owner.GetId());
  GetGUIMSGService()->Post(eMSG_GUIENABLE, owner.GetId(), prompt->GetId(), 0, 0.0);
  owner.children.Add(prompt);
  return prompt;
}

TextBox* ConsoleWindow::CreateTipBox(Window& owner) {
  TextBox* tip = new TextBox();
  UseOwnerFont(*tip, owner);
  UseFrameStyle(*tip);
  tip->SetImage(1, kFrameImage);
  // Hit-tested on the whole box; the content area follows the layout.
  tip->hitOnInner = 0;
  tip->Layout(RectAt(0, 0, 128, 24), RectAt(4, 4, 120, 16));
  tip->SetLayer(110.0f);
  owner.hitOnInner = 0;
  owner.Layout(owner.outer, owner.inner);
  owner.children.Add(tip);
  return tip;
}
