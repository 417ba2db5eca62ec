// The transform pair, and the transform-pair and instance records read and
// written through a File.

#include "engine/scene/core/TransformPair.h"

#include <string>

#include "engine/foundation/File.h"
#include "engine/scene/model/Instance.h"

void C3METransformPair::CopyFrom(const C3METransformPair& other) {
  pose.Copy(other.pose);
  bind.Copy(other.bind);
}

void C3METransformPair::ResetPose() { pose.Copy(bind); }

namespace {

constexpr int kMatrixFloats = 16;

bool Writable(const File& file) { return file.IsOpen() && (file.GetFlags() & (File::kWrite | File::kAppend)) != 0; }

bool Readable(const File& file) { return file.IsOpen() && (file.GetFlags() & File::kRead) != 0; }

void WriteFloats(File& file, const float* values, int count) {
  for (int i = 0; i < count; ++i) file.WriteFloat(values[i]);
}

void SkipFloats(File& file, int count) {
  for (int i = 0; i < count; ++i) file.ReadFloat();
}

int16_t ReadShort(File& file) {
  int16_t value = 0;
  file.ReadS16(value);
  return value;
}

}  // namespace

void C3METransformPair::Write(File& file) const {
  if (!Writable(file)) return;
  file.WriteS16(0);
  // The matrix is always raw bytes, and only a fresh file gets it.
  if ((file.GetFlags() & File::kWrite) != 0) file.WriteBlock(bind.local.m, sizeof(float) * kMatrixFloats, 1);
  const Vector3& p = bind.centre;
  const float position[3] = {p.x, p.y, p.z};
  WriteFloats(file, position, 3);
  file.WriteFloat(bind.radius);
  for (int copy = 0; copy < 3; ++copy) WriteFloats(file, position, 3);
  const float rotation[4] = {bind.rotation.x, bind.rotation.y, bind.rotation.z, bind.rotation.w};
  WriteFloats(file, rotation, 4);
  const float zeros[7] = {};
  file.WriteS16(0);
  WriteFloats(file, zeros, 4);
  file.WriteS16(0);
  WriteFloats(file, zeros, 4);
  file.WriteS16(0);
  WriteFloats(file, zeros, 7);
}

void C3METransformPair::Read(File& file) {
  if (!Readable(file)) return;
  ReadShort(file);
  float matrix[kMatrixFloats];
  if (file.ReadBlock(matrix, sizeof(matrix), 1) == 1) bind.local.Set(matrix);
  // A short matrix closed the file: the remaining fields read nothing.
  float position[3] = {bind.centre.x, bind.centre.y, bind.centre.z};
  for (float& value : position) file.ReadFloat(value);
  bind.centre = Vector3(position[0], position[1], position[2]);
  file.ReadFloat(bind.radius);
  SkipFloats(file, 9);
  file.ReadFloat4(bind.rotation);
  ReadShort(file);
  SkipFloats(file, 4);
  ReadShort(file);
  SkipFloats(file, 4);
  ReadShort(file);
  SkipFloats(file, 7);
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
