// The whole start-up on the shipped configuration, as the program does it before
// its first window: run the file (scan, parse, check and run every statement,
// each group closed as it is made), then read the workbenches' name mappings.
// The file is $ZARN_CONFIG, else data/zarn_config below the directory the
// benchmark runs in (./dev bench runs it at the top).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "module-main_zarn/init_chartab.h"
#include "module-main_zarn/init_tens.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-zem_language/exec.h"

namespace {

struct silent_alerts : alert_seam {
    void show_alert(const std::string&) override {}
};

void BM_startup_whole(benchmark::State& state)
{
    const char* from_environment = std::getenv("ZARN_CONFIG");
    const std::string path = from_environment ? from_environment : "data/zarn_config";
    silent_alerts alerts;
    alert_seam* previous = install_alert_seam(&alerts);
    for (auto _ : state) {
        try {
            if (exec_zem_commandfile(path.c_str()) != 0) state.SkipWithError("the configuration counted errors");
            init_tensor();
            init_character_table();
        } catch (const ZEM_string&) {
            state.SkipWithError("the configuration cannot be read");
        }
    }
    install_alert_seam(previous);
}
BENCHMARK(BM_startup_whole)->Unit(benchmark::kMillisecond);

}
