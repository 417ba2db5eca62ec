// The resource archive ("CAB01"): header, directory and entry lookups.
#include "engine/foundation/CABArchive.h"

#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(CabArchive) {
  const std::string path = fuzz::ScratchFile("fuzz.cab", data, size);
  CABArchive archive;
  if (!archive.Read(path.c_str())) return;
  for (int i = 0; i < archive.GetEntryCount(); ++i) {
    const char* name = archive.GetEntryName(i);
    if (name != nullptr) archive.Find(name);
    archive.GetEntrySize(i);
    archive.SeekToEntry(i);
  }
}
