// Parsing of vellumet-dump's command line.
#include "options.h"

#include <cstdio>
#include <cstring>

bool ParseAddress(const char* text, uint32_t* value)
{
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (!*text)
        return false;
    uint64_t v = 0;
    for (; *text; ++text) {
        unsigned digit;
        char c = *text;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        v = v * base + digit;
        if (v > UINT32_MAX)
            return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

namespace {

// Matches "--name VALUE" and "--name=VALUE"; advances *i past what it used.
// Returns false when arg is not this option; sets *value null when the value
// is missing.
bool MatchValueOption(const char* name, int argc, char** argv, int* i, const char** value)
{
    const char* arg = argv[*i];
    size_t n = strlen(name);
    if (strncmp(arg, name, n) != 0)
        return false;
    if (arg[n] == '=') {
        *value = arg + n + 1;
        return true;
    }
    if (arg[n] != '\0')
        return false;
    *value = *i + 1 < argc ? argv[++*i] : nullptr;
    return true;
}

} // namespace

OptionsOutcome ParseDumpOptions(int argc, char** argv, DumpOptions* options,
                                char* error, size_t errorSize)
{
    *options = DumpOptions{0, UINT32_MAX, nullptr, nullptr};
    const char* operands[2];
    int operandCount = 0;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value;
        if (optionsEnded || arg[0] != '-' || strcmp(arg, "-") == 0) {
            if (operandCount == 2) {
                snprintf(error, errorSize, "unexpected argument '%s'", arg);
                return OPTIONS_BAD;
            }
            operands[operandCount++] = arg;
        } else if (strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            return OPTIONS_HELP;
        } else if (strcmp(arg, "--version") == 0) {
            return OPTIONS_VERSION;
        } else if (MatchValueOption("--start", argc, argv, &i, &value)
                   || MatchValueOption("--end", argc, argv, &i, &value)) {
            bool isStart = strncmp(arg, "--start", 7) == 0;
            uint32_t* target = isStart ? &options->startAddress : &options->endAddress;
            const char* name = isStart ? "--start" : "--end";
            if (!value) {
                snprintf(error, errorSize, "%s needs a number", name);
                return OPTIONS_BAD;
            }
            if (!ParseAddress(value, target)) {
                snprintf(error, errorSize, "%s: '%s' is not a number from 0 to 0xFFFFFFFF", name, value);
                return OPTIONS_BAD;
            }
        } else {
            snprintf(error, errorSize, "unknown option '%s'", arg);
            return OPTIONS_BAD;
        }
    }
    if (operandCount == 0) {
        snprintf(error, errorSize, "missing INPUT");
        return OPTIONS_BAD;
    }
    options->inputPath = operands[0];
    options->outputPath = operandCount > 1 ? operands[1] : nullptr;
    return OPTIONS_RUN;
}
