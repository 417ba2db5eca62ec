#include "physics/memory/dgReport.h"

#include <cstdio>

namespace {

void ToStandardError(const char* line) { std::fprintf(stderr, "%s\n", line); }

dgReportHook gHook = ToStandardError;

}  // namespace

void dgSetReportHook(dgReportHook hook) { gHook = hook ? hook : ToStandardError; }

void dgReport(const char* line) { gHook(line); }
