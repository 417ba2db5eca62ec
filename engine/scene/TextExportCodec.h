#pragma once
#include <string>

#include "engine/scene/ModelCodec.h"

// Dumps a loaded model as readable text (the "[V4]" export layout) for
// inspecting models by eye. It loads nothing back.
class CTXTCodec : public C3MECodec {
public:
    using C3MECodec::C3MECodec;
    // Always 2: the export layout is not a model source.
    int32_t Read(const char* fileName) override;
    // Writes the export: 5 written, 6 not written (the file could not be opened or filled).
    int32_t Write(const char* fileName) override;
    // The export text of the model, exactly as Write puts it in the file.
    std::string Format() const;
};
