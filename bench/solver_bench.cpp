// The invariant-tensor solvers on the requests a crystal physicist makes:
// dimension 3, ranks 2 to 7, index symmetries from none to full, under the cubic
// group of order 48 and the hexagonal group of order 24 (both given by integer
// generators, the hexagonal ones in the hexagonal basis, so not orthogonal), over
// integers, fractions and cyclotomic numbers, and the large requests: the cubic
// group at rank 8 without symmetry and with four interchangeable symmetric pairs
// ("blocks"), at rank 10 without symmetry, and the hexagonal group at rank 9 without
// symmetry (one iteration each above rank 8; the hexagonal group's rank 10 runs for
// far too long to time). Each result reports its number of free parameters as the counter
// "free", and the peak memory of the process so far as "peak_MB" (run one
// benchmark alone, by --benchmark_filter, to read its own peak).
#include <benchmark/benchmark.h>

#include <set>
#include <sys/resource.h>
#include <string>
#include <vector>

#include "groups/group.h"
#include "module-mgrp+tensor/invariant_tensor.h"

namespace {

using rows = std::vector<std::vector<int>>;

const std::vector<rows> cubic_generators = {
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
};

const std::vector<rows> hexagonal_generators = {
    {{1, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
};

template <class G>
ZEM_group<ZEM_matrix<G>> group_of(const std::vector<rows>& generators)
{
    ZEM_linkedlist<ZEM_matrix<G>> list;
    for (const rows& r : generators) {
        pointer_to_objects<G> entries(9);
        for (int k = 0; k < 9; ++k) entries[k] = G(r[std::size_t(k / 3)][std::size_t(k % 3)]);
        list.add_at_tail(ZEM_matrix<G>(3, 3, entries));
    }
    return ZEM_group<ZEM_matrix<G>>(list, nullptr, nullptr);
}

// No symmetry, the first two indices symmetric, pairs of symmetric indices, those
// pairs interchangeable as blocks, and all indices symmetric.
std::string symmetry(const std::string& kind, int rank)
{
    std::string text;
    for (int i = 0; i < rank; ++i) {
        const std::string index = std::to_string(i);
        if (kind == "full")
            text += (i == 0 ? "(" : " ") + index + (i == rank - 1 ? ")" : "");
        else if (kind == "pair" && i < 2)
            text += i == 0 ? "(0" : " 1)";
        else if ((kind == "pairs" || kind == "blocks") && i + 1 < rank && i % 2 == 0)
            text += (i == 0 ? "(" : " (") + index + " " + std::to_string(i + 1) + ")";
        else if ((kind == "pairs" || kind == "blocks") && i % 2 == 1)
            continue;
        else
            text += (i == 0 ? "" : " ") + index;
    }
    return kind == "blocks" ? "(" + text + ")" : text;
}

template <class G, bool pseudo>
void solve(benchmark::State& state, const std::vector<rows>& generators, int rank, const std::string& text)
{
    using T = std::conditional_t<std::is_same_v<G, ZEM_int>, ZEM_fraction, G>;
    const ZEM_group<ZEM_matrix<G>> group = group_of<G>(generators);
    const ZEM_string symmetry_text(text.c_str());
    int n_free = -1;
    for (auto _ : state) {
        // A failure is reported as the label, with the time it took.
        try {
            if constexpr (pseudo) {
                ZEM_pseudo_tensor<ZEM_symbolic_number<T>> result;
                invariant_pseudo_tensor(group, rank, symmetry_text, &n_free, result);
            } else {
                ZEM_tensor<ZEM_symbolic_number<T>> result;
                invariant_tensor(group, rank, symmetry_text, &n_free, result);
            }
        } catch (const ZEM_string& failure) {
            state.SetLabel(failure.c_str());
        }
    }
    state.counters["free"] = n_free;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}

template <class G>
void register_scalar(const char* scalar)
{
    for (const auto& [group_name, generators] :
         {std::pair{"cubic", &cubic_generators}, std::pair{"hexagonal", &hexagonal_generators}})
        for (int rank = 2; rank <= 10; ++rank) {
            std::set<std::string> seen;
            for (const char* kind : {"none", "pair", "pairs", "blocks", "full"}) {
                const bool cubic = generators == &cubic_generators;
                const bool none = std::string(kind) == "none";
                const bool large = rank >= 8 || std::string(kind) == "blocks";
                const bool taken = cubic ? (rank == 8 && (none || std::string(kind) == "blocks")) || (rank == 10 && none)
                                         : rank == 9 && none;
                if (large && !taken) continue;
                const std::string text = symmetry(kind, rank);
                if (!seen.insert(text).second) continue;
                for (bool pseudo : {false, true}) {
                    if (rank > 8 && pseudo && !cubic) continue;
                    const std::string name = std::string(pseudo ? "pseudo_tensor/" : "tensor/") + group_name + "/" +
                                             scalar + "/" + kind + "/rank:" + std::to_string(rank);
                    auto* registered =
                        pseudo ? benchmark::RegisterBenchmark(name.c_str(), solve<G, true>, *generators, rank, text)
                               : benchmark::RegisterBenchmark(name.c_str(), solve<G, false>, *generators, rank, text);
                    registered->Unit(benchmark::kMillisecond);
                    if (rank > 8) registered->Iterations(1);
                }
            }
        }
}

const bool registered = [] {
    register_scalar<ZEM_int>("int");
    register_scalar<ZEM_fraction>("fraction");
    register_scalar<ZEM_cyclotomic_number>("cyclotomic");
    return true;
}();

}
