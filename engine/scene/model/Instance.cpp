#include "engine/scene/model/Instance.h"

#include <new>
#include <string>

#include "engine/foundation/File.h"

namespace {

bool Readable(const File& file) { return file.IsOpen() && (file.GetFlags() & File::kRead) != 0; }

}  // namespace

C3MEInstance::C3MEInstance() : name("Initial") {}

C3MEInstance::~C3MEInstance() { ClearChildren(); }

void C3MEInstance::Assign(const C3MEInstance& other) {
  if (&other == this) return;
  name = other.name;
  componentId = other.componentId;
  mesh = other.mesh;
  transforms.CopyFrom(other.transforms);
  parent = other.parent;
  tag = other.tag;
  world = other.world;
  if (!ReserveChildren(other.childCount)) return;
  for (uint32_t k = 0; k < other.childCount; ++k)
    if (other.childIds[k] >= 0) AddChild(other.childIds[k]);
}

bool C3MEInstance::ReserveChildren(uint32_t n) {
  ClearChildren();
  if (n == 0) return true;
  childIds = new (std::nothrow) int32_t[n];
  children = new (std::nothrow) C3MEInstance*[n]();
  if (childIds == nullptr || children == nullptr) {
    ClearChildren();
    return false;
  }
  for (uint32_t k = 0; k < n; ++k) childIds[k] = -1;
  childCount = n;
  return true;
}

void C3MEInstance::ClearChildren() {
  delete[] childIds;
  delete[] children;
  childIds = nullptr;
  children = nullptr;
  childCount = 0;
}

void C3MEInstance::AddChild(int32_t id) {
  if (id < 0) return;
  for (uint32_t k = 0; k < childCount; ++k) {
    if (childIds[k] == -1) {
      childIds[k] = id;
      return;
    }
  }
}

void C3MEInstance::RemoveChild(int32_t id) {
  if (id < 0) return;
  for (uint32_t k = 0; k < childCount; ++k) {
    if (childIds[k] == id) {
      childIds[k] = -1;
      children[k] = nullptr;
    }
  }
  // Used slots move to the front, keeping their order.
  uint32_t write = 0;
  for (uint32_t read = 0; read < childCount; ++read) {
    if (childIds[read] == -1) continue;
    childIds[write] = childIds[read];
    children[write] = children[read];
    ++write;
  }
  for (; write < childCount; ++write) {
    childIds[write] = -1;
    children[write] = nullptr;
  }
}

uint32_t C3MEInstance::CountChildren() const {
  uint32_t used = 0;
  for (uint32_t k = 0; k < childCount; ++k)
    if (childIds[k] >= 0) ++used;
  return used;
}

void C3MEInstance::Write(File& file) const {
  file.WriteString(name);
  file.WriteInt(componentId);
  file.WriteInt(tag);
  file.WriteInt(int32_t(childCount));
  transforms.Write(file);
  for (uint32_t k = 0; k < childCount; ++k) file.WriteInt(childIds[k]);
}

bool C3MEInstance::Read(File& file) {
  if (!Readable(file)) return false;
  String line;
  file.ReadLine(line);
  std::string text(line.Chars());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  name = text.c_str();
  componentId = file.ReadInt();
  tag = file.ReadInt();
  const int32_t count = file.ReadInt();
  transforms.Read(file);
  if (!file.IsOpen()) return false;
  // Every id takes at least one byte: a count the file cannot hold is refused.
  const int64_t left = file.GetSize() - file.Tell();
  if (count < 0 || int64_t(count) > left) return false;
  if (!ReserveChildren(uint32_t(count))) return false;
  for (int32_t k = 0; k < count; ++k) childIds[k] = file.ReadInt();
  return file.IsOpen();
}
