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
  if (!name || names_.Find(id)) return;
  const size_t needed = std::strlen(name) + 1;
  if (needed > static_cast<size_t>(kPageTextBytes)) return;
  if (!pages_ || static_cast<size_t>(pages_->freeBytes) < needed) {
    auto* page = static_cast<Page*>(dgMalloc(sizeof(Page)));
    if (!page) return;
    page->next = pages_;
    page->freeBytes = kPageTextBytes;
    pages_ = page;
  }
  char* copy = pages_->text + (kPageTextBytes - pages_->freeBytes);
  std::memcpy(copy, name, needed);
  if (!names_.Insert(copy, id)) return;
  pages_->freeBytes -= static_cast<int>(needed);
}

const char* dgNameTable::Find(uint32_t id) const {
  const auto* node = names_.Find(id);
  return node ? node->GetInfo() : nullptr;
}
