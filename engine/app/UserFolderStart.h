#pragma once
// The first thing a run does, before it touches any file (the log
// included): find the user folder and take it for this copy of the program
// alone, then clear what killed saves left in it.

#include "platform/UserFolderLock.h"

// Takes the user folder for the program of that title: the lock stays held
// while `lock` lives. Returns 0 to go on, or the exit status 1 after telling
// the player (terminal and message box) that there is no place for their
// files or that another copy already runs with the folder. A folder that
// cannot be made or opened is a warning (terminal and message box): the run
// goes on and keeps out of the user folder, saving none of the player's files.
// Once held, the temporary files of saves that were killed mid-way are
// removed beside the player's files and the registry store.
int TakeUserFolder(const char* title, platform::UserFolderLock& lock);
