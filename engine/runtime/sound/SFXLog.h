#pragma once
// The sound module's log (channel 10, "SFX") and its OpenAL error check.

// printf-style line on the sound channel.
void SFXPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Logs the text of an OpenAL error code; true only for AL_NO_ERROR.
bool SFXCheckError(int alErrorCode);

// Clears OpenAL's error before a call, so the check after it sees that call's error.
void SFXClearError();
// The error check after a call: alGetError, then SFXCheckError.
bool SFXCheckLastCall();
