#pragma once

// The console's commands: a fixed table of named commands, each with the
// number of argument words it wants, a help text and a handler.

#include <array>
#include <cstdint>

#include "engine/foundation/String.h"

// What a command runs. Handlers return 0 when done and a negative number on
// failure (-1 missing or wrong arguments, -2 wrong arguments or a failed load).
class ConsoleCommandHandler {
 public:
  virtual ~ConsoleCommandHandler() = default;
  // Runs the command with its argument text (null for a command without arguments).
  virtual int32_t Invoke(String* arguments) = 0;
};

// A handler that calls a plain function.
class FunctionCommandHandler : public ConsoleCommandHandler {
 public:
  using Function = int32_t (*)(String* arguments);
  explicit FunctionCommandHandler(Function target) : function_(target) {}
  int32_t Invoke(String* arguments) override { return function_ ? function_(arguments) : -1; }

 private:
  Function function_;
};

// One entry of the command table.
class CConsoleCommand {
 public:
  virtual ~CConsoleCommand() = default;

  // Runs the handler when the argument words match the expected count (a
  // command wanting none runs whatever follows, without argument text); -1
  // when disabled, without a handler or given the wrong number of words.
  int32_t Run(String* arguments);

  String GetName() const { return name; }
  int32_t GetArgumentCount() const { return argumentCount; }
  bool IsEnabled() const { return enabled; }
  void SetEnabled(bool flag) { enabled = flag; }

  bool enabled = true;
  ConsoleCommandHandler* handler = nullptr;  // not owned
  String name;
  // Words the handler wants; 0 means none.
  int32_t argumentCount = 0;
  String help;
};

class CCommandRegistry {
 public:
  static constexpr uint32_t kCapacity = 512;

  // The registry, built on first use.
  static CCommandRegistry* Get();
  virtual ~CCommandRegistry() = default;

  // Appends a command (names are registered in upper case); false, logged,
  // when the table is full.
  bool Register(const String& name, ConsoleCommandHandler* handler, int32_t argumentCount, const String& help);
  // Runs the first command of that name: the name is upper-cased in place.
  // -1 for an empty or unknown name, else the command's result.
  int32_t Execute(String& name, String arguments);

  // The entry at an index, or null.
  CConsoleCommand* GetCommand(uint32_t index);
  void Disable(uint32_t index);
  void Enable(uint32_t index);
  uint32_t GetCount() const { return count_; }

  // "NAME(count) - help", help prefixed by "[DISABLED]" for a disabled command.
  String Describe(uint32_t index) const;
  // "NAME : Binding unavailable - requires _DEBUG build".
  String DescribeBinding(uint32_t index) const;
  // Writes every command's binding line to the GEM log channel.
  void List() const;

 private:
  std::array<CConsoleCommand, kCapacity> entries_;
  uint32_t count_ = 0;
};
