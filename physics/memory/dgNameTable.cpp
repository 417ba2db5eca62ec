#include "physics/memory/dgNameTable.h"

#include <cstring>
#include <new>

dgNameTable& dgNameTable::Instance() {
  // Never destroyed: shapes and worlds released during static destruction
  // may still look up their names.
  alignas(dgNameTable) static unsigned char storage[sizeof(dgNameTable)];
  static dgNameTable* table = new (storage) dgNameTable();
  return *table;
}

void dgNameTable::Register(uint32_t id, const char* name) {
  if (!name || mNames.Find(id)) return;
  const size_t needed = std::strlen(name) + 1;
  if (needed > static_cast<size_t>(kPageTextBytes)) return;
  if (!mPages || static_cast<size_t>(mPages->freeBytes) < needed) {
    auto* page = static_cast<Page*>(dgMalloc(sizeof(Page)));
    if (!page) return;
    page->next = mPages;
    page->freeBytes = kPageTextBytes;
    mPages = page;
  }
  char* copy = mPages->text + (kPageTextBytes - mPages->freeBytes);
  std::memcpy(copy, name, needed);
  if (!mNames.Insert(copy, id)) return;
  mPages->freeBytes -= static_cast<int>(needed);
}

const char* dgNameTable::Find(uint32_t id) const {
  const auto* node = mNames.Find(id);
  return node ? node->GetInfo() : nullptr;
}
