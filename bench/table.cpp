// The table grid on 100,000 rows: sorting a column in each mode against std::stable_sort of (key,
// index) pairs with the same comparison, and loading a CSV text against splitting the same text at
// commas. Both sides run here on the same generated data; the ratios are printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "media/GridModel.h"
#include "shell/Text.h"

namespace {

using kelvarn::GridModel;

template <class Setup, class F>
double BestSeconds(Setup&& setup, F&& f, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        setup();
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

std::vector<std::string> MakeLines(int rows) {
    std::mt19937 random(42);
    std::vector<std::string> lines{"name,Width,mixed,kuid,notes"};
    for (int r = 0; r < rows; ++r) {
        const unsigned n = random();
        std::string name = "item" + std::to_string(n % 100000);
        name[0] = char('a' + n % 26);
        lines.push_back(name + "," + std::to_string(int(n % 20000) - 10000) + "." + std::to_string(n % 100) + "," +
                        (n % 3 ? std::to_string(n % 977) : "word" + std::to_string(n % 50)) + ",<kuid:" +
                        std::to_string(n % 400000) + ":" + std::to_string(n % 9000) + ">,\"free, text " +
                        std::to_string(r) + "\"");
    }
    return lines;
}

}  // namespace

int main() {
    const std::vector<std::string> lines = MakeLines(100000);
    GridModel grid;
    std::printf("%-28s %10s %10s %7s\n", "case", "ours ms", "ref ms", "ratio");
    const char* names[] = {"", "sort text (mode 1)", "sort numeric (mode 2)", "sort mixed (mode 3)", "sort KUID (mode 4)"};
    const int columns[] = {0, 2, 3, 4, 5};
    for (int mode = 1; mode <= 4; ++mode) {
        const int col = columns[mode];
        grid.LoadTable(lines);
        if (grid.SortMode(col) != mode) std::printf("unexpected mode %d for column %d\n", grid.SortMode(col), col);
        const double ours = BestSeconds([&] { grid.LoadTable(lines); }, [&] { grid.SortColumnWay(col, false); }, 5);
        std::vector<std::pair<std::string, std::size_t>> keyed;
        const double reference = BestSeconds(
            [&] {
                keyed.clear();
                for (int r = 1; r < grid.RowCount(); ++r) keyed.emplace_back(grid.Cell(col, r), std::size_t(r));
            },
            [&] {
                std::stable_sort(keyed.begin(), keyed.end(), [mode](const auto& a, const auto& b) {
                    return kelvarn::CompareSortKeys(a.first, b.first, mode, false) < 0;
                });
            },
            5);
        std::printf("%-28s %10.1f %10.1f %7.2f\n", names[mode], ours * 1e3, reference * 1e3, ours / reference);
    }

    const std::string text = [&] {
        std::string t;
        for (const std::string& line : lines) t += line + "\r\n";
        return t;
    }();
    const double load = BestSeconds([] {}, [&] { grid.LoadTable(kelvarn::SplitLines(text)); }, 5);
    std::size_t fields = 0;
    const double split = BestSeconds([] {}, [&] {
        for (const std::string& line : kelvarn::SplitLines(text)) fields += kelvarn::SplitString(line, ",").size();
    }, 5);
    std::printf("%-28s %10.1f %10.1f %7.2f\n", "load 100,000-line CSV", load * 1e3, split * 1e3, load / split);
    return fields == 0;
}
