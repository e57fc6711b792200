// Start-up on the shipped configuration: scanning and parsing it alone, and
// running it whole (scan, parse, check and run every statement, each group
// closed as it is made). The file is $ZARN_CONFIG, else data/zarn_config below
// the directory the benchmark runs in (./dev bench runs it at the top).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "module-object/error.h"
#include "module-object/string.h"
#include "module-zem_language/exec.h"
#include "module-zem_language/parser.h"
#include "module-zem_language/scanner.h"

namespace {

struct silent_alerts : alert_seam {
    void show_alert(const std::string&) override {}
};

std::string configuration()
{
    const char* path = std::getenv("ZARN_CONFIG");
    return path ? path : "data/zarn_config";
}

void BM_startup_parse(benchmark::State& state)
{
    const std::string path = configuration();
    silent_alerts alerts;
    alert_seam* previous = install_alert_seam(&alerts);
    for (auto _ : state) {
        BeginFile(path.c_str());
        if (Parser() != 0) state.SkipWithError("the configuration has syntax errors");
        ReleaseTree(TreeRoot);
        TreeRoot = NoTree;
    }
    install_alert_seam(previous);
}
BENCHMARK(BM_startup_parse)->Unit(benchmark::kMillisecond);

void BM_startup_run(benchmark::State& state)
{
    const std::string path = configuration();
    silent_alerts alerts;
    alert_seam* previous = install_alert_seam(&alerts);
    for (auto _ : state) {
        try {
            if (exec_zem_commandfile(path.c_str()) != 0) state.SkipWithError("the configuration counted errors");
        } catch (const ZEM_string&) {
            state.SkipWithError("the configuration cannot be read");
        }
    }
    install_alert_seam(previous);
}
BENCHMARK(BM_startup_run)->Unit(benchmark::kMillisecond);

}
