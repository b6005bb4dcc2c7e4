// vellumet-dump: the command-line front end of the dump engine. Turns its
// options into a request, runs the dump job and turns the result into a
// message and an exit code.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dump.h"
#include "options.h"
#include "progress.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char PROGRAM[] = "vellumet-dump";

const char USAGE[] =
    "Usage: vellumet-dump [--start N] [--end N] INPUT [OUTPUT]\n"
    "Writes a hex dump of INPUT, its bytes also shown as Shift_JIS text, to\n"
    "OUTPUT, or to standard output when OUTPUT is omitted or '-'.\n"
    "\n"
    "  --start N   first address, rounded down to a multiple of 16 (default 0)\n"
    "  --end N     write the lines whose address is below N (default: to the end)\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "N is decimal or 0x-prefixed hex, from 0 to 0xFFFFFFFF. Lines end in CR LF.\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 bad usage.\n";

enum { EXIT_DONE = 0, EXIT_FILE_ERROR = 1, EXIT_USAGE = 2 };

bool CopyPath(char* dst, const char* src)
{
    size_t n = strlen(src);
    if (n >= PATH_BUFFER_SIZE)
        return false;
    memcpy(dst, src, n + 1);
    return true;
}

int ReportFailure(const DumpResult& result, const char* input, const char* output)
{
    const char* reason = strerror(result.sysError);
    switch (result.error) {
    case DUMP_OK:
        return EXIT_DONE;
    case DUMP_SAME_FILE:
        fprintf(stderr, "%s: %s: is the input file %s; nothing written\n", PROGRAM, output, input);
        break;
    case DUMP_INPUT_FAILED:
        fprintf(stderr, "%s: cannot open %s: %s\n", PROGRAM, input, reason);
        break;
    case DUMP_READ_FAILED:
        fprintf(stderr, "%s: cannot read %s: %s\n", PROGRAM, input, reason);
        break;
    case DUMP_OUTPUT_FAILED:
        fprintf(stderr, "%s: cannot create %s: %s\n", PROGRAM, output, reason);
        break;
    case DUMP_WRITE_FAILED:
        fprintf(stderr, "%s: cannot write %s: %s\n", PROGRAM, output, reason);
        break;
    }
    return EXIT_FILE_ERROR;
}

} // namespace

int main(int argc, char** argv)
{
    DumpOptions options;
    char error[256];
    switch (ParseDumpOptions(argc, argv, &options, error, sizeof error)) {
    case OPTIONS_HELP:
        fputs(USAGE, stdout);
        return EXIT_DONE;
    case OPTIONS_VERSION:
        printf("%s %s\n", PROGRAM, VELLUMET_VERSION);
        return EXIT_DONE;
    case OPTIONS_BAD:
        fprintf(stderr, "%s: %s\nUsage: vellumet-dump [--start N] [--end N] INPUT [OUTPUT]\n"
                        "Try 'vellumet-dump --help' for more.\n", PROGRAM, error);
        return EXIT_USAGE;
    case OPTIONS_RUN:
        break;
    }

    bool toStdout = !options.outputPath || strcmp(options.outputPath, "-") == 0;
    const char* outputName = toStdout ? "standard output" : options.outputPath;

    DIALOGPARAM param;
    InitDialogParam(&param);
    param.startAddress = static_cast<int32_t>(options.startAddress);
    param.endAddress = options.endAddress;
    if (!CopyPath(param.inputPath, options.inputPath) ||
        (!toStdout && !CopyPath(param.outputPath, options.outputPath))) {
        fprintf(stderr, "%s: %s: %s\n", PROGRAM,
                strlen(options.inputPath) >= PATH_BUFFER_SIZE ? options.inputPath : options.outputPath,
                strerror(ENAMETOOLONG));
        return EXIT_FILE_ERROR;
    }

    // A long dump into a file shows its progress on standard error, when
    // that is a terminal; scripts and pipes see nothing.
    ProgressLine progressLine;
    DumpProgressFunction progress = nullptr;
    if (IsTerminal(stderr) && (!toStdout || IsRegularFileStream(stdout))) {
        uint64_t total = DumpRangeBytes(RegularFileSize(options.inputPath), options.startAddress,
                                        options.endAddress);
        BeginProgressLine(&progressLine, stderr, total, MonotonicSeconds());
        progress = OnDumpProgress;
    }

    DumpResult result;
    if (toStdout) {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        result = RunDumpJobToStream(param, stdout, progress, &progressLine);
    } else {
        result = RunDumpJob(param, progress, &progressLine);
    }
    if (progress)
        EndProgressLine(&progressLine, MonotonicSeconds());
    return ReportFailure(result, options.inputPath, outputName);
}
