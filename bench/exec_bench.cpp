// Running whole command files: many cheap statements, and statements that each
// close a matrix group of order 48 (the cube's full symmetry group).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "module-zem_language/exec.h"

namespace {

std::string command_file(const char* name, const std::string& statement, int count)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::ofstream out(path);
    for (int k = 0; k < count; ++k) out << statement;
    return path.string();
}

void run_file(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        const int errors = exec_zem_commandfile(path.c_str());
        if (errors != 0) state.SkipWithError("the command file counted errors");
    }
    std::filesystem::remove(path);
}

void BM_simple_assignments(benchmark::State& state)
{
    run_file(state, command_file("zarn_bench_assignments.zem", "x = #1 ;\n", 100000));
}
BENCHMARK(BM_simple_assignments)->Unit(benchmark::kMillisecond);

void BM_groups_of_order_48(benchmark::State& state)
{
    const std::string group = "g = int_matrix_group ( "
                              "matrix ( [ #0 #-1 #0 ] [ #1 #0 #0 ] [ #0 #0 #1 ] ) "
                              "matrix ( [ #0 #0 #1 ] [ #1 #0 #0 ] [ #0 #1 #0 ] ) "
                              "matrix ( [ #-1 #0 #0 ] [ #0 #-1 #0 ] [ #0 #0 #-1 ] ) ) ;\n";
    run_file(state, command_file("zarn_bench_groups.zem", group, 1000));
}
BENCHMARK(BM_groups_of_order_48)->Unit(benchmark::kMillisecond);

}
