// The result deck on the largest page a workbench makes in practice: the general
// rank-6 tensor of the cubic group m-3m, no index symmetry. Each iteration adds
// the page and paints the deck showing it; deleting it again is not timed.
// The counter "lines" is the number of printed lines on the page.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <sstream>
#include <string>

#include "button_labelled.h"
#include "module-misc_amulet/alerts.h"
#include "module-mgrp+tensor/invariant_tensor.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/view.h"

namespace {

ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> general_rank_6_tensor_of_m3m()
{
    const int rows[3][9] = {
        {0, -1, 0, 1, 0, 0, 0, 0, 1},
        {0, 0, 1, 1, 0, 0, 0, 1, 0},
        {-1, 0, 0, 0, -1, 0, 0, 0, -1},
    };
    pointer_to_objects<ZEM_matrix<ZEM_int>> generators(3);
    for (int g = 0; g < 3; ++g) {
        pointer_to_objects<ZEM_int> entries(9);
        for (int k = 0; k < 9; ++k) entries[k] = ZEM_int(rows[g][k]);
        generators[g] = ZEM_matrix<ZEM_int>(3, 3, entries);
    }
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> tensor;
    int n_free = 0;
    invariant_tensor(generators, 6, "0 1 2 3 4 5", &n_free, tensor);
    return tensor;
}

void add_and_show_rank_6_page(benchmark::State& state)
{
    const auto tensor = general_rank_6_tensor_of_m3m();
    std::unique_ptr<QWidget> stacker(create_stacker());
    stacker->resize(900, 700);
    stacker->show();
    QAbstractButton* remove = button_labelled(stacker.get(), "Delete");
    for (auto _ : state) {
        add_to_stacker(stacker.get(), tensor, "The point group used was m-3m\n\n");
        QApplication::sendPostedEvents();
        stacker->repaint();
        state.PauseTiming();
        remove->click();
        QApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    std::ostringstream printed;
    tensor.print(printed);
    const std::string text = printed.str();
    state.counters["lines"] = double(std::count(text.begin(), text.end(), '\n'));
}

BENCHMARK(add_and_show_rank_6_page)->Name("deck/add_and_show/m-3m/rank:6/none")->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit paints with the threads the program gives it.
    prepare_threads();
    QApplication app(argc, argv);
    install_views();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
