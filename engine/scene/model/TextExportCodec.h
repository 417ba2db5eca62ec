#pragma once
#include <string>

#include "engine/scene/model/ModelCodec.h"

class File;

// Dumps a loaded model as readable text (the "[V4]" export layout) for
// inspecting models by eye. Read loads nothing back; ReadBody reads a related
// layout (material names, bounding volumes of every kind, no index lists).
class CTXTCodec : public C3MECodec {
 public:
  using C3MECodec::C3MECodec;
  // Always 2: the export layout is not a model source.
  int32_t Read(const char* fileName) override;
  // Writes the export: 5 written, 6 not written (the file could not be opened or filled).
  int32_t Write(const char* fileName) override;
  // The export text of the model, exactly as Write puts it in the file.
  std::string Format() const;
  // Reads the rest of an open file in the read-back layout into the model:
  // materials, instances, meshes with their volumes, positions and texture
  // coordinates, levels without index lists. True only when the layout ends
  // with "[END]"; a failed read keeps what it read. Nothing calls it yet.
  bool ReadBody(File& file);
};
