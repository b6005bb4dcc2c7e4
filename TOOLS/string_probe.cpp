// Whether a string pointer can be read. Windows probes the memory; other
// systems have no such probe, so every non-null pointer counts as readable.
#include "toolbase.h"

#ifdef _WIN32
#include <windows.h>

bool IsReadableStringPtr(const char* str, uint32_t length)
{
    return !IsBadStringPtrA(str, length);
}

#else

bool IsReadableStringPtr(const char* str, uint32_t)
{
    return str != nullptr;
}

#endif
