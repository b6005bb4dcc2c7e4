// FUZZ_CHECK for the fuzz targets: a broken property prints what broke and
// aborts, which libFuzzer records as a finding with the input that did it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                    \
    do {                                                                              \
        if (!(condition)) {                                                           \
            fprintf(stderr, "%s:%d: check failed: %s: ", __FILE__, __LINE__, #condition); \
            fprintf(stderr, __VA_ARGS__);                                             \
            fputc('\n', stderr);                                                      \
            abort();                                                                  \
        }                                                                             \
    } while (0)
