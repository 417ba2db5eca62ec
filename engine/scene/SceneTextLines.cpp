#include "engine/scene/SceneTextLines.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool SceneTextLines::Open(const char* fileName) {
    mLineNumber = 0;
    mPutBack = false;
    mHaveLine = false;
    return (mFile.OpenRead(fileName) & File::kOpen) != 0;
}

bool SceneTextLines::ReadRawLine() {
    size_t stored = mFile.ReadChars(mLine, sizeof mLine);
    if (stored == 0) return false;
    ++mLineNumber;
    // A line longer than the buffer: the remainder is read and dropped.
    if (mLine[stored - 1] != '\n' && stored == kMaxLine) {
        char rest[256];
        size_t more;
        while ((more = mFile.ReadChars(rest, sizeof rest)) > 0 && rest[more - 1] != '\n') {
        }
    }
    // A NUL byte inside the line ends its text.
    size_t length = std::strlen(mLine);
    while (length > 0 && IsBlank(mLine[length - 1])) mLine[--length] = '\0';
    return true;
}

const char* SceneTextLines::Next() {
    if (mPutBack && mHaveLine) {
        mPutBack = false;
        return mLine;
    }
    mPutBack = false;
    mHaveLine = false;
    while (ReadRawLine()) {
        if (mLine[std::strspn(mLine, " \t")] != '\0') {
            mHaveLine = true;
            return mLine;
        }
    }
    return nullptr;
}
