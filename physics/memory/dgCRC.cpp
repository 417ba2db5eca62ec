#include "physics/memory/dgCRC.h"

#include <cstring>

#include "physics/memory/dgNameTable.h"

uint32_t dgCRC(const void* bytes, int length, uint32_t seed) {
  if (length < 1 || !bytes) return seed;
  return dgCRCOfText(std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(length)), seed);
}

uint32_t dgCRCOfBlock(const void* bytes, int length) { return dgCRC(bytes, length, 0); }

uint32_t dgCRC(const char* name) {
  if (!name) return 0;
  const size_t length = std::strlen(name);
  const uint32_t id = dgCRCOfText(std::string_view(name, length));
  dgNameTable::Instance().Register(id, name);
  return id;
}

const char* dgNameOfCRC(uint32_t id) { return dgNameTable::Instance().Find(id); }
