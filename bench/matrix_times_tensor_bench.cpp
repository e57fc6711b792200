// Matrix times tensor as a tensor request runs it: the general tensor of the
// hexagonal group of order 24 (in the hexagonal basis, no index symmetry), from
// the solver, transformed to Cartesian coordinates; over fractions by a rational
// matrix of the same shape, over cyclotomic numbers by the true transformation
// with its square root of 3. The counter "peak_MB" is the peak memory of the
// process so far (run one benchmark alone to read its own).
#include <benchmark/benchmark.h>
#include <string>
#include <sys/resource.h>

#include "matrix_3x3.h"
#include "module-collections/linkedlist.h"
#include "module-matrix+tensor/matrix_times_tensor.h"
#include "module-mgrp+tensor/invariant_tensor.h"

namespace {

template <class S>
ZEM_tensor<ZEM_symbolic_number<S>> hexagonal_tensor(int rank)
{
    const int generators[3][3][3] = {
        {{1, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}};
    pointer_to_objects<ZEM_matrix<S>> gens(3);
    for (int i = 0; i < 3; ++i) gens[i] = matrix_3x3<S>(generators[i]);
    std::string text;
    for (int i = 0; i < rank; ++i) {
        if (i > 0) text += ' ';
        text += std::to_string(i);
    }
    ZEM_tensor<ZEM_symbolic_number<S>> t;
    invariant_tensor(gens, rank, ZEM_string(text.c_str()), nullptr, t);
    return t;
}

ZEM_cyclotomic_number root_of_unity(int k, int n)
{
    ZEM_linkedlist<ZEM_fraction> c;
    ZEM_linkedlist<ZEM_int> a, d;
    c.add_at_tail(ZEM_fraction(1));
    a.add_at_tail(k);
    d.add_at_tail(n);
    return ZEM_cyclotomic_number(c, a, d);
}

template <class S>
void transform(benchmark::State& state, const ZEM_matrix<S>& g)
{
    const ZEM_tensor<ZEM_symbolic_number<S>> t = hexagonal_tensor<S>(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(g * t);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}

void fraction_times_tensor(benchmark::State& state)
{
    const ZEM_fraction rows[3][3] = {{1, ZEM_fraction(-1, 2), 0}, {0, ZEM_fraction(3, 2), 0}, {0, 0, 1}};
    transform(state, matrix_3x3<ZEM_fraction>(rows));
}

void cyclotomic_times_tensor(benchmark::State& state)
{
    const ZEM_cyclotomic_number half_root3 = ZEM_fraction(1, 2) * (root_of_unity(1, 12) + root_of_unity(11, 12));
    const ZEM_cyclotomic_number rows[3][3] = {{1, ZEM_fraction(-1, 2), 0}, {0, half_root3, 0}, {0, 0, 1}};
    transform(state, matrix_3x3<ZEM_cyclotomic_number>(rows));
}

BENCHMARK(fraction_times_tensor)->DenseRange(4, 8)->Unit(benchmark::kMillisecond);
BENCHMARK(cyclotomic_times_tensor)->DenseRange(4, 8)->Unit(benchmark::kMillisecond);

}
