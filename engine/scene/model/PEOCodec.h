#pragma once
#include <cstdint>
#include <vector>

#include "engine/scene/model/ModelCodec.h"

// Reads packed ".PEO" scenes: objects that are triangle meshes with their own
// placement matrices, each becoming one mesh and one instance of the model.
// It cannot write.
class CPEOCodec : public C3MECodec {
 public:
  static constexpr uint32_t kHeaderBytes = 68;
  static constexpr uint32_t kObjectBytes = 112;
  static constexpr uint32_t kFaceBytes = 40;
  static constexpr uint32_t kMaterialBytes = 32;
  // Position and normal entries are four floats, the last one unused.
  static constexpr uint32_t kPointBytes = 16;

  using C3MECodec::C3MECodec;
  // 1 read, 2 cannot open, 3 the file is damaged (logged) or the heap refused.
  int32_t Read(const char* fileName) override;
  // Always 6: the packed form is read only.
  int32_t Write(const char* fileName) override;
  // Fills the model from the whole file's bytes; false (logged) when the
  // header, a count or an offset does not fit the file.
  bool ReadFile(const std::vector<uint8_t>& bytes, const char* fileName);
};
