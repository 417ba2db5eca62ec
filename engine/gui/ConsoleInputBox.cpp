#include "engine/gui/ConsoleInputBox.h"

#include "engine/foundation/Log.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/messages/MSGService.h"
#include "platform/KeyCodes.h"

ConsoleInputBox::ConsoleInputBox() { name = "ConsoleInputBox"; }

void ConsoleInputBox::TypeKey(uint8_t code, bool shifted) {
  TextBox::TypeKey(code, shifted);
  if (code == platform::key::Up) {
    text = lastLine;
    RefreshText();
  }
}

void ConsoleInputBox::SubmitPending() {
  if (!submitted) return;
  LogGEM("%s", text.Chars());
  ConsoleInput(this);
}

void ConsoleInput(ConsoleInputBox* box) {
  if (box == nullptr) return;
  box->lastLine = box->text;
  int count = box->text.CountWords();
  if (count > ConsoleInputBox::kMaxWords) count = ConsoleInputBox::kMaxWords;
  if (count < 0) count = 0;
  box->wordCount = count;
  for (int i = 0; i < ConsoleInputBox::kMaxWords; ++i) {
    box->words[i] = i < count ? box->text.GetWord(i) : String("");
  }
  if (box->text.Find("=") >= 0) {
    CConsoleVariable* variable = CVariableRegistry::Get()->Find(box->words[0]);
    if (variable != nullptr) {
      variable->FromString(box->words[2]);
    } else {
      box->message.noNewline = 1;
      box->message.Format("%s : Variable not recognised", box->words[0].Chars());
    }
  } else {
    String arguments("");
    for (int i = 1; i < count; ++i) {
      arguments += box->words[i];
      arguments += " ";
    }
    String command = box->words[0];
    if (CCommandRegistry::Get()->Execute(command, arguments) >= 0) {
      box->commandRan = 1;
    } else {
      box->message = "Input not recognised.";
    }
  }
  if (!box->message.IsEmpty()) {
    LogGEM("%s", box->message.Chars());
    box->message = "";
  }
  box->text = "";
  box->RefreshText();
  box->text.Reserve(256);
  GetGUIMSGService()->Post(eMSG_GUIUPDATE, box->GetId(), box->GetId(), 0, 0.0);
  box->submitted = 0;
  box->commandRan = 0;
}
