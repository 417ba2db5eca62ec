#pragma once
// The console's input line: a text box whose submitted line becomes a
// command call or a variable assignment.

#include "engine/gui/TextBox.h"

class ConsoleInputBox : public TextBox {
 public:
  static constexpr int kMaxWords = 10;

  ConsoleInputBox();
  // Text-box editing; Up brings the last submitted line back.
  void TypeKey(uint8_t code, bool shifted) override;
  // When a line was submitted: logs it and runs it.
  void SubmitPending();

  uint8_t commandRan = 0;
  String message;
  int32_t wordCount = 0;
  String lastLine;
  String words[kMaxWords];
};

// Runs the box's current line: "name = value" assigns a console variable,
// anything else calls a command; failures are logged on the GEM channel.
void ConsoleInput(ConsoleInputBox* box);
