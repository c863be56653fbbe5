// LELoadReport: the refusal lines of the loaders (see LELoadReport.h).
#include "LELoadReport.h"

#include <cstdarg>  // Required for: va_list
#include <cstdio>   // Required for: vsnprintf, fprintf

static struct {
    bool gathering = false;
    std::vector<std::string> kept;
} report;

void LEReportLoadFailure(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (report.gathering) {
        report.kept.emplace_back(line);
    } else {
        fprintf(stderr, "%s\n", line);
    }
}

void LEGatherLoadFailures(bool on) { report.gathering = on; }

std::vector<std::string> LETakeLoadFailures()
{
    std::vector<std::string> kept;
    kept.swap(report.kept);
    return kept;
}
