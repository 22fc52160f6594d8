#pragma once

// The robustness tests run in two forms: the short one in every test run, the
// long one (the soak) when AIRVANE_SOAK is set, as `make soak` does. Each test
// reports what it did as a line "robust-count <kind> <number>", which the soak
// adds up into its closing line.

#include <cstdlib>
#include <iostream>

inline bool IsSoak()
{
    const char* soak = std::getenv("AIRVANE_SOAK");
    return soak && *soak && *soak != '0';
}

// The short or the long figure.
inline long long Figure(long long shortForm, long long soak)
{
    return IsSoak() ? soak : shortForm;
}

inline void ReportCount(const char* kind, long long count)
{
    std::cout << "robust-count " << kind << ' ' << count << std::endl;
}
