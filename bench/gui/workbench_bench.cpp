// A whole "Tensor" request of the tensor workbench, as the user starts it: the
// solver on m-3m, the conversion and product with the identity transformation,
// and the new page of the result deck. No index symmetry, ranks 4, 6 and 7;
// the counter "free" is the number of free parameters. Then 6/mmm at rank 8 in
// Cartesian axes from the shipped configuration ($ZARN_CONFIG, else
// data/zarn_config below the directory the benchmark runs in): the whole request,
// and apart its solve (with conversion and transformation) and the printing of
// its page's text.
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
#include "module-collections/linkedlist.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_request.h"
#include "module-main_zarn/tensorprog.h"
#include "module-matrix/matrix.h"
#include "module-misc_amulet/stacker.h"
#include "module-object/error.h"
#include "groups/group.h"
#include "module-zem_language/exec.h"
#include "module-zem_language/symtab.h"

namespace {

ZEM_matrix<ZEM_int> matrix3(std::initializer_list<int> entries)
{
    pointer_to_objects<ZEM_int> elements(9);
    int k = 0;
    for (int x : entries) elements[k++] = ZEM_int(x);
    return ZEM_matrix<ZEM_int>(3, 3, elements);
}

void set_list(const char* name, std::initializer_list<const char*> strings)
{
    ZEM_linkedlist<ZEM_string> list;
    for (const char* s : strings) list.add_at_tail(ZEM_string(s));
    global_objects.add(name, &list, list.type());
}

// The m-3m group and the identity of the shipped configuration, under their names.
void configure()
{
    ZEM_linkedlist<ZEM_matrix<ZEM_int>> generators;
    generators.add_at_tail(matrix3({0, -1, 0, 1, 0, 0, 0, 0, 1}));
    generators.add_at_tail(matrix3({0, 0, 1, 1, 0, 0, 0, 1, 0}));
    generators.add_at_tail(matrix3({-1, 0, 0, 0, -1, 0, 0, 0, -1}));
    const ZEM_group<ZEM_matrix<ZEM_int>> m3m(generators, nullptr, nullptr);
    global_objects.add("G3_m-3m", &m3m, m3m.type());
    const ZEM_matrix<ZEM_int> identity = matrix3({1, 0, 0, 0, 1, 0, 0, 0, 1});
    global_objects.add("T3_identity", &identity, identity.type());
    for (const char* d : {"1", "2"}) {
        set_list((std::string("group_name_mapping_") + d).c_str(), {});
        set_list((std::string("transformation_name_mapping_") + d).c_str(), {});
    }
    set_list("group_name_mapping_3", {"m-3m", "G3_m-3m"});
    set_list("transformation_name_mapping_3", {"identity", "T3_identity"});
    init_tensor();
}

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

void tensor_request(benchmark::State& state)
{
    static const bool configured = (configure(), true);
    (void)configured;
    const int rank = int(state.range(0));
    const tensor_inputs inputs{"m-3m", no_symmetry(rank), "identity", 3, rank};
    click_tensor(state, inputs);
    count_free(state, inputs);
}

const tensor_inputs hexagonal_cartesian{"6/mmm", no_symmetry(8), "hexagonal to Cartesian", 3, 8};

void hexagonal_request(benchmark::State& state)
{
    if (!load_shipped()) return state.SkipWithError("the shipped configuration cannot be read");
    click_tensor(state, hexagonal_cartesian);
    count_free(state, hexagonal_cartesian);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
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
BENCHMARK(hexagonal_request)->Name("workbench/tensor/6_mmm/cartesian/none/rank:8")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(hexagonal_solve)->Name("workbench/solve/6_mmm/cartesian/none/rank:8")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(hexagonal_print)->Name("workbench/print/6_mmm/cartesian/none/rank:8")->Unit(benchmark::kMillisecond)->Iterations(1);

}
