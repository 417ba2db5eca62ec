#pragma once

// The console's variables: named, typed views of engine fields that the
// console prints and sets.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/String.h"

// Type codes of console variables and the storage each one points at.
enum ConsoleVariableType : int32_t {
  kCVarBool = 0,      // byte, "true"/"false"; parses 1, 0, TRUE, FALSE in any case
  kCVarInt8 = 1,      // "%d"
  kCVarInt16 = 2,     // "%d"
  kCVarInt32 = 3,     // "%d"
  kCVarUInt8 = 4,     // "%u"
  kCVarUInt16 = 5,    // "%u"
  kCVarUInt32 = 6,    // "%u"
  kCVarFloat = 7,     // "%f"
  kCVarDouble = 8,    // "%f", parsed as a float
  kCVarVector2 = 9,   // "[%f, %f]"
  kCVarVector3 = 10,  // "[%f, %f, %f]"
  kCVarNone = 11,     // shows nothing, takes nothing
  kCVarFloat4 = 12,   // four floats in a row, "[%f, %f, %f, %f]"
  kCVarString = 13,   // a String, the whole text
  kCVarUntyped = 14,  // the default: shows nothing, takes nothing
};

class CConsoleVariable {
 public:
  virtual ~CConsoleVariable() = default;

  // The value as text, formatted by its type.
  String ToString() const;
  // Sets the value from text by its type; fields that do not convert keep
  // their values. Nothing happens when the variable is disabled, has no
  // storage or the text is empty.
  void FromString(const String& text);

  String GetName() const { return name; }
  String GetHelp() const { return help; }

  bool enabled = false;
  int32_t type = kCVarUntyped;
  String name;
  String help;
  // The engine field shown and set (not owned); null shows and sets nothing.
  void* storage = nullptr;
};

class CVariableRegistry {
 public:
  // The registry, built on first use.
  static CVariableRegistry* Get();
  virtual ~CVariableRegistry() = default;

  // Finds or creates: an existing name keeps its first binding; a new
  // variable is enabled and appended.
  CConsoleVariable* Register(const String& name, int32_t type, void* storage, const String& help);
  // The first variable of that name (case-sensitive), or null.
  CConsoleVariable* Find(const String& name) const;

  // "{name} = value : help"; empty out of range.
  String Describe(uint32_t index) const;
  // Writes every variable's description to the GEM log channel.
  void List() const;

  uint32_t GetCount() const { return static_cast<uint32_t>(variables_.size()); }
  // The variable at an index, or null.
  CConsoleVariable* GetVariable(uint32_t index) const;
  void Disable(uint32_t index);
  void Enable(uint32_t index);

 private:
  std::vector<std::unique_ptr<CConsoleVariable>> variables_;
};
