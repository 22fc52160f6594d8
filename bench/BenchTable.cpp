#include "bench/BenchTable.h"

#include <algorithm>
#include <cstdio>

namespace {

// Characters, not bytes: the texts hold "µ", "≤", "×" and "–".
size_t Width(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Pad(const std::string& text, size_t width)
{
    const size_t used = Width(text);
    return text + std::string(used < width ? width - used : 0, ' ');
}

const char* VerdictText(BenchRow::Goal verdict)
{
    switch (verdict) {
    case BenchRow::Goal::Met:
        return "met";
    case BenchRow::Goal::NotMet:
        return "NOT MET";
    case BenchRow::Goal::Unknown:
        return "not measured";
    default:
        return "";
    }
}

} // namespace

BenchRow::Goal AtMost(double ratio, double limit)
{
    if (ratio <= 0)
        return BenchRow::Goal::Unknown;
    return ratio <= limit ? BenchRow::Goal::Met : BenchRow::Goal::NotMet;
}

std::string Number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string Duration(double microseconds)
{
    if (microseconds < 1000)
        return Number(microseconds, microseconds < 10 ? 1 : 0) + " µs";
    if (microseconds < 1e6)
        return Number(microseconds / 1000, microseconds < 1e4 ? 2 : 1) + " ms";
    return Number(microseconds / 1e6, 2) + " s";
}

std::string Kilobytes(double bytes)
{
    return Number(bytes / 1024, 0) + " KiB";
}

void BenchTable::Print() const
{
    const std::vector<std::string> headers = {"figure", "median", "spread", "floor", "ratio", "goal", "verdict"};
    auto rows = rows_;
    auto notes = notes_;
    auto byFigure = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::stable_sort(rows.begin(), rows.end(), byFigure);
    std::stable_sort(notes.begin(), notes.end(), byFigure);
    std::vector<std::vector<std::string>> cells;
    for (const auto& entry : rows) {
        const BenchRow& row = entry.second;
        cells.push_back({row.figure, row.median, row.spread, row.floor, row.ratio > 0 ? Number(row.ratio, 2) : "",
                         row.goal, VerdictText(row.verdict)});
    }
    std::vector<size_t> widths;
    for (const std::string& header : headers)
        widths.push_back(Width(header));
    for (const auto& line : cells) {
        for (size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], Width(line[i]));
    }
    auto print = [&](const std::vector<std::string>& line) {
        std::string text;
        for (size_t i = 0; i < line.size(); ++i)
            text += Pad(line[i], widths[i] + 2);
        text.erase(text.find_last_not_of(' ') + 1);
        std::printf("%s\n", text.c_str());
    };
    print(headers);
    std::string rule;
    for (size_t width : widths)
        rule += std::string(width, '-') + "  ";
    rule.erase(rule.find_last_not_of(' ') + 1);
    std::printf("%s\n", rule.c_str());
    for (const auto& line : cells)
        print(line);
    if (!notes.empty())
        std::printf("\n");
    for (const auto& note : notes)
        std::printf("%s\n", note.second.c_str());
    std::fflush(stdout);
}
