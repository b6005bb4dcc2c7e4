// Fuzz target for the Shift_JIS scans, CopyPathBuffer and SplitFileName:
// arbitrary bytes as a string and a character set, each in a heap block of
// exactly its size so that a read past the terminator or a write past the
// 522-byte path buffer is caught; results are compared with a plain model.
//
// Input: string bytes, a NUL, set bytes (later NULs end the set).
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_check.h"
#include "toolbase.h"

namespace {

bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

std::unique_ptr<char[]> CopyExactly(const char* bytes, size_t length)
{
    std::unique_ptr<char[]> copy(new char[length + 1]);
    memcpy(copy.get(), bytes, length);
    copy[length] = '\0';
    return copy;
}

// Byte types by the state machine of jmsbtype, for every index up to the end.
std::vector<int> ModelByteTypes(const unsigned char* s, size_t length)
{
    std::vector<int> types(length);
    int state = 0;
    for (size_t i = 0; i < length; ++i) {
        state = state == 1 ? (IsTrail(s[i]) ? 2 : 0) : (IsLead(s[i]) ? 1 : 0);
        types[i] = state;
    }
    return types;
}

void CheckScans(const char* str, size_t length, const char* set)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(str);
    size_t cspn = length, spn = length;
    bool spanEnded = false;
    size_t i = 0;
    while (i < length) {
        bool pair = IsLead(s[i]) && i + 1 < length;
        uint32_t code = pair ? (s[i] << 8 | s[i + 1]) : s[i];
        bool member = !pair && memchr(set, s[i], strlen(set)) != nullptr;
        FUZZ_CHECK(jmsnextc(str + i) == code, "jmsnextc at %zu", i);
        FUZZ_CHECK(jmsinc(str + i) == str + i + (pair ? 2 : 1), "jmsinc at %zu", i);
        if (member && cspn == length)
            cspn = i;
        if (!member && !spanEnded) {
            spn = i;
            spanEnded = true;
        }
        i += pair ? 2 : 1;
    }
    FUZZ_CHECK(jmsinc(str + length) == str + length, "jmsinc at the terminator");
    FUZZ_CHECK(jmsnextc(str + length) == 0, "jmsnextc at the terminator");
    FUZZ_CHECK(jmscspn(str, set) == cspn, "jmscspn %u, model %zu", jmscspn(str, set), cspn);
    FUZZ_CHECK(jmsspn(str, set) == spn, "jmsspn %u, model %zu", jmsspn(str, set), spn);
    const char* brk = jmspbrk(str, set);
    FUZZ_CHECK(brk == (cspn < length ? str + cspn : nullptr), "jmspbrk");
}

void CheckByteTypes(const char* str, size_t length, const std::vector<int>& types)
{
    // Every index of a short string; on long ones a spread of indexes, as
    // each call scans from the start.
    size_t step = length <= 256 ? 1 : length / 97 + 1;
    for (size_t i = 0; i < length; i += step)
        FUZZ_CHECK(jmsbtype(str, static_cast<uint32_t>(i)) == types[i], "jmsbtype at %zu", i);
    if (length)
        FUZZ_CHECK(jmsbtype(str, static_cast<uint32_t>(length - 1)) == types[length - 1], "jmsbtype at the end");
    FUZZ_CHECK(jmsbtype(str, static_cast<uint32_t>(length)) == 0, "jmsbtype at the terminator");
    FUZZ_CHECK(jmsbtype(str, UINT32_MAX) == 0, "jmsbtype far past the end");
}

void CheckCopyPathBuffer(const char* src, size_t length, const std::vector<int>& types)
{
    std::unique_ptr<char[]> dst(new char[PATH_BUFFER_SIZE]);
    memset(dst.get(), 0x55, PATH_BUFFER_SIZE);
    CopyPathBuffer(dst.get(), src);
    size_t n = length > 521 && types[521] == 2 ? 520 : 521;
    for (size_t i = 0; i < n; ++i)
        FUZZ_CHECK(dst[i] == (i < length ? src[i] : '\0'), "CopyPathBuffer byte %zu", i);
    FUZZ_CHECK(dst[n] == '\0', "CopyPathBuffer terminator at %zu", n);
    if (n == 520)
        FUZZ_CHECK(static_cast<unsigned char>(dst[521]) == 0x55, "CopyPathBuffer wrote byte 521");
}

void CheckSplitFileName(const char* str, size_t length, const std::vector<int>& types)
{
    std::unique_ptr<char[]> path = CopyExactly(str, length);
    size_t cut = length;
    for (size_t i = length; i-- > 0;) {
        if (str[i] == '\\' && types[i] == 0) {
            cut = i;
            break;
        }
    }
    char* name = SplitFileName(path.get());
    if (cut == length) {
        FUZZ_CHECK(name == path.get(), "SplitFileName without a separator");
        FUZZ_CHECK(memcmp(path.get(), str, length + 1) == 0, "SplitFileName changed the path");
        return;
    }
    FUZZ_CHECK(name == path.get() + cut + 1, "SplitFileName cut at %zd, model %zu",
               name - path.get() - 1, cut);
    for (size_t i = 0; i <= length; ++i)
        FUZZ_CHECK(path[i] == (i == cut ? '\0' : str[i]), "SplitFileName changed byte %zu", i);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const char* nul = static_cast<const char*>(memchr(bytes, 0, size));
    size_t length = nul ? static_cast<size_t>(nul - bytes) : size;
    size_t setStart = nul ? length + 1 : size;
    std::unique_ptr<char[]> str = CopyExactly(bytes, length);
    std::unique_ptr<char[]> set = CopyExactly(bytes + setStart, size - setStart);

    std::vector<int> types = ModelByteTypes(data, length);
    CheckScans(str.get(), length, set.get());
    CheckByteTypes(str.get(), length, types);
    CheckCopyPathBuffer(str.get(), length, types);
    CheckSplitFileName(str.get(), length, types);
    return 0;
}
