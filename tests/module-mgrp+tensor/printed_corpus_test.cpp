// The printed results of a corpus of requests, against the prints recorded from
// the straightforward solver and matrix times tensor: the faster code must print
// them byte for byte. Each print is recorded by its length and 64-bit FNV-1a hash;
// a print that differs is reported with its new text.
// ZARN_RECORD_CORPUS=<file> writes the table afresh instead of comparing.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "module-matrix+tensor/matrix_times_tensor.h"
#include "module-mgrp+tensor/invariant_tensor.h"
#include "numbers/cyclotomic_support.h"
#include "support/printed.h"
#include "support/random_generator.h"
#include "support/tensor_action.h"

namespace {

struct recorded {
    const char* name;
    std::size_t length;
    std::uint64_t hash;
};

const recorded corpus[] = {
#include "printed_corpus.inc"
};

std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

using rows = std::vector<std::vector<ZEM_fraction>>;
using prints = std::map<std::string, std::string>;

// A failure is recorded by its text.
void put(prints& out, const std::string& name, const std::function<std::string()>& make)
{
    try {
        out[name] = make();
    } catch (const ZEM_string& thrown) {
        out[name] = thrown.c_str();
    }
}

const std::vector<rows> cubic = {
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}};
const std::vector<rows> hexagonal = {
    {{1, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}};

// No symmetry, a symmetric pair, symmetric pairs, all symmetric, an antisymmetric pair.
std::string symmetry(int kind, int rank)
{
    std::string text;
    for (int i = 0; rank > 1 && i < rank; ++i) {
        const bool pair = kind == 1 || kind == 4;
        const bool opens = kind == 3 ? i == 0 : kind == 2 ? i % 2 == 0 && i + 1 < rank : pair && i == 0;
        const bool closes = kind == 3 ? i == rank - 1 : kind == 2 ? i % 2 == 1 : pair && i == 1;
        text += std::string(i ? " " : "") + (opens ? kind == 4 ? "[" : "(" : "") + std::to_string(i) +
                (closes ? kind == 4 ? "]" : ")" : "");
    }
    return rank > 1 ? text : "0";
}

template <class G>
std::string solved(const pointer_to_objects<ZEM_matrix<G>>& gens, int rank, const std::string& text, bool pseudo)
{
    using S = ZEM_symbolic_number<coefficient_of<G>>;
    int n_free = -1;
    ZEM_tensor<S> t;
    ZEM_pseudo_tensor<S> p;
    if (pseudo)
        invariant_pseudo_tensor(gens, rank, ZEM_string(text.c_str()), &n_free, p);
    else
        invariant_tensor(gens, rank, ZEM_string(text.c_str()), &n_free, t);
    return std::to_string(n_free) + "\n" + (pseudo ? printed(p) : printed(t));
}

// The named groups in every instance, ranks 1 to 6, and the random groups of the solver tests.
template <class G>
void solver_prints(const std::string& scalar, prints& out)
{
    for (const auto& [group, gens] : {std::pair{"cubic", &cubic}, std::pair{"hexagonal", &hexagonal}})
        for (int rank = 1; rank <= 6; ++rank)
            for (int kind = 0; kind < (rank == 1 ? 1 : 5); ++kind)
                for (bool pseudo : {false, true})
                    put(out, std::string(pseudo ? "pseudo/" : "tensor/") + group + "/" + scalar + "/" + symmetry(kind, rank),
                        [&, gens = gens] { return solved<G>(generators_of<G>(*gens), rank, symmetry(kind, rank), pseudo); });
    using T = coefficient_of<G>;
    std::mt19937 rng(77);
    for (int trial = 0; trial < 24; ++trial) {
        const int dim = 2 + trial % 2;
        const int rank = 1 + int(rng() % 4);
        const std::string text = symmetry(int(rng() % 5), rank);
        const int order = std::is_same_v<G, ZEM_cyclotomic_number> ? 3 + int(rng() % 2) : 2;
        std::vector<std::vector<std::vector<T>>> gens;
        for (int k = 0, count = 1 + int(rng() % 2); k < count; ++k)
            gens.push_back(random_generator<T>(rng, std::size_t(dim), random_unit<T>(order)));
        for (bool pseudo : {false, true})
            put(out, "random/" + scalar + "/" + std::to_string(trial) + (pseudo ? "/pseudo" : ""),
                [&] { return solved<G>(generators_of<G>(gens), rank, text, pseudo); });
    }
}

// Matrix times the solver's results over its own scalar, and times plain tensors.
template <class S>
void transformed(const std::string& scalar, const std::vector<std::vector<S>>& rows_of_g, int top_rank, prints& out)
{
    const ZEM_matrix<S> g = matrix_from<S>(rows_of_g);
    for (int rank = 1; rank <= top_rank; ++rank)
        for (int kind : {0, 1, 3}) {
            if (rank == 1 && kind > 0) break;
            const std::string text = symmetry(kind, rank), name = scalar + "/" + text;
            const pointer_to_objects<ZEM_matrix<S>> gens = generators_of<S>(hexagonal);
            ZEM_tensor<ZEM_symbolic_number<S>> t;
            ZEM_pseudo_tensor<ZEM_symbolic_number<S>> p;
            invariant_tensor(gens, rank, ZEM_string(text.c_str()), nullptr, t);
            invariant_pseudo_tensor(gens, rank, ZEM_string(text.c_str()), nullptr, p);
            put(out, "times/tensor/" + name, [&] { return printed(g * t); });
            put(out, "times/pseudo/" + name, [&] { return printed(g * p); });
            pointer_to_objects<S> values(tensor_component_count(3, rank));
            for (int k = 0; k < values.count(); ++k) values[k] = S(ZEM_fraction(k % 7 - 3, 1 + k % 4));
            const ZEM_tensor<S> v(3, rank, values, perm_symmetry_type{ZEM_string(text.c_str())});
            put(out, "times/values/" + name, [&] { return printed(g * v); });
        }
}

prints corpus_prints()
{
    using C = ZEM_cyclotomic_number;
    using F = ZEM_fraction;
    prints out;
    solver_prints<ZEM_int>("int", out);
    solver_prints<F>("fraction", out);
    solver_prints<C>("cyclotomic", out);
    transformed<F>("fraction", {{1, F(-1, 2), 0}, {0, F(3, 2), 0}, {2, 0, F(1, 3)}}, 6, out);
    // The hexagonal basis in Cartesian coordinates, with a square root of 3.
    const C half_root3 = C(F(1, 2)) * (cyclotomic_testing::root_of_unity(1, 12) + cyclotomic_testing::root_of_unity(11, 12));
    transformed<C>("cyclotomic", {{1, C(F(-1, 2)), 0}, {0, half_root3, 0}, {0, 0, 1}}, 5, out);
    return out;
}

TEST(PrintedCorpus, PrintsAsRecorded)
{
    const prints now = corpus_prints();
    if (const char* file = std::getenv("ZARN_RECORD_CORPUS")) {
        std::ofstream table(file);
        for (const auto& [name, text] : now)
            table << "{\"" << name << "\", " << text.size() << ", 0x" << std::hex << fnv1a(text) << std::dec << "ull},\n";
        ASSERT_TRUE(table.good());
        return;
    }
    ASSERT_EQ(now.size(), std::size(corpus));
    for (const recorded& r : corpus) {
        const auto it = now.find(r.name);
        ASSERT_NE(it, now.end()) << r.name;
        // Only the hash is recorded, so a changed print is shown whole, to be read.
        const std::string& text = it->second;
        EXPECT_TRUE(text.size() == r.length && fnv1a(text) == r.hash)
            << r.name << " no longer prints as recorded (" << r.length << " characters); it now prints:\n" << text;
    }
}

}
