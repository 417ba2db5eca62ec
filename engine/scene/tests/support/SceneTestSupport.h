#pragma once
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/scene/model/MaterialLink.h"

// Records the material services models call (library reads and lookups).
class FakeMaterials {
 public:
  FakeMaterials() {
    Libraries().clear();
    Lookups().clear();
    C3MEModelServices services;
    services.getMaterial = &Lookup;
    services.readLibrary = &ReadLibrary;
    services.deleteDisplayList = &DeleteList;
    previous_ = SetModelServices(services);
  }
  ~FakeMaterials() { SetModelServices(previous_); }
  static std::vector<std::string>& Libraries() {
    static std::vector<std::string> names;
    return names;
  }
  static std::vector<std::string>& Lookups() {
    static std::vector<std::string> names;
    return names;
  }
  static std::vector<int32_t>& DeletedLists() {
    static std::vector<int32_t> lists;
    return lists;
  }

 private:
  static CMATMaterial* Lookup(const char* name) {
    Lookups().emplace_back(name);
    // A distinct non-null token per call order; never dereferenced.
    return reinterpret_cast<CMATMaterial*>(uintptr_t(0x1000 + 0x10 * Lookups().size()));
  }
  static void ReadLibrary(const char* name) { Libraries().emplace_back(name); }
  static void DeleteList(int32_t list) { DeletedLists().push_back(list); }
  C3MEModelServices previous_;
};

// Little-endian bytes of a binary model, built field by field.
class Bytes {
 public:
  Bytes& U8(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
  Bytes& I32(int32_t v) {
    for (int s = 0; s < 32; s += 8) U8(uint8_t(uint32_t(v) >> s));
    return *this;
  }
  Bytes& F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return I32(int32_t(bits));
  }
  Bytes& Str(const std::string& text) {
    for (char c : text) U8(uint8_t(c));
    return U8(0);
  }
  std::vector<uint8_t> data;
};

// The name a reader logs for a file: readers upper-case ASCII letters.
inline std::string UpperName(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

#include <gtest/gtest.h>

#include "engine/scene/model/Model.h"

// What every model that reads successfully must satisfy, whatever its file
// held: lists address existing vertices and instances existing meshes.
inline void ExpectConsistent(const C3MEModel& model, const std::string& context) {
  for (uint32_t m = 0; m < model.meshCount; ++m) {
    const C3MEMesh& mesh = model.meshes[m];
    ASSERT_LE(mesh.vertexCount, mesh.vertexCapacity) << context;
    for (uint32_t level = 0; level < mesh.lodCount; ++level) {
      const C3MELod& lod = mesh.lods[level];
      ASSERT_LE(lod.listCount, lod.listCapacity) << context;
      for (uint32_t k = 0; k < lod.listCount; ++k) {
        const C3MEIndexList& list = lod.lists[k];
        ASSERT_LE(list.indexCount, list.capacity) << context;
        for (uint32_t i = 0; i < list.indexCount; ++i) ASSERT_LT(list.indices[i], mesh.vertexCount) << context;
      }
    }
  }
  for (uint32_t i = 0; i < model.instanceCount; ++i) {
    const C3MEMesh* mesh = model.instances[i].mesh;
    if (mesh != nullptr) {
      ASSERT_TRUE(mesh >= model.meshes && mesh < model.meshes + model.meshCount) << context;
    }
  }
}
