#pragma once

#include <string>
#include <utility>
#include <vector>

// One row of the results table. Texts are UTF-8; a figure that could not be
// measured keeps its median empty and says why in a note.
struct BenchRow {
    enum class Goal { None, Met, NotMet, Unknown };

    std::string figure;
    std::string median;
    std::string spread; // "p99 …", "p90 …" or "min–max"
    std::string floor;
    double ratio = 0;   // 0: none
    std::string goal;   // e.g. "≤ 1.3 ×"
    Goal verdict = Goal::None;
};

// Reads "≤ limit ×" against ratio.
BenchRow::Goal AtMost(double ratio, double limit);

// Durations in microseconds as people read them: "183 µs", "95.2 ms", "1.53 s".
std::string Duration(double microseconds);
std::string Kilobytes(double bytes);
std::string Number(double value, int decimals);

// Rows and notes are printed by figure number, whatever order the figures ran in.
class BenchTable {
public:
    void BeginFigure(int figure) { figure_ = figure; }
    void Add(BenchRow row) { rows_.emplace_back(figure_, std::move(row)); }
    void Note(std::string note) { notes_.emplace_back(figure_, std::move(note)); }
    void Print() const;

private:
    int figure_ = 0;
    std::vector<std::pair<int, BenchRow>> rows_;
    std::vector<std::pair<int, std::string>> notes_;
};
