#include "engine/scene/Log3ME.h"

#include <cstdarg>
#include <cstdio>

#include "engine/foundation/Log.h"

namespace {

Log3MEObserver& Observer() {
    static Log3MEObserver observer = nullptr;
    return observer;
}

}  // namespace

Log3MEObserver SetLog3MEObserver(Log3MEObserver observer) {
    const Log3MEObserver previous = Observer();
    Observer() = observer;
    return previous;
}

void Log3ME(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    LogPrintf(kLog3ME, "%s", line);
    if (Observer() != nullptr) Observer()(line);
}
