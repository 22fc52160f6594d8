#pragma once

#include <windows.h>

#include <vector>

// Wall time inside Wine: QueryPerformanceCounter, in microseconds.
class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { QueryPerformanceCounter(&start_); }
    double Microseconds() const;

private:
    LARGE_INTEGER start_;
};

// Timings of repeated runs, in microseconds.
class Samples {
public:
    void Add(double microseconds) { values_.push_back(microseconds); }
    size_t Count() const { return values_.size(); }
    bool Empty() const { return values_.empty(); }

    double Median() const { return Percentile(50); }
    // Nearest rank: the smallest value that at least p percent of the samples do not exceed.
    double Percentile(double p) const;
    double Min() const;
    double Max() const;
    double Sum() const;

private:
    std::vector<double> values_;
};
