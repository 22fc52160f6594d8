#pragma once

#include "bench/BenchTable.h"

#include <string>
#include <vector>

// How long and how often each benchmark runs: the full run, or QUICK for a check that it runs.
struct BenchPlan {
    bool quick = false;
    int exchanges() const { return quick ? 200 : 3000; }
    int processRuns() const { return quick ? 3 : 15; }
    int idleSeconds() const { return quick ? 3 : 60; }
};

// What every figure shares: its floors, measured in the same run.
struct BenchFloors {
    double eventRoundTrip = 0;   // µs, median
    double protocolExchange = 0; // µs, median
    double trivialStart = 0;     // µs, median
};

// A row of a program's timed runs: their median and p90.
class Samples;
BenchRow FloorRow(const char* figure, const Samples& samples);

// The figures; each adds its rows and notes to the table.
void RunExchangeFigures(const BenchPlan& plan, BenchFloors& floors, BenchTable& table);
void RunStatusFigure(const BenchPlan& plan, BenchFloors& floors, BenchTable& table);
void RunTrayStartFigure(const BenchPlan& plan, const BenchFloors& floors, BenchTable& table);
void RunIdleFigure(const BenchPlan& plan, BenchTable& table);
class BenchMachine;
void RunPresetFigure(const BenchPlan& plan, const BenchFloors& floors, BenchTable& table, BenchMachine& machine);
void RunCatalogFigure(const BenchPlan& plan, BenchTable& table);
// Reseeds the notebook as a modern one: run it after the figures on the demo notebook.
void RunModernPresetFigure(const BenchPlan& plan, BenchTable& table);
// Starts the launcher with a preset in force and ends it again.
void RunReapplyFigure(const BenchPlan& plan, BenchTable& table);

// The peers of the exchange floors, run in a second AirvaneBench.exe process
// (--peer <role> <arguments...>); the exit code reports success (0).
int RunPeer(const std::vector<std::wstring>& arguments);
