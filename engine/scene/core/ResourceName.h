#pragma once
#include <string>

// Resource names are matched without regard to case: the readers work on the
// upper-case form and pick their codec by its last three characters.

// The name with ASCII letters in upper case; other bytes are kept.
std::string UpperAscii(const char* text);
// The last three characters of a name (the whole name when shorter).
std::string NameExtension(const std::string& name);
