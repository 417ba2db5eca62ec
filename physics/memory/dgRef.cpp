#include "physics/memory/dgRef.h"

#include "physics/memory/dgCRC.h"

void dgRef::SetName(const char* name) { mNameId = name ? dgCRC(name) : 0; }

const char* dgRef::GetName() const { return mNameId ? dgNameOfCRC(mNameId) : nullptr; }

bool dgRef::Release() {
  mFlagsAndCount -= kOneReference;
  if ((mFlagsAndCount >> 8) != 0) return false;
  Destroy();
  return true;
}
