#include "engine/tools/RegisterWindow.h"

#include <cstdio>

#include "engine/runtime/messages/MSGService.h"

RegisterWindow::RegisterWindow(const char* windowName, const char* rootName, uint32_t cacheSize) : rootName_(rootName) {
  name = windowName;
  wantedCacheSize_ = cacheSize;
  Root().name = rootName_;
}

RegisterWindow::~RegisterWindow() = default;

void RegisterWindow::Show(bool visible) {
  if (!visible) {
    state &= ~GUIState::kShown;
    return;
  }
  state |= GUIState::kShown;
  Populate();
}

void RegisterWindow::Activate(bool active) {
  if (companion_ != nullptr) {
    GetGUIMSGService()->Post(active ? eMSG_GUIACTIVATE : eMSG_GUIDEACTIVATE, ownId, companion_->GetId(), 0, 0.0);
  }
  GUIExplorer::Activate(active);
  if (active) Layout(outer, inner);
}

void RegisterWindow::SetDefaultFrame(int32_t frame) {
  GUIExplorer::SetDefaultFrame(frame);
  SetLayer(DebugWindow::kDeveloperLayer);
  CreateTitleBar(name.Chars(), DebugWindow::kTitleBarStyle);
  Rect outerRect;
  outerRect.SetPositionSize(Vector2(32, 0), Vector2(300, 568));
  Rect client;
  client.SetPositionSize(Vector2(48, 16), Vector2(268, 536));
  SetRect(outerRect, client);
  companion_ = CreateCompanion();
  if (companion_ != nullptr) companion_->SetDefaultFrame(frame);
}

void RegisterWindow::BeginRebuild() {
  ClearChildren(&Root());
  Root().name = rootName_;
}

void RegisterWindow::EndRebuild(bool openRoot) {
  if (openRoot) Root().expanded = 1;
  Layout(outer, inner);
}

GUIExplorerItem* RegisterWindow::AddRow(GUIExplorerItem* parent, int32_t index, const char* text, int32_t data) {
  char row[256];
  std::snprintf(row, sizeof row, "[%d] %s", index, text);
  return AddTextRow(parent, row, data);
}

GUIExplorerItem* RegisterWindow::AddTextRow(GUIExplorerItem* parent, const char* text, int32_t data) {
  if (parent == nullptr) parent = &Root();
  GUIExplorerItem* item = GetChild(parent, static_cast<uint32_t>(AddItem(parent, text)));
  item->data = data;
  return item;
}

void RegisterWindow::ShowCompanion() {
  if (companion_ != nullptr) GetGUIMSGService()->Post(eMSG_GUISHOW, ownId, companion_->GetId(), 0, 0.0);
}
