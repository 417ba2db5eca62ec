// Message boxes over SDL2, answered from VYRE_MESSAGEBOX in scripted runs.

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

namespace platform {
namespace {

const char* AnswerName(MessageBoxAnswer answer) {
  switch (answer) {
    case MessageBoxAnswer::Yes:
      return "Yes";
    case MessageBoxAnswer::No:
      return "No";
    case MessageBoxAnswer::Ok:
      break;
  }
  return "OK";
}

MessageBoxAnswer AnswerUnattended(const std::string& title, const std::string& text, MessageBoxButtons buttons) {
  MessageBoxAnswer answer = MessageBoxAnswer::Ok;
  if (!ScriptedMessageBoxAnswer(buttons, &answer)) {
    // Nobody can see the box: take the first button, the one a player would
    // most likely press (Yes or OK).
    answer = buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::Yes : MessageBoxAnswer::Ok;
  }
  // The player is told what was asked and answered, developer switch or not.
  const std::string line = "[MessageBox] " + title + " : " + text + " -> " + AnswerName(answer) + "\n";
  DebugOutput(line.c_str(), Severity::Warning);
  return answer;
}

}  // namespace

bool ScriptedMessageBoxAnswer(MessageBoxButtons buttons, MessageBoxAnswer* answer) {
  const char* value = std::getenv("VYRE_MESSAGEBOX");
  if (!value) return false;
  bool yes = strcasecmp(value, "yes") == 0 || strcasecmp(value, "ok") == 0;
  bool no = strcasecmp(value, "no") == 0;
  if (!yes && !no) return false;
  if (buttons == MessageBoxButtons::Ok) {
    *answer = MessageBoxAnswer::Ok;  // the only button there is
  } else {
    *answer = yes ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
  }
  return true;
}

MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageBoxButtons buttons,
                                MessageBoxIcon icon) {
  MessageBoxAnswer scripted;
  if (ScriptedMessageBoxAnswer(buttons, &scripted)) return AnswerUnattended(title, text, buttons);

  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if (icon == MessageBoxIcon::Exclamation) flags = SDL_MESSAGEBOX_WARNING;
  if (icon == MessageBoxIcon::Error) flags = SDL_MESSAGEBOX_ERROR;
  const SDL_MessageBoxButtonData okButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"}};
  const SDL_MessageBoxButtonData yesNoButtons[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
                                                   {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "No"}};
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.title = title.c_str();
  data.message = text.c_str();
  if (buttons == MessageBoxButtons::YesNo) {
    data.numbuttons = 2;
    data.buttons = yesNoButtons;
  } else {
    data.numbuttons = 1;
    data.buttons = okButtons;
  }
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) return AnswerUnattended(title, text, buttons);
  if (buttons == MessageBoxButtons::Ok) return MessageBoxAnswer::Ok;
  // A box closed without a button counts as its escape button.
  return pressed == 1 ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
}

}  // namespace platform
