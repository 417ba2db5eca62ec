// The binary mesh record with its levels and index lists.
#include "engine/foundation/File.h"
#include "engine/scene/model/Mesh.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(MeshRecord) {
  const std::string path = fuzz::ScratchFile("mesh.bin", data, size);
  File in;
  if (!(in.OpenRead(path.c_str()) & File::kOpen)) return;
  C3MEMesh mesh;
  if (mesh.Read(in)) mesh.ComputeBounds();
}
