// A whole "Tensor" request of the tensor workbench, as the user starts it: the
// solver, the conversion and product with the basis transformation, and the new
// page of the result deck, on the shipped configuration ($ZARN_CONFIG, else
// data/zarn_config below the directory the benchmark runs in). No index
// symmetry; the counter "free" is the number of free parameters, "peak_MB" the
// peak memory of the process so far (run one benchmark alone to read its own).
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>

#include "button_labelled.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_request.h"
#include "module-main_zarn/tensorprog.h"
#include "module-misc_amulet/stacker.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-zem_language/exec.h"

namespace {

struct silent_alerts : alert_seam {
    void show_alert(const std::string&) override {}
};

bool configure()
{
    const char* from_environment = std::getenv("ZARN_CONFIG");
    const std::string path = from_environment ? from_environment : "data/zarn_config";
    silent_alerts alerts;
    alert_seam* previous = install_alert_seam(&alerts);
    bool read = false;
    try {
        read = exec_zem_commandfile(path.c_str()) == 0;
        init_tensor();
    } catch (const ZEM_string&) {
    }
    install_alert_seam(previous);
    return read;
}

void tensor_request(benchmark::State& state, const char* group, const char* transformation)
{
    static const bool configured = configure();
    if (!configured) {
        state.SkipWithError("the configuration cannot be read");
        return;
    }
    const int rank = int(state.range(0));
    std::unique_ptr<QWidget> stacker(create_stacker());
    std::unique_ptr<QWidget> bench(tensorprog(stacker.get()));
    std::string symmetry;
    for (int k = 0; k < rank; ++k) {
        if (k) symmetry += ' ';
        symmetry += std::to_string(k);
    }
    bench->findChild<QSpinBox*>("rank")->setValue(rank);
    bench->findChild<QLineEdit*>("point group")->setText(group);
    bench->findChild<QLineEdit*>("perm symmetry")->setText(QString::fromStdString(symmetry));
    bench->findChild<QLineEdit*>("basis transformation")->setText(transformation);
    QAbstractButton* tensor = button_labelled(bench.get(), "Tensor");
    QAbstractButton* remove = button_labelled(stacker.get(), "Delete");
    for (auto _ : state) {
        tensor->click();
        state.PauseTiming();
        remove->click();
        QApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    const std::string comment = invariant_tensor_request(false, {group, symmetry, transformation, 3, rank}).comment;
    const std::string count_line = "The number of free parameters is ";
    state.counters["free"] = std::stod(comment.substr(comment.find(count_line) + count_line.size()));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}

BENCHMARK_CAPTURE(tensor_request, m3m, "m-3m", "identity")
    ->Name("workbench/tensor/m-3m/none")
    ->Arg(4)
    ->Arg(6)
    ->Arg(7)
    ->Unit(benchmark::kMillisecond);
// The largest requests, once each so that a whole run stays short.
BENCHMARK_CAPTURE(tensor_request, m3m_large, "m-3m", "identity")
    ->Name("workbench/tensor/m-3m/none")
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(tensor_request, hexagonal, "6/mmm", "hexagonal to Cartesian")
    ->Name("workbench/tensor/6/mmm/none/Cartesian")
    ->Arg(8)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}
