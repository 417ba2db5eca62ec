#pragma once
// The two display fonts of the menus and the credits: grid sheets of DejaVu
// Sans and Sans Bold with their font text files.

#include "content/kit/DataFolder.h"

#include <string>

void WriteTextFonts(DataFolder& folder, const std::string& fontFolder);
