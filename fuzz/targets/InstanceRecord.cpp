// The binary instance record (name, component id and transform pair).
#include "engine/foundation/File.h"
#include "engine/scene/model/Instance.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(InstanceRecord) {
  const std::string path = fuzz::ScratchFile("instance.bin", data, size);
  File in;
  if (!(in.OpenRead(path.c_str()) & File::kOpen)) return;
  C3MEInstance instance;
  instance.Read(in);
}
