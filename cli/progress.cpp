// The progress line of vellumet-dump: what it says, when it is drawn, and
// drawing it over itself with a carriage return.
#include "progress.h"

#include <cstring>
#include <sys/stat.h>

#include "dump.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <time.h>
#include <unistd.h>
#endif

namespace {

// "512 B", "12.5 KiB", "300.0 MiB", "1.25 GiB".
void FormatSize(char* dst, size_t size, double bytes)
{
    const double KIB = 1024.0, MIB = KIB * 1024.0, GIB = MIB * 1024.0;
    if (bytes < KIB)
        snprintf(dst, size, "%.0f B", bytes);
    else if (bytes < MIB)
        snprintf(dst, size, "%.1f KiB", bytes / KIB);
    else if (bytes < GIB)
        snprintf(dst, size, "%.1f MiB", bytes / MIB);
    else
        snprintf(dst, size, "%.2f GiB", bytes / GIB);
}

// Writes text over the line drawn before, padding with spaces where the
// old line was longer.
void Draw(ProgressLine* line, double now)
{
    char text[128];
    size_t length = FormatProgress(text, sizeof text, line->done, line->total, now - line->startSeconds);
    size_t padding = line->drawnLength > length ? line->drawnLength - length : 0;
    fprintf(line->terminal, "\r%s%*s", text, static_cast<int>(padding), "");
    fflush(line->terminal);
    line->drawnLength = length;
    line->drawnSeconds = now;
}

} // namespace

uint64_t DumpRangeBytes(uint64_t inputSize, uint32_t start, uint32_t end)
{
    uint64_t first = start & ~uint32_t(DUMP_LINE_BYTES - 1);
    uint64_t limit = (uint64_t(end) + DUMP_LINE_BYTES - 1) & ~uint64_t(DUMP_LINE_BYTES - 1);
    if (limit > inputSize)
        limit = inputSize;
    return limit > first ? limit - first : 0;
}

size_t FormatProgress(char* dst, size_t size, uint64_t done, uint64_t total, double seconds)
{
    char doneText[32], totalText[32], rateText[32];
    FormatSize(doneText, sizeof doneText, static_cast<double>(done));
    FormatSize(rateText, sizeof rateText, seconds > 0 ? static_cast<double>(done) / seconds : 0.0);
    int length;
    if (total > 0) {
        FormatSize(totalText, sizeof totalText, static_cast<double>(total));
        unsigned percent = static_cast<unsigned>(done >= total ? 100 : done * 100 / total);
        length = snprintf(dst, size, "vellumet-dump: %s of %s (%u%%), %s/s", doneText, totalText, percent, rateText);
    } else {
        length = snprintf(dst, size, "vellumet-dump: %s, %s/s", doneText, rateText);
    }
    if (length < 0)
        return 0;
    return static_cast<size_t>(length) < size ? static_cast<size_t>(length) : size - 1;
}

bool IsProgressDue(const ProgressLine& line, double now)
{
    if (now - line.startSeconds < PROGRESS_DELAY_SECONDS)
        return false;
    return line.drawnLength == 0 || now - line.drawnSeconds >= PROGRESS_INTERVAL_SECONDS;
}

// The system's own clock rather than std::chrono, which would bring in the
// C++ runtime library and a megabyte and a half of memory with it.
double MonotonicSeconds()
{
#ifdef _WIN32
    return static_cast<double>(GetTickCount64()) / 1000.0;
#else
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
#endif
}

bool IsTerminal(FILE* f)
{
#ifdef _WIN32
    return _isatty(_fileno(f)) != 0;
#else
    return isatty(fileno(f)) != 0;
#endif
}

bool IsRegularFileStream(FILE* f)
{
#ifdef _WIN32
    struct _stat64 st;
    return _fstat64(_fileno(f), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat st;
    return fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

uint64_t RegularFileSize(const char* path)
{
#ifdef _WIN32
    struct _stat64 st;
    if (_stat64(path, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)
        return 0;
#else
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
#endif
    return static_cast<uint64_t>(st.st_size);
}

void BeginProgressLine(ProgressLine* line, FILE* terminal, uint64_t total, double now)
{
    line->terminal = terminal;
    line->total = total;
    line->startSeconds = now;
    line->drawnSeconds = now;
    line->done = 0;
    line->drawnLength = 0;
}

void UpdateProgressLine(ProgressLine* line, uint64_t done, double now)
{
    line->done = done;
    if (IsProgressDue(*line, now))
        Draw(line, now);
}

void EndProgressLine(ProgressLine* line, double now)
{
    if (line->drawnLength == 0)
        return;
    Draw(line, now);
    fputc('\n', line->terminal);
    fflush(line->terminal);
}

void OnDumpProgress(void* line, uint64_t done)
{
    UpdateProgressLine(static_cast<ProgressLine*>(line), done, MonotonicSeconds());
}
