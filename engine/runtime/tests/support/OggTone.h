#pragma once
// Small Ogg Vorbis files made on the spot, so sound tests need no binary data.

#include <string>

// Writes a sine tone of frames sample frames per channel; false on failure.
bool WriteOggTone(const std::string& path, int channels, long rate, long frames);
