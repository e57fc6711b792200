// A whole "Tensor" request of the tensor workbench, as the user starts it: the
// solver on m-3m, the conversion and product with the identity transformation,
// and the new page of the result deck. No index symmetry, ranks 4, 6 and 7;
// the counter "free" is the number of free parameters.
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "button_labelled.h"
#include "module-collections/linkedlist.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_request.h"
#include "module-main_zarn/tensorprog.h"
#include "module-matrix/matrix.h"
#include "module-misc_amulet/stacker.h"
#include "groups/group.h"
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

void tensor_request(benchmark::State& state)
{
    static const bool configured = (configure(), true);
    (void)configured;
    const int rank = int(state.range(0));
    std::unique_ptr<QWidget> stacker(create_stacker());
    std::unique_ptr<QWidget> bench(tensorprog(stacker.get()));
    std::string symmetry;
    for (int k = 0; k < rank; ++k) {
        if (k) symmetry += ' ';
        symmetry += std::to_string(k);
    }
    bench->findChild<QSpinBox*>("rank")->setValue(rank);
    bench->findChild<QLineEdit*>("point group")->setText("m-3m");
    bench->findChild<QLineEdit*>("perm symmetry")->setText(QString::fromStdString(symmetry));
    bench->findChild<QLineEdit*>("basis transformation")->setText("identity");
    QAbstractButton* tensor = button_labelled(bench.get(), "Tensor");
    QAbstractButton* remove = button_labelled(stacker.get(), "Delete");
    for (auto _ : state) {
        tensor->click();
        state.PauseTiming();
        remove->click();
        QApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    const std::string comment = invariant_tensor_request(false, {"m-3m", symmetry, "identity", 3, rank}).comment;
    const std::string count_line = "The number of free parameters is ";
    state.counters["free"] = std::stod(comment.substr(comment.find(count_line) + count_line.size()));
}

BENCHMARK(tensor_request)->Name("workbench/tensor/m-3m/none")->Arg(4)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);

}
