#include "physics/memory/dgRef.h"

#include "physics/memory/dgCRC.h"

void dgRef::SetName(const char* name) { nameId_ = name ? dgCRC(name) : 0; }

const char* dgRef::GetName() const { return nameId_ ? dgNameOfCRC(nameId_) : nullptr; }

bool dgRef::Release() {
  flagsAndCount_ -= kOneReference;
  if ((flagsAndCount_ >> 8) != 0) return false;
  Destroy();
  return true;
}
