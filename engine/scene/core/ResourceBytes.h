#pragma once
#include <cstdint>
#include <vector>

class File;

// Reads a whole resource (an archive entry or a loose file, through the
// resource manager and the case-insensitive path resolver) into memory.
// False when it cannot be opened or read; the file layer logs the open.
bool ReadResourceBytes(const char* name, std::vector<uint8_t>& bytes);

// Reads what is left of an open file, from its position to its end, into
// memory (a text-mode file drops the "\r" of each "\r\n"). False when the file
// is not open, cannot be read, or is too large; an empty rest is no failure.
bool ReadRemainingBytes(File& file, std::vector<uint8_t>& bytes);

// Writes a whole file (logged by the file layer). False when it cannot be written.
bool WriteResourceBytes(const char* name, const std::vector<uint8_t>& bytes);
