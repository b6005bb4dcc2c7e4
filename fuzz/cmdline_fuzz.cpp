// Fuzz target for the command-line splitter: for any command line and any
// lead-byte test, the measuring pass and the filling pass agree on argc and
// the size, the block holds exactly argc strings packed after the slots,
// every slot points inside the block, and no byte is invented.
//
// Input: one byte choosing the lead-byte test, then the command line (a NUL
// ends it).
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "toolbase.h"

namespace {

bool NoLeadBytes(unsigned char)
{
    return false;
}

// A double-byte code page whose lead bytes reach further than Shift_JIS.
bool WideLeadBytes(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

const LeadByteTest LEAD_BYTE_TESTS[] = {IsProcessLeadByte, NoLeadBytes, WideLeadBytes};

// Checks a filled block of size bytes holding argc arguments.
void CheckBlock(char** slots, int argc, size_t size, size_t commandLength)
{
    const char* block = reinterpret_cast<const char*>(slots);
    const char* strings = reinterpret_cast<const char*>(slots + argc + 1);
    const char* end = block + size;
    FUZZ_CHECK(strings <= end, "the slots do not fit the block");
    FUZZ_CHECK(slots[argc] == nullptr, "slot argc is not null");
    const char* expected = strings;
    for (int i = 0; i < argc; ++i) {
        FUZZ_CHECK(slots[i] == expected, "slot %d does not follow the string before it", i);
        FUZZ_CHECK(slots[i] >= strings && slots[i] < end, "slot %d points outside the block", i);
        const char* nul = static_cast<const char*>(memchr(slots[i], 0, static_cast<size_t>(end - slots[i])));
        FUZZ_CHECK(nul != nullptr, "argument %d runs past the block", i);
        expected = nul + 1;
    }
    FUZZ_CHECK(expected == end, "the strings end %td bytes before the block", end - expected);
    // Quotes and escaping backslashes are dropped, nothing is added.
    size_t stringBytes = static_cast<size_t>(end - strings) - static_cast<size_t>(argc);
    FUZZ_CHECK(stringBytes <= commandLength, "%zu argument bytes from %zu", stringBytes, commandLength);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    CopyCharLeadByteTest = LEAD_BYTE_TESTS[data[0] % 3];
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const char* nul = static_cast<const char*>(memchr(bytes, 0, size - 1));
    size_t length = nul ? static_cast<size_t>(nul - bytes) : size - 1;
    std::unique_ptr<char[]> cmdline(new char[length + 1]);
    memcpy(cmdline.get(), bytes, length);
    cmdline[length] = '\0';

    int measuredArgc = -1;
    size_t measured = ParseCommandLine(nullptr, &measuredArgc, cmdline.get(), nullptr);
    FUZZ_CHECK(measuredArgc >= 1, "argc %d", measuredArgc);

    int argc = -1;
    char** argv = SplitCommandLine(cmdline.get(), &argc);
    FUZZ_CHECK(argv != nullptr, "no block");
    FUZZ_CHECK(argc == measuredArgc, "argc %d, measured %d", argc, measuredArgc);
    CheckBlock(argv, argc, measured, length);

    // The filling pass into a block of exactly the measured size reports
    // that size again.
    std::unique_ptr<char*[]> own(new char*[measured / sizeof(char*) + 1]);
    int filledArgc = -1;
    size_t filled = ParseCommandLine(reinterpret_cast<char*>(own.get() + argc + 1), &filledArgc,
                                     cmdline.get(), own.get());
    FUZZ_CHECK(filled == measured && filledArgc == argc, "filling pass: %zu bytes, %d arguments", filled, filledArgc);
    for (int i = 0; i < argc; ++i)
        FUZZ_CHECK(strcmp(own[i], argv[i]) == 0, "argument %d differs between blocks", i);

    FreeArgv(argv);
    CopyCharLeadByteTest = IsProcessLeadByte;
    return 0;
}
