// The printed results of a corpus of requests, against the prints recorded from
// the straightforward solver and matrix times tensor: the faster code must print
// them byte for byte. Each print is recorded by its length and 64-bit FNV-1a hash.
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
    for (int i = 0; i < rank; ++i) {
        const std::string index = std::to_string(i);
        std::string part = index;
        if (kind == 3 && rank > 1) part = (i == 0 ? "(" : "") + index + (i == rank - 1 ? ")" : "");
        if ((kind == 1 || kind == 4) && rank > 1 && i < 2) part = i == 0 ? (kind == 1 ? "(0" : "[0") : (kind == 1 ? "1)" : "1]");
        if (kind == 2 && i + 1 < rank && i % 2 == 0) part = "(" + index;
        if (kind == 2 && i % 2 == 1) part = index + ")";
        text += (i == 0 ? "" : " ") + part;
    }
    return text;
}

template <class G>
std::string solved(const pointer_to_objects<ZEM_matrix<G>>& gens, int rank, const std::string& text, bool pseudo)
{
    using T = coefficient_of<G>;
    int n_free = -1;
    std::string out;
    if (pseudo) {
        ZEM_pseudo_tensor<ZEM_symbolic_number<T>> result;
        invariant_pseudo_tensor(gens, rank, ZEM_string(text.c_str()), &n_free, result);
        out = printed(result);
    } else {
        ZEM_tensor<ZEM_symbolic_number<T>> result;
        invariant_tensor(gens, rank, ZEM_string(text.c_str()), &n_free, result);
        out = printed(result);
    }
    return std::to_string(n_free) + "\n" + out;
}

// The named groups in every instance, ranks 1 to 6.
template <class G>
void named_groups(const char* scalar, prints& out)
{
    for (const auto& named : {std::pair{"cubic", &cubic}, std::pair{"hexagonal", &hexagonal}}) {
        const char* group = named.first;
        const auto* gens = named.second;
        for (int rank = 1; rank <= 6; ++rank)
            for (int kind = 0; kind < 5; ++kind) {
                if (rank == 1 && kind > 0) break;
                for (bool pseudo : {false, true})
                    put(out, std::string(pseudo ? "pseudo/" : "tensor/") + group + "/" + scalar + "/" + symmetry(kind, rank),
                        [&] { return solved<G>(generators_of<G>(*gens), rank, symmetry(kind, rank), pseudo); });
            }
    }
}

// The random groups of the solver tests, over each scalar.
template <class G>
void random_groups(const char* scalar, prints& out)
{
    using T = coefficient_of<G>;
    constexpr bool cyclotomic = std::is_same_v<G, ZEM_cyclotomic_number>;
    std::mt19937 rng(77);
    for (int trial = 0; trial < 24; ++trial) {
        const int dim = 2 + trial % 2;
        const int rank = 1 + int(rng() % 4);
        const std::string text = symmetry(int(rng() % 5), rank);
        const int order = cyclotomic ? 3 + int(rng() % 2) : 2;
        std::vector<std::vector<std::vector<T>>> gens;
        for (int k = 0, count = 1 + int(rng() % 2); k < count; ++k)
            gens.push_back(random_generator<T>(rng, std::size_t(dim), random_unit<T>(order)));
        for (bool pseudo : {false, true})
            put(out, "random/" + std::string(scalar) + "/" + std::to_string(trial) + (pseudo ? "/pseudo" : ""),
                [&] { return solved<G>(generators_of<G>(gens), rank, text, pseudo); });
    }
}

// A square root of 3 and the hexagonal basis written in Cartesian coordinates.
ZEM_matrix<ZEM_cyclotomic_number> hexagonal_to_cartesian()
{
    const ZEM_cyclotomic_number root3 =
        cyclotomic_testing::root_of_unity(1, 12) + cyclotomic_testing::root_of_unity(11, 12);
    const ZEM_cyclotomic_number half(ZEM_fraction(1, 2));
    return matrix_from<ZEM_cyclotomic_number>(
        std::vector<std::vector<ZEM_cyclotomic_number>>{{1, -half, 0}, {0, half * root3, 0}, {0, 0, 1}});
}

ZEM_matrix<ZEM_fraction> rational_transformation()
{
    return matrix_from<ZEM_fraction>(rows{{1, ZEM_fraction(-1, 2), 0}, {0, ZEM_fraction(3, 2), 0}, {2, 0, ZEM_fraction(1, 3)}});
}

// Matrix times the solver's results over its own scalar, and times plain tensors.
template <class S>
void transformed(const char* scalar, const ZEM_matrix<S>& g, int top_rank, prints& out)
{
    for (int rank = 1; rank <= top_rank; ++rank)
        for (int kind : {0, 1, 3}) {
            if (rank == 1 && kind > 0) break;
            const std::string text = symmetry(kind, rank);
            const std::string name = std::string(scalar) + "/" + text;
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
    prints out;
    named_groups<ZEM_int>("int", out);
    named_groups<ZEM_fraction>("fraction", out);
    named_groups<ZEM_cyclotomic_number>("cyclotomic", out);
    random_groups<ZEM_int>("int", out);
    random_groups<ZEM_fraction>("fraction", out);
    random_groups<ZEM_cyclotomic_number>("cyclotomic", out);
    transformed<ZEM_fraction>("fraction", rational_transformation(), 6, out);
    transformed<ZEM_cyclotomic_number>("cyclotomic", hexagonal_to_cartesian(), 5, out);
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
        EXPECT_EQ(it->second.size(), r.length) << r.name;
        EXPECT_EQ(fnv1a(it->second), r.hash) << r.name;
    }
}

}
