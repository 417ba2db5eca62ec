#include "engine/runtime/console/CommandRegistry.h"

#include <string>

#include "engine/foundation/Log.h"

int32_t CConsoleCommand::Run(String* arguments) {
  if (!enabled || !handler) return -1;
  int words = arguments ? arguments->CountWords() : 0;
  if (words == argumentCount) return handler->Invoke(arguments);
  // A command without arguments ignores the words that follow it.
  if (argumentCount == 0) return handler->Invoke(nullptr);
  return -1;
}

CCommandRegistry* CCommandRegistry::Get() {
  static CCommandRegistry registry;
  return &registry;
}

bool CCommandRegistry::Register(const String& name, ConsoleCommandHandler* handler, int32_t argumentCount,
                                const String& help) {
  if (count_ >= kCapacity) {
    LogGEM("Console : the command table holds %u commands; '%s' is not registered", kCapacity, name.Chars());
    return false;
  }
  CConsoleCommand& entry = entries_[count_];
  entry.enabled = true;
  entry.name = name;
  entry.handler = handler;
  entry.argumentCount = argumentCount;
  entry.help = help;
  ++count_;
  return true;
}

int32_t CCommandRegistry::Execute(String& name, String arguments) {
  if (name.IsEmpty()) return -1;
  name.ToUpper();
  for (uint32_t i = 0; i < count_; ++i) {
    if (entries_[i].name == name) return entries_[i].Run(&arguments);
  }
  return -1;
}

CConsoleCommand* CCommandRegistry::GetCommand(uint32_t index) { return index < count_ ? &entries_[index] : nullptr; }

void CCommandRegistry::Disable(uint32_t index) {
  if (index < count_) entries_[index].enabled = false;
}

void CCommandRegistry::Enable(uint32_t index) {
  if (index < count_) entries_[index].enabled = true;
}

String CCommandRegistry::Describe(uint32_t index) const {
  if (index >= count_) return String("No command found");
  const CConsoleCommand& entry = entries_[index];
  std::string text = entry.name.Chars();
  text += '(';
  text += std::to_string(entry.argumentCount);
  text += ") - ";
  if (!entry.enabled) text += "[DISABLED]";
  text += entry.help.Chars();
  return String(text.c_str());
}

String CCommandRegistry::DescribeBinding(uint32_t index) const {
  if (index >= count_) return String("No command found");
  std::string text = entries_[index].name.Chars();
  text += " : Binding unavailable - requires _DEBUG build";
  return String(text.c_str());
}

void CCommandRegistry::List() const {
  LogGEM("/=");
  LogGEM("Commands");
  LogGEM("/=");
  for (uint32_t i = 0; i < count_; ++i) LogGEM("%s", DescribeBinding(i).Chars());
}
