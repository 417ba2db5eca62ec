// Sound log lines and OpenAL error texts.

#include "engine/runtime/sound/SFXLog.h"

#include <AL/al.h>

#include <cstdarg>

#include "engine/foundation/Log.h"

void SFXPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(kLogSFX, format, args);
  va_end(args);
}

bool SFXCheckError(int alErrorCode) {
  switch (alErrorCode) {
    case AL_NO_ERROR:
      return true;
    case AL_INVALID_NAME:
      SFXPrintf("OpenAL Error : AL_INVALID_NAME");
      break;
    case AL_INVALID_ENUM:
      SFXPrintf("OpenAL Error : AL_INVALID_ENUM");
      break;
    case AL_INVALID_VALUE:
      SFXPrintf("OpenAL Error : AL_INVALID_VALUE");
      break;
    case AL_INVALID_OPERATION:
      SFXPrintf("OpenAL Error : AL_INVALID_OPERATION");
      break;
    case AL_OUT_OF_MEMORY:
      SFXPrintf("OpenAL Error : AL_OUT_OF_MEMORY");
      break;
    default:
      SFXPrintf("OpenAL : Unspecified error");
      break;
  }
  return false;
}

void SFXClearError() { alGetError(); }

bool SFXCheckLastCall() { return SFXCheckError(alGetError()); }
