#pragma once
// Reading back what a module wrote to its log channel.

#include <string>
#include <vector>

// Turns module channels on for every tag (without files) so lines can be read back.
void EnableTestLogChannels();
// The texts of a channel's lines in order, without tag and line end.
std::vector<std::string> LogLinesOf(int channel);
// How many lines of the channel read exactly text.
int CountLogLines(int channel, const std::string& text);
// Forgets the channel's lines.
void ClearLogLines(int channel);
