// Splits a process command line into an argv block: argc + 1 pointer slots
// followed by the argument strings, in one allocation. Start-up lists the
// arguments on the trace with it.
//
// Quoting, after the program name (which is taken literally, quoted or not):
//
//   2n backslashes + "      n backslashes, the quote toggles quoting
//   2n+1 backslashes + "    n backslashes and a literal "
//   "" inside quotes        a literal " that also ends the quoted part
//   n backslashes + other   n backslashes
//   space or TAB            ends the argument outside quotes
//
// Backslash runs and blanks are found with the fixed Shift_JIS ranges;
// CopyChar asks the process code page whether a byte starts a pair.
#include <cstdlib>

#include "toolbase.h"

namespace {

// One pass over the command line. Without a string area it only counts.
struct ArgvWriter {
    char* strings;
    size_t total;
};

void Emit(ArgvWriter* w, char c)
{
    if (w->strings)
        w->strings[w->total] = c;
    ++w->total;
}

void EmitRepeated(ArgvWriter* w, char c, uint32_t count)
{
    while (count-- > 0)
        Emit(w, c);
}

const char* EmitBytes(ArgvWriter* w, const char* p, uint32_t count)
{
    while (count-- > 0)
        Emit(w, *p++);
    return p;
}

const char* CopyChar(ArgvWriter* w, const char* p)
{
    if (CopyCharLeadByteTest(static_cast<unsigned char>(p[0])) && p[1])
        Emit(w, *p++);
    Emit(w, *p++);
    return p;
}

const char* CopyProgramName(ArgvWriter* w, const char* p)
{
    if (*p == '"') {
        ++p;
        p = EmitBytes(w, p, jmscspn(p, "\""));
        if (*p == '"')
            ++p;
    } else {
        p = EmitBytes(w, p, jmscspn(p, " \t"));
    }
    Emit(w, '\0');
    return p;
}

const char* CopyArgument(ArgvWriter* w, const char* p)
{
    bool inQuote = false;
    for (;;) {
        uint32_t backslashes = jmsspn(p, "\\");
        p += backslashes;
        if (*p == '"') {
            EmitRepeated(w, '\\', backslashes / 2);
            if (backslashes % 2) {
                p = CopyChar(w, p);
                continue;
            }
            ++p;
            if (inQuote && *p == '"')
                p = CopyChar(w, p);
            inQuote = !inQuote;
            continue;
        }
        EmitRepeated(w, '\\', backslashes);
        if (!*p || (!inQuote && (*p == ' ' || *p == '\t')))
            break;
        p = CopyChar(w, p);
    }
    Emit(w, '\0');
    return p;
}

} // namespace

size_t ParseCommandLine(char* strings, int* argc, const char* cmdline, char** slots)
{
    ArgvWriter w = {strings, 0};
    int count = 0;
    if (slots)
        slots[0] = strings;
    const char* p = CopyProgramName(&w, cmdline ? cmdline : "");
    for (;;) {
        ++count;
        p += jmsspn(p, " \t");
        if (!*p)
            break;
        if (slots)
            slots[count] = strings + w.total;
        p = CopyArgument(&w, p);
    }
    if (slots)
        slots[count] = nullptr;
    *argc = count;
    return w.total + (count + 1) * sizeof(char*);
}

char** SplitCommandLine(const char* cmdline, int* argc)
{
    size_t size = ParseCommandLine(nullptr, argc, cmdline, nullptr);
    char** slots = static_cast<char**>(malloc(size));
    if (!slots)
        return nullptr;
    ParseCommandLine(reinterpret_cast<char*>(slots + *argc + 1), argc, cmdline, slots);
    return slots;
}

bool FreeArgv(char** argv)
{
    free(argv);
    return true;
}
