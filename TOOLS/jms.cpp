// Shift_JIS-aware scanning of NUL-terminated byte strings, so that the second
// byte of a double-byte character (83 5C, 83 7C) is never taken for '\' or '|'.
// Used by the validators, the command-line splitter and the file chooser.
#include <cstring>

#include "toolbase.h"

namespace {

// A set of single-byte characters: bit (c % 8) of byte (c / 8).
struct CharSet {
    unsigned char bits[32];
};

void BuildCharSet(CharSet* set, const char* chars)
{
    memset(set->bits, 0, sizeof set->bits);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(chars); *p; ++p)
        set->bits[*p >> 3] |= static_cast<unsigned char>(1u << (*p & 7));
}

bool IsInCharSet(const CharSet& set, uint32_t code)
{
    return code < 256 && (set.bits[code >> 3] >> (code & 7) & 1);
}

// The one walk behind jmscspn and jmsspn: bytes before the first character
// whose membership in set equals stopWhenMember.
uint32_t ScanWhile(const char* str, const char* chars, bool stopWhenMember)
{
    CharSet set;
    BuildCharSet(&set, chars);
    const char* p = str;
    while (*p && IsInCharSet(set, jmsnextc(p)) != stopWhenMember)
        p = jmsinc(p);
    return static_cast<uint32_t>(p - str);
}

} // namespace

uint32_t jmsnextc(const char* p)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    if (IsShiftJisLeadByte(u[0]) && u[1])
        return u[0] << 8 | u[1];
    return u[0];
}

const char* jmsinc(const char* p)
{
    if (!p[0])
        return p;
    if (IsShiftJisLeadByte(static_cast<unsigned char>(p[0])) && p[1])
        return p + 2;
    return p + 1;
}

int jmsbtype(const char* str, uint32_t index)
{
    int state = JMS_SINGLE;
    for (uint32_t i = 0;; ++i) {
        unsigned char c = static_cast<unsigned char>(str[i]);
        if (!c)
            return JMS_SINGLE;
        if (state == JMS_LEAD)
            state = IsShiftJisTrailByte(c) ? JMS_TRAIL : JMS_SINGLE;
        else
            state = IsShiftJisLeadByte(c) ? JMS_LEAD : JMS_SINGLE;
        if (i == index)
            return state;
    }
}

uint32_t jmscspn(const char* str, const char* set)
{
    return ScanWhile(str, set, true);
}

uint32_t jmsspn(const char* str, const char* set)
{
    return ScanWhile(str, set, false);
}

const char* jmspbrk(const char* str, const char* set)
{
    uint32_t n = jmscspn(str, set);
    return str[n] ? str + n : nullptr;
}

void CopyPathBuffer(char* dst, const char* src)
{
    const uint32_t last = PATH_BUFFER_SIZE - 1;
    // When byte 521 is a trail byte, byte 520 is its lead: leave both out.
    size_t n = jmsbtype(src, last) == JMS_TRAIL ? last - 1 : last;
    strncpy(dst, src, n);
    dst[n] = '\0';
}

char* SplitFileName(char* path)
{
    for (size_t i = strlen(path); i-- > 0;) {
        if (path[i] == '\\' && jmsbtype(path, static_cast<uint32_t>(i)) == JMS_SINGLE) {
            path[i] = '\0';
            return path + i + 1;
        }
    }
    return path;
}
