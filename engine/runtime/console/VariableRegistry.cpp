#include "engine/runtime/console/VariableRegistry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"

namespace {

// "%d" and "%u" as sscanf reads them, without its undefined behaviour on
// overflow: the number is truncated to 32 bits like the narrower widths.
bool ParseSigned(const char* text, int32_t* out) {
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 10);
  if (end == text) return false;
  *out = static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(value)));
  return true;
}

bool ParseUnsigned(const char* text, uint32_t* out) {
  char* end = nullptr;
  unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

// Reads up to four floats with the format; fields that do not convert keep their values.
void ParseFloats(const char* text, const char* format, float* values) {
  std::sscanf(text, format, &values[0], &values[1], &values[2], &values[3]);
}

template <class Integer>
void StoreSigned(const char* text, void* storage) {
  int32_t value;
  if (ParseSigned(text, &value)) *static_cast<Integer*>(storage) = static_cast<Integer>(value);
}

template <class Integer>
void StoreUnsigned(const char* text, void* storage) {
  uint32_t value;
  if (ParseUnsigned(text, &value)) *static_cast<Integer*>(storage) = static_cast<Integer>(value);
}

}  // namespace

String CConsoleVariable::ToString() const {
  if (!storage) return String();
  char text[512] = {};
  const float* floats = static_cast<const float*>(storage);
  switch (type) {
    case kCVarBool:
      return String(*static_cast<const uint8_t*>(storage) ? "true" : "false");
    case kCVarInt8:
      std::snprintf(text, sizeof text, "%d", *static_cast<const int8_t*>(storage));
      break;
    case kCVarInt16:
      std::snprintf(text, sizeof text, "%d", *static_cast<const int16_t*>(storage));
      break;
    case kCVarInt32:
      std::snprintf(text, sizeof text, "%d", *static_cast<const int32_t*>(storage));
      break;
    case kCVarUInt8:
      std::snprintf(text, sizeof text, "%u", *static_cast<const uint8_t*>(storage));
      break;
    case kCVarUInt16:
      std::snprintf(text, sizeof text, "%u", *static_cast<const uint16_t*>(storage));
      break;
    case kCVarUInt32:
      std::snprintf(text, sizeof text, "%u", *static_cast<const uint32_t*>(storage));
      break;
    case kCVarFloat:
      std::snprintf(text, sizeof text, "%f", floats[0]);
      break;
    case kCVarDouble:
      std::snprintf(text, sizeof text, "%f", *static_cast<const double*>(storage));
      break;
    case kCVarVector2: {
      const Vector2& v = *static_cast<const Vector2*>(storage);
      std::snprintf(text, sizeof text, "[%f, %f]", v.x, v.y);
      break;
    }
    case kCVarVector3: {
      const Vector3& v = *static_cast<const Vector3*>(storage);
      std::snprintf(text, sizeof text, "[%f, %f, %f]", v.x, v.y, v.z);
      break;
    }
    case kCVarFloat4:
      std::snprintf(text, sizeof text, "[%f, %f, %f, %f]", floats[0], floats[1], floats[2], floats[3]);
      break;
    case kCVarString:
      return *static_cast<const String*>(storage);
    default:  // kCVarNone, kCVarUntyped and unknown codes show nothing
      break;
  }
  return String(text);
}

void CConsoleVariable::FromString(const String& text) {
  if (!enabled || !storage || text.IsEmpty()) return;
  const char* chars = text.Chars();
  switch (type) {
    case kCVarBool: {
      String upper = text;
      upper.ToUpper();
      if (upper == "1" || upper == "TRUE")
        *static_cast<uint8_t*>(storage) = 1;
      else if (upper == "0" || upper == "FALSE")
        *static_cast<uint8_t*>(storage) = 0;
      break;
    }
    case kCVarInt8:
      StoreSigned<int8_t>(chars, storage);
      break;
    case kCVarInt16:
      StoreSigned<int16_t>(chars, storage);
      break;
    case kCVarInt32:
      StoreSigned<int32_t>(chars, storage);
      break;
    case kCVarUInt8:
      StoreUnsigned<uint8_t>(chars, storage);
      break;
    case kCVarUInt16:
      StoreUnsigned<uint16_t>(chars, storage);
      break;
    case kCVarUInt32:
      StoreUnsigned<uint32_t>(chars, storage);
      break;
    case kCVarFloat:
      std::sscanf(chars, "%f", static_cast<float*>(storage));
      break;
    case kCVarDouble: {
      float value = 0.0f;
      if (std::sscanf(chars, "%f", &value) == 1) *static_cast<double*>(storage) = value;
      break;
    }
    case kCVarVector2: {
      Vector2& v = *static_cast<Vector2*>(storage);
      float values[4] = {v.x, v.y, 0.0f, 0.0f};
      ParseFloats(chars, "[%f, %f]", values);
      v.x = values[0];
      v.y = values[1];
      break;
    }
    case kCVarVector3: {
      Vector3& v = *static_cast<Vector3*>(storage);
      float values[4] = {v.x, v.y, v.z, 0.0f};
      ParseFloats(chars, "[%f, %f, %f]", values);
      v.x = values[0];
      v.y = values[1];
      v.z = values[2];
      break;
    }
    case kCVarFloat4:
      ParseFloats(chars, "[%f, %f, %f, %f]", static_cast<float*>(storage));
      break;
    case kCVarString:
      *static_cast<String*>(storage) = text;
      break;
    default:
      break;
  }
}

CVariableRegistry* CVariableRegistry::Get() {
  static CVariableRegistry registry;
  return &registry;
}

CConsoleVariable* CVariableRegistry::Register(const String& name, int32_t type, void* storage, const String& help) {
  if (CConsoleVariable* existing = Find(name)) return existing;
  auto variable = std::make_unique<CConsoleVariable>();
  variable->name = name;
  variable->type = type;
  variable->storage = storage;
  variable->help = help;
  variable->enabled = true;
  variables_.push_back(std::move(variable));
  return variables_.back().get();
}

CConsoleVariable* CVariableRegistry::Find(const String& name) const {
  for (const auto& variable : variables_) {
    if (variable->name == name) return variable.get();
  }
  return nullptr;
}

String CVariableRegistry::Describe(uint32_t index) const {
  const CConsoleVariable* variable = GetVariable(index);
  if (!variable) return String();
  std::string text = "{";
  text += variable->name.Chars();
  text += "} = ";
  text += variable->ToString().Chars();
  text += " : ";
  text += variable->help.Chars();
  return String(text.c_str());
}

void CVariableRegistry::List() const {
  LogGEM("/=");
  LogGEM("Variables");
  LogGEM("/=");
  for (uint32_t i = 0; i < GetCount(); ++i) LogGEM("%s", Describe(i).Chars());
}

CConsoleVariable* CVariableRegistry::GetVariable(uint32_t index) const {
  return index < variables_.size() ? variables_[index].get() : nullptr;
}

void CVariableRegistry::Disable(uint32_t index) {
  if (CConsoleVariable* variable = GetVariable(index)) variable->enabled = false;
}

void CVariableRegistry::Enable(uint32_t index) {
  if (CConsoleVariable* variable = GetVariable(index)) variable->enabled = true;
}
