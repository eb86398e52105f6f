#pragma once

#include <cstdio>
#include <cstdlib>

namespace papyrant::fuzz {

// A broken property ends the run like a crash, so that libFuzzer keeps the input that broke it.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

} // namespace papyrant::fuzz
