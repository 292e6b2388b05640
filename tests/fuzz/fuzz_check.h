#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property ends the run with a message; libFuzzer then saves the input that broke it.
#define FUZZ_CHECK(condition, ...)                                                       \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__,    \
                         #condition);                                                    \
            std::fprintf(stderr, "  " __VA_ARGS__);                                      \
            std::fprintf(stderr, "\n");                                                  \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
