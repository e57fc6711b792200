// Scanning and parsing a command file of many assignments, the shape of a large
// configuration file; also the same file with a missing ";" in every hundredth
// statement, so that recovery and repair run often; and a string of NUL bytes.
// Messages go to a seam that drops them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "module-object/error.h"
#include "module-zem_language/parser.h"

namespace {

struct silent_alerts : alert_seam {
    void show_alert(const std::string&) override {}
};

std::string assignments(int count, int broken_every)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "value_" + std::to_string(i) + " = matrix([1 -2/3 " + std::to_string(i) + "] [0.5 \"x\" #4]) ";
        text += (broken_every && i % broken_every == 0) ? "\n" : ";\n";
    }
    return text;
}

void parse_file(benchmark::State& state, const std::string& text)
{
    auto path = std::filesystem::temp_directory_path() / ("zarn_parse_bench_" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << text;
    silent_alerts alerts;
    alert_seam* previous = install_alert_seam(&alerts);
    int errors = 0;
    for (auto _ : state) {
        BeginFile(path.c_str());
        errors = Parser();
        ReleaseTree(TreeRoot);
        TreeRoot = NoTree;
    }
    install_alert_seam(previous);
    std::filesystem::remove(path);
    state.counters["errors"] = errors;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_parse_assignments(benchmark::State& state) { parse_file(state, assignments(int(state.range(0)), 0)); }
void BM_parse_with_errors(benchmark::State& state) { parse_file(state, assignments(int(state.range(0)), 100)); }
// NUL bytes in a string, closed (one message) and not (one per byte).
void BM_parse_string_of_nuls(benchmark::State& state)
{
    parse_file(state, "x = \"" + std::string(std::size_t(state.range(0)), '\0') + (state.range(1) ? "\" ;\n" : ""));
}

}

BENCHMARK(BM_parse_assignments)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_parse_with_errors)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_parse_string_of_nuls)->ArgsProduct({{1 << 16, 1 << 18}, {1, 0}})->Unit(benchmark::kMillisecond);
