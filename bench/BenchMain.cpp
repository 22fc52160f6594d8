// AirvaneBench.exe: what a switch costs, against the floor of the platform.
// Runs the figures under the build folder's Wine session and prints one table.
//   AirvaneBench.exe [--quick] [--only <figures>]
//       --quick   few runs and a short idle: a check that every figure runs
//       --only    some figures, e.g. --only 1,4
//   AirvaneBench.exe --peer ...     a peer of an exchange floor (started by figure 1)
#include "bench/BenchFigures.h"
#include "bench/BenchMachine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The figures named by "1,4", or every figure when the list is empty.
bool ParseFigures(const std::wstring& list, bool (&run)[9])
{
    for (wchar_t c : list) {
        if (c >= L'1' && c <= L'8')
            run[c - L'0'] = true;
        else if (c != L',')
            return false;
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == L"--peer")
        return RunPeer(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()));
    BenchPlan plan;
    bool run[9] = {};
    bool some = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--quick") {
            plan.quick = true;
        } else if (arguments[i] == L"--only" && i + 1 < arguments.size() && ParseFigures(arguments[i + 1], run)) {
            some = true;
            ++i;
        } else {
            std::printf("usage: AirvaneBench.exe [--quick] [--only <figures, e.g. 1,4>]\n");
            return 2;
        }
    }
    if (!some) {
        for (bool& figure : run)
            figure = true;
    }

    BenchTable table;
    BenchFloors floors;
    if (run[1] || run[2] || run[3] || run[5] || run[6] || run[7] || run[8]) {
        BenchMachine machine;
        if (!machine.Ready()) {
            std::printf("AirvaneBench: the demo notebook or the service could not be set up\n");
            return 1;
        }
        table.BeginFigure(1);
        if (run[1] || run[3])
            RunExchangeFigures(plan, floors, table);
        table.BeginFigure(2);
        if (run[2])
            RunStatusFigure(plan, floors, table);
        table.BeginFigure(6);
        if (run[6])
            RunTrayStartFigure(plan, floors, table);
        table.BeginFigure(5);
        if (run[5])
            RunIdleFigure(plan, table);
        table.BeginFigure(8);
        if (run[8])
            RunReapplyFigure(plan, table);
        // Last of the figures on the demo notebook: it adds nine adapters to it.
        table.BeginFigure(3);
        if (run[3])
            RunPresetFigure(plan, floors, table, machine);
        table.BeginFigure(7);
        if (run[7])
            RunModernPresetFigure(plan, table);
    }
    table.BeginFigure(4);
    if (run[4])
        RunCatalogFigure(plan, table);
    table.Print();
    return 0;
}
