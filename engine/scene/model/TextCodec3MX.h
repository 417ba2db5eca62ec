#pragma once
#include <cstddef>

#include "engine/scene/model/ModelCodec.h"

class C3MXLines;

// Reads text ".3MX" models in their four layout versions, "V3" to "V6".
// It cannot write.
class C3MXCodec : public C3MECodec {
 public:
  enum Version { kV3 = 3, kV4 = 4, kV5 = 5, kV6 = 6 };
  // Faces per index list from V4 on.
  static constexpr uint32_t kFacesPerList = 2000;
  // Longest names kept: material names, and instance and mesh names.
  static constexpr size_t kMaxMaterialName = 255;
  static constexpr size_t kMaxPartName = 511;

  using C3MECodec::C3MECodec;
  // 1 read, 2 cannot open, 3 no version tag on line 1 or a bad body.
  int32_t Read(const char* fileName) override;
  // Always 6: the text form is read only.
  int32_t Write(const char* fileName) override;
  // Reads the body of one version, positioned after the header line.
  bool ReadVersion(C3MXLines& lines, Version version, const char* fileName);
};
