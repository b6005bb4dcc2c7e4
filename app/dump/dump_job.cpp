// The dump job: turns a request into a dump file. The only place that opens
// files; run once by the dialog program after OK, and by the command-line
// front end.
#include <cerrno>
#include <cstring>

#include "dump.h"
#include "dump_files.h"

namespace {

DumpResult Failure(DumpError error, int sysError)
{
    return DumpResult{error, sysError};
}

// Closes a stream and reports whether everything written to it arrived.
bool CloseOutput(FILE* out, int* sysError)
{
    bool ok = fflush(out) == 0 && !ferror(out);
    if (!ok)
        *sysError = errno ? errno : EIO;
    if (fclose(out) != 0 && ok) {
        ok = false;
        *sysError = errno ? errno : EIO;
    }
    return ok;
}

} // namespace

void InitDialogParam(DIALOGPARAM* param)
{
    memset(param, 0, sizeof *param);
    param->endAddress = SPIN_MAXIMUM;
}

bool IsSamePathName(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(*a);
        unsigned char cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z')
            ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z')
            cb += 'a' - 'A';
        if (ca != cb)
            return false;
        if (!ca)
            return true;
    }
}

const char* DescribeDumpError(DumpError error)
{
    switch (error) {
    case DUMP_OK: return "done";
    case DUMP_SAME_FILE: return "the output is the input file";
    case DUMP_INPUT_FAILED: return "cannot open the input";
    case DUMP_OUTPUT_FAILED: return "cannot open the output";
    case DUMP_READ_FAILED: return "cannot read the input";
    case DUMP_WRITE_FAILED: return "cannot write the output";
    }
    return "unknown error";
}

DumpResult RunDumpJob(const DIALOGPARAM& param, DumpProgressFunction progress, void* progressContext)
{
    if (IsSamePathName(param.inputPath, param.outputPath))
        return Failure(DUMP_SAME_FILE, 0);
    FILE* in = OpenDumpInput(param.inputPath);
    if (!in)
        return Failure(DUMP_INPUT_FAILED, errno);

    // The output is opened without truncating it, so that an output that is
    // the input under another name (a link, another spelling) is refused
    // before a byte of it is lost.
    FILE* out = OpenDumpOutputUntruncated(param.outputPath);
    if (!out) {
        int sysError = errno;
        fclose(in);
        return Failure(DUMP_OUTPUT_FAILED, sysError);
    }
    DumpResult result{DUMP_OK, 0};
    if (IsSameOpenFile(in, out))
        result = Failure(DUMP_SAME_FILE, 0);
    else if (!TruncateDumpOutput(out))
        result = Failure(DUMP_OUTPUT_FAILED, errno);
    else
        result = WriteDump(out, in, static_cast<uint32_t>(param.startAddress), param.endAddress,
                           progress, progressContext);

    int closeError = 0;
    if (!CloseOutput(out, &closeError) && result.error == DUMP_OK)
        result = Failure(DUMP_WRITE_FAILED, closeError);
    fclose(in);
    return result;
}

DumpResult RunDumpJobToStream(const DIALOGPARAM& param, FILE* out,
                              DumpProgressFunction progress, void* progressContext)
{
    FILE* in = OpenDumpInput(param.inputPath);
    if (!in)
        return Failure(DUMP_INPUT_FAILED, errno);
    DumpResult result{DUMP_SAME_FILE, 0};
    if (!IsSameOpenFile(in, out))
        result = WriteDump(out, in, static_cast<uint32_t>(param.startAddress), param.endAddress,
                           progress, progressContext);
    if (result.error == DUMP_OK && (fflush(out) != 0 || ferror(out)))
        result = Failure(DUMP_WRITE_FAILED, errno ? errno : EIO);
    fclose(in);
    return result;
}
