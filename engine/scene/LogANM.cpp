#include "engine/scene/LogANM.h"

#include <cstdarg>
#include <cstdio>

#include "engine/foundation/Log.h"

namespace {

LogANMObserver& Observer() {
    static LogANMObserver observer = nullptr;
    return observer;
}

}  // namespace

LogANMObserver SetLogANMObserver(LogANMObserver observer) {
    const LogANMObserver previous = Observer();
    Observer() = observer;
    return previous;
}

void LogANM(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    LogPrintf(kLogANM, "%s", line);
    if (Observer() != nullptr) Observer()(line);
}
