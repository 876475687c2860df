#pragma once
// How many random cases a property test runs: a quick number by default,
// or TRAK_PROPERTY_CASES (the `property` CTest label sets 100000).

#include <cstdlib>

inline int property_cases(int quick) {
    const char* n = std::getenv("TRAK_PROPERTY_CASES");
    return n ? std::atoi(n) : quick;
}
