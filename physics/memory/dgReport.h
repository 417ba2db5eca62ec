#pragma once
// Where the library says why it refused something it was handed (a stream
// it could not read): one line at a time to a hook, standard error unless
// the program installs its own (to route the lines to its log, or to keep
// a fuzzer's output quiet).

// Takes one line, without its line break.
using dgReportHook = void (*)(const char* line);

// Installs the hook for the whole library; null restores standard error.
void dgSetReportHook(dgReportHook hook);
// Hands one line to the hook.
void dgReport(const char* line);
