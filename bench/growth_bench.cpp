// Work that once grew far faster than its answer: the images of a tuple under a
// full index symmetry, the tensor basis of a fully symmetric rank, the closure of
// the symmetric group as permutation matrices, determinants past the order
// where cofactor expansion gives way to elimination, and sorting a sorted list
// on its first node as pivot.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "groups/group.h"
#include "module-collections/linkedlist.h"
#include "module-matrix_a/determinant.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/perm_symmetry.h"
#include "module-tensor/tensor_basis.h"

namespace {

perm_symmetry_type full_symmetry(int rank)
{
    std::string text = "(";
    for (int k = 0; k < rank; ++k) {
        if (k > 0) text += ' ';
        text += std::to_string(k);
    }
    text += ')';
    return perm_symmetry_type(ZEM_string(text.c_str()));
}

void symmetry_images(benchmark::State& state)
{
    const int rank = static_cast<int>(state.range(0));
    const perm_symmetry_type symmetry = full_symmetry(rank);
    pointer_to_objects<int> tuple(rank);
    for (int k = 0; k < rank; ++k) tuple[k] = k;
    int images = 0;
    for (auto _ : state) benchmark::DoNotOptimize(images = symmetry.n_symmetrical_with(tuple));
    state.counters["images"] = images;
}
BENCHMARK(symmetry_images)->Name("symmetry/images/full")->DenseRange(6, 9)->Unit(benchmark::kMillisecond);

void symmetric_basis(benchmark::State& state)
{
    const int rank = static_cast<int>(state.range(0));
    const perm_symmetry_type symmetry = full_symmetry(rank);
    for (auto _ : state) benchmark::DoNotOptimize(tensor_basis(2, rank, symmetry).n_basis);
}
BENCHMARK(symmetric_basis)->Name("symmetry/basis/full")->DenseRange(8, 14, 2)->Unit(benchmark::kMillisecond);

ZEM_matrix<ZEM_int> permutation_matrix(const std::vector<int>& p)
{
    const int n = static_cast<int>(p.size());
    pointer_to_objects<ZEM_int> entries(n * n);
    for (int r = 0; r < n; ++r) entries[r * n + p[static_cast<std::size_t>(r)]] = 1;
    return ZEM_matrix<ZEM_int>(n, n, entries);
}

void symmetric_group(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<int> swap(static_cast<std::size_t>(n)), cycle(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        swap[static_cast<std::size_t>(k)] = k;
        cycle[static_cast<std::size_t>(k)] = (k + 1) % n;
    }
    std::swap(swap[0], swap[1]);
    ZEM_linkedlist<ZEM_matrix<ZEM_int>> generators;
    generators.add_at_tail(permutation_matrix(swap));
    generators.add_at_tail(permutation_matrix(cycle));
    for (auto _ : state) benchmark::DoNotOptimize(ZEM_group<ZEM_matrix<ZEM_int>>(generators, nullptr, nullptr));
}
BENCHMARK(symmetric_group)->Name("group/symmetric")->DenseRange(5, 8)->Unit(benchmark::kMillisecond);

// A matrix of small fractions with no zero entry, so the expansion would form every minor.
void fraction_determinant(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    pointer_to_objects<ZEM_fraction> entries(n * n);
    for (int k = 0; k < n * n; ++k) entries[k] = ZEM_fraction(1 + (k * 7) % 5, 1 + k % 3);
    const ZEM_matrix<ZEM_fraction> m(n, n, entries);
    for (auto _ : state) benchmark::DoNotOptimize(determinant(m));
}
BENCHMARK(fraction_determinant)->Name("determinant/fraction")->DenseRange(4, 12, 4)->Unit(benchmark::kMicrosecond);

int by_text(const ZEM_string& a, const ZEM_string& b) { return std::strcmp(a.c_str(), b.c_str()); }
// The same order answering only 1 (greater) or 0.
int after(const ZEM_string& a, const ZEM_string& b) { return std::strcmp(a.c_str(), b.c_str()) > 0; }

template <int (*cmp)(const ZEM_string&, const ZEM_string&)>
void sorted_list_sort(benchmark::State& state)
{
    std::vector<std::string> texts(static_cast<std::size_t>(state.range(0)));
    for (std::size_t k = 0; k < texts.size(); ++k) texts[k] = std::to_string(1000000 + k);
    for (auto _ : state) {
        state.PauseTiming();
        ZEM_linkedlist<ZEM_string> list;
        for (const std::string& t : texts) list.add_at_tail(t.c_str());
        state.ResumeTiming();
        list.sort(cmp);
        benchmark::DoNotOptimize(list.head);
    }
}
BENCHMARK(sorted_list_sort<by_text>)
    ->Name("list/sort/sorted")
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(sorted_list_sort<after>)
    ->Name("list/sort/sorted_greater_or_not")
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 20)
    ->Unit(benchmark::kMillisecond);

}
