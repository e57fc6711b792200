// A whole "Tensor" request of the tensor workbench, as the user starts it, on the
// shipped configuration ($ZARN_CONFIG, else data/zarn_config below the directory
// the benchmark runs in): the solver, the conversion and product with the basis
// transformation, and the new page of the result deck. No index symmetry; m-3m at
// ranks 4, 6, 7 and (once) 10, and 6/mmm at rank 8 in Cartesian axes, whole and
// apart as its solve (with conversion and transformation) and the printing of its
// page's text. The counter "free" is the number of free parameters, "peak_MB" the
// peak memory of the process so far (run one benchmark alone to read its own).
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>

#include "button_labelled.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_request.h"
#include "module-main_zarn/tensorprog.h"
#include "module-misc_amulet/stacker.h"
#include "module-object/error.h"
#include "module-zem_language/exec.h"

namespace {

// The shipped configuration, with its name mappings; false when it cannot be read.
bool load_shipped()
{
    static const bool loaded = [] {
        const char* from_environment = std::getenv("ZARN_CONFIG");
        const std::string path = from_environment ? from_environment : "data/zarn_config";
        struct silent_alerts : alert_seam {
            void show_alert(const std::string&) override {}
        } alerts;
        alert_seam* previous = install_alert_seam(&alerts);
        bool ok = false;
        try {
            ok = exec_zem_commandfile(path.c_str()) == 0;
            if (ok) init_tensor();
        } catch (const ZEM_string&) {
        }
        install_alert_seam(previous);
        return ok;
    }();
    return loaded;
}

std::string no_symmetry(int rank)
{
    std::string symmetry;
    for (int k = 0; k < rank; ++k) {
        if (k) symmetry += ' ';
        symmetry += std::to_string(k);
    }
    return symmetry;
}

// Clicks "Tensor" on the workbench filled in with the inputs, once per iteration.
void click_tensor(benchmark::State& state, const tensor_inputs& inputs)
{
    std::unique_ptr<QWidget> stacker(create_stacker());
    std::unique_ptr<QWidget> bench(tensorprog(stacker.get()));
    bench->findChild<QSpinBox*>("rank")->setValue(inputs.rank);
    bench->findChild<QLineEdit*>("point group")->setText(QString::fromStdString(inputs.point_group));
    bench->findChild<QLineEdit*>("perm symmetry")->setText(QString::fromStdString(inputs.perm_symmetry));
    bench->findChild<QLineEdit*>("basis transformation")->setText(QString::fromStdString(inputs.transformation));
    QAbstractButton* tensor = button_labelled(bench.get(), "Tensor");
    QAbstractButton* remove = button_labelled(stacker.get(), "Delete");
    for (auto _ : state) {
        tensor->click();
        state.PauseTiming();
        remove->click();
        QApplication::sendPostedEvents();
        state.ResumeTiming();
    }
}

void count_free(benchmark::State& state, const tensor_inputs& inputs)
{
    const std::string comment = invariant_tensor_request(false, inputs).comment;
    const std::string count_line = "The number of free parameters is ";
    state.counters["free"] = std::stod(comment.substr(comment.find(count_line) + count_line.size()));
}

void record_peak(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}

void tensor_request(benchmark::State& state)
{
    if (!load_shipped()) return state.SkipWithError("the shipped configuration cannot be read");
    const int rank = int(state.range(0));
    const tensor_inputs inputs{"m-3m", no_symmetry(rank), "identity", 3, rank};
    click_tensor(state, inputs);
    count_free(state, inputs);
    record_peak(state);
}

const tensor_inputs hexagonal_cartesian{"6/mmm", no_symmetry(8), "hexagonal to Cartesian", 3, 8};

void hexagonal_request(benchmark::State& state)
{
    if (!load_shipped()) return state.SkipWithError("the shipped configuration cannot be read");
    click_tensor(state, hexagonal_cartesian);
    count_free(state, hexagonal_cartesian);
    record_peak(state);
}

void hexagonal_solve(benchmark::State& state)
{
    if (!load_shipped()) return state.SkipWithError("the shipped configuration cannot be read");
    for (auto _ : state) benchmark::DoNotOptimize(invariant_tensor_request(false, hexagonal_cartesian));
}

void hexagonal_print(benchmark::State& state)
{
    if (!load_shipped()) return state.SkipWithError("the shipped configuration cannot be read");
    const tensor_result result = invariant_tensor_request(false, hexagonal_cartesian);
    for (auto _ : state) {
        std::ostringstream text;
        result.value->print(text);
        benchmark::DoNotOptimize(text.str().size());
    }
}

BENCHMARK(tensor_request)->Name("workbench/tensor/m-3m/none")->Arg(4)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(tensor_request)->Name("workbench/tensor/m-3m/none")->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(hexagonal_request)->Name("workbench/tensor/6_mmm/cartesian/none/rank:8")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(hexagonal_solve)->Name("workbench/solve/6_mmm/cartesian/none/rank:8")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(hexagonal_print)->Name("workbench/print/6_mmm/cartesian/none/rank:8")->Unit(benchmark::kMillisecond)->Iterations(1);

}
