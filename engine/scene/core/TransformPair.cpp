// The transform pair, and its record read and written through a File.

#include "engine/scene/core/TransformPair.h"

#include "engine/foundation/File.h"

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
