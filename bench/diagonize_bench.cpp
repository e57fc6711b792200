// Reduction of the invariance equations of the cubic group of order 48 on
// tensors of dimension 3 without index symmetry: for each of three generators g
// the block (g x ... x g)^T - I, stacked, as the tensor solver builds it.
#include <benchmark/benchmark.h>

#include "matrix_3x3.h"
#include "module-matrix/matrix.h"
#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix/matrix_builders.h"
#include "module-matrix_a/reduction.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

namespace {

// Entry (s, t) of the transposed tensor power is the product of g(t_l, s_l).
template <class T>
ZEM_matrix<T> action(const ZEM_matrix<T>& g, int rank)
{
    int n = 1;
    for (int l = 0; l < rank; ++l) n *= 3;
    fresh_matrix<T> a(n, n);
    for (int s = 0; s < n; ++s)
        for (int t = 0; t < n; ++t) {
            T product(1);
            for (int l = 0, ss = s, tt = t; l < rank; ++l, ss /= 3, tt /= 3) product = product * g.element(ss % 3 + 1, tt % 3 + 1);
            a.elements()[s * n + t] = product;
        }
    return a.finish();
}

template <class T>
ZEM_matrix<T> cubic_stack(int rank)
{
    const int rotation[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    const int cycle[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    const int inversion[3][3] = {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    pointer_to_objects<ZEM_matrix<T>> blocks(3);
    blocks[0] = action(matrix_3x3<T>(rotation), rank);
    blocks[1] = action(matrix_3x3<T>(cycle), rank);
    blocks[2] = action(matrix_3x3<T>(inversion), rank);
    const int n = blocks[0].columns();
    for (ZEM_matrix<T>& b : blocks) b = b - ZEM_matrix<T>(n, n, T(1));
    return matrix_from_stack_of_matrices(blocks);
}

template <class T, bool with_left>
void cubic(benchmark::State& state)
{
    const int rank = static_cast<int>(state.range(0));
    const ZEM_matrix<T> stack = cubic_stack<T>(rank);
    int free_parameters = 0;
    for (auto _ : state) {
        ZEM_matrix<T> L, D, R;
        if (with_left) diagonize(stack, L, D, R);
        else diagonize_without_left(stack, D, R);
        int r = 0;
        while (r < D.columns() && !is_zero_entry(D.elements()[r * D.columns() + r])) ++r;
        free_parameters = D.columns() - r;
    }
    state.counters["free_parameters"] = free_parameters;
}

BENCHMARK(cubic<ZEM_int, false>)->Arg(4)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(cubic<ZEM_fraction, false>)->Arg(4)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(cubic<ZEM_cyclotomic_number, false>)->Arg(4)->Arg(5)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(cubic<ZEM_fraction, true>)->Arg(4)->Arg(5)->Arg(6)->Unit(benchmark::kMillisecond);

}
