#include "engine/tools/FsmWindow.h"

#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FSMRegistry.h"

namespace {

constexpr int kIdColumn = 1;
constexpr int kNameColumn = 4;
constexpr int kStateColumn = 10;

}  // namespace

FsmWindow::FsmWindow() { name = "Vyre Finite State Machines"; }

FsmWindow::~FsmWindow() = default;

void FsmWindow::DrawContents() {
  const int cell = WideLetterCell();
  BeginContents(cell, cell);
  PrintCell("ID", kIdColumn, 0);
  PrintCell("GEO", kNameColumn, 0);
  PrintCell("State", kStateColumn, 0);

  const CFSMRegistry* registry = CFSMRegistry::Get();
  int row = 1;
  for (uint32_t i = 0; i < registry->GetCount() && row <= kMaxRows; ++i) {
    const Base* object = registry->GetAt(i);
    if (object == nullptr) continue;
    PrintfCell(frameStyle, kIdColumn, row, "[%d]", object->GetObjectId());
    PrintCell(object->name.Chars(), kNameColumn, row);
    PrintCell(object->GetCurrentStateName().Chars(), kStateColumn, row);
    ++row;
  }
}

void FsmWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 0), Vector2(300, 568), kLeft);
}
