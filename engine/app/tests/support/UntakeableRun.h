#pragma once
// A run of the program in a user folder it cannot take: the start goes on
// without the folder and says once that nothing will be saved; the test's
// part then tries the saves it cares about.

#include <functional>
#include <string>

// For every shape of UntakeableUserFolders.h below the scratch folder: in a
// child under the shape's account, with the terminal caught in a file, the
// start takes the folder as the program does and `play` runs (it returns
// what went wrong, one line each, or nothing). Then checks that play found
// nothing wrong, that the terminal holds only the start's one line and its
// box, and that nothing below the scratch folder changed.
void PlayInEveryUntakeableFolder(const std::string& scratch, const std::function<std::string()>& play);
