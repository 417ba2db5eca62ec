#pragma once
// The two display fonts of the menus and the credits: grid sheets of DejaVu
// Sans and Sans Bold with their font text files.

#include <string>

#include "content/kit/DataFolder.h"

void WriteTextFonts(DataFolder& folder, const std::string& fontFolder);
