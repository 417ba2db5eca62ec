#pragma once
// The table of every name hashed by dgCRC (string form): hash -> the first
// string stored under it. The strings are copied into pages of 7936 bytes.
// It is created on first use and never destroyed, so names stay valid for
// objects that outlive static destruction.

#include <cstdint>

#include "physics/memory/dgTree.h"

class dgNameTable {
 public:
  // Bytes of a page that hold strings.
  static constexpr int kPageTextBytes = 7936;

  // The one table.
  static dgNameTable& Instance();

  // Stores name under id unless id is already known; a name that cannot fit
  // a page, or that cannot be allocated, is not stored.
  void Register(uint32_t id, const char* name);
  // The string stored under id, or null.
  const char* Find(uint32_t id) const;
  // Number of names stored.
  int GetCount() const { return names_.GetCount(); }

 private:
  struct Page {
    Page* next;
    int freeBytes;
    char text[kPageTextBytes];
  };

  dgNameTable() = default;

  dgTree<const char*, uint32_t> names_;
  Page* pages_ = nullptr;  // the current page first
};
