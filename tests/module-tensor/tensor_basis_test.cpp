#include "module-tensor/tensor_basis.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "module-object/allocation.h"
#include "support/failure.h"
#include "support/index_tuple.h"

namespace {

std::vector<int> values_of(const pointer_to_objects<int>& t) { return std::vector<int>(t.begin(), t.end()); }

TEST(TensorIndices, ComponentNamesUseLettersUpToDimensionSix)
{
    struct {
        int dim, rank, component;
        const char* name;
    } cases[] = {
        {3, 2, 5, "yz"}, {3, 3, 19, "zxy"}, {2, 3, 6, "yyx"}, {6, 2, 35, "ww"}, {7, 1, 6, "x6"},
        {10, 3, 37, "x0x3x7"}, {12, 2, 23, "x1x11"}, {3, 0, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(std::unique_ptr<char[]>(tensor_component_name(c.dim, c.rank, c.component)).get(), c.name);
}

TEST(TensorBasis, IndexArithmeticAndConstructionRefuseFaultsWithTheirMessage)
{
    auto basis = [](int dim, int rank, const char* symmetry) {
        return [=] { tensor_basis(dim, rank, perm_symmetry_type{ZEM_string(symmetry)}); };
    };
    const std::string too_many = "[tensor_basis] too many components for 32 bits";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { tensor_indices_to_index(2, 40, tuple_of(std::vector<int>(40, 1))); },
         "[tensor_indices_to_index] component number beyond 32 bits"},
        {[] { pointer_to_objects<int> t; tensor_index_to_indices(0, 2, 0, t); },
         "[tensor_index_to_indices] dimension below 1"},
        {basis(3, 3, "(0 (1 2))"), "[permswap] |swap1| not eq. to |swap2|"},
        {basis(3, 1, "(0 1)"), "[tensor_basis] more indices in the symmetry than the rank"},
        {basis(3, -1, "0"), "[tensor_basis] negative rank"},
        {basis(-2, 2, "0 1"), "[tensor_basis] negative dimension"},
        {basis(2, 31, "0"), too_many},
        {basis(46341, 2, "(0 1)"), too_many},
        {[] { delete[] tensor_component_name(3, 2, 9); }, "[tensor_component_name] component out of range"},
    };
    for (const auto& [action, message] : cases) EXPECT_EQ(failure_of(action), run_time(message));
    // Just within bounds; and unequal parts pass when nothing is enumerated.
    EXPECT_EQ(tensor_component_count(2, 30), 1 << 30);
    EXPECT_EQ(tensor_component_count(46340, 2), 46340 * 46340);
    EXPECT_EQ(tensor_basis(0, 3, perm_symmetry_type{ZEM_string("(0 (1 2))")}).n_basis, 0);
}

// The walk in ascending component number settles each class at its smallest member.
TEST(TensorBasis, StatusesAndTablesOfSmallBases)
{
    struct {
        int dim, rank;
        const char* symmetry;
        std::string statuses;
        std::vector<int> positions, basis;
    } cases[] = {
        {3, 2, "(0 1)", "111211221", {0, 1, 2, -1, 3, 4, -1, -1, 5}, {0, 1, 2, 4, 5, 8}},
        {3, 2, "[0 1]", "411341334", {-1, 0, 1, -1, -1, 2, -1, -1, -1}, {1, 2, 5}},
        {2, 2, "0 1", "1111", {0, 1, 2, 3}, {0, 1, 2, 3}},
        {2, 3, "[0 1 2]", "44444444", std::vector<int>(8, -1), {}},
        // A symmetry of fewer positions than the rank leaves the last one fixed.
        {2, 3, "[0 1]", "44113344", {-1, -1, 0, 1, -1, -1, -1, -1}, {2, 3}},
        // Dimension 1 allows any rank: one component, walked without a level per position.
        {1, 1000000, "0", "1", {0}, {0}},
    };
    for (const auto& c : cases) {
        const tensor_basis basis(c.dim, c.rank, perm_symmetry_type{ZEM_string(c.symmetry)});
        std::string statuses;
        for (int k = 0; k < basis.entry_count(); ++k) statuses += std::to_string(basis.get_at(k).status);
        pointer_to_objects<int> position, representative, list;
        basis.mk_basis_tabs(position, representative, list);
        EXPECT_EQ(statuses, c.statuses) << c.symmetry;
        EXPECT_EQ(values_of(position), c.positions) << c.symmetry;
        EXPECT_EQ(values_of(list), c.basis) << c.symmetry;
        EXPECT_EQ(basis.n_basis, static_cast<int>(c.basis.size())) << c.symmetry;
    }
}

// ---- the basis against orbits of the signed permutation group of random strings

// An exchange of two parts of a group: their positions, pairwise, and whether the sign flips.
struct exchange {
    std::vector<int> first, second;
    bool flips;
};

// Writes a random element of `size` indices, taking them from `order` at `next`,
// and records the exchanges of its groups. The parts of a group hold equally
// many indices; `alike` parts also have one shape, drawn from a replayed state.
std::vector<int> write_element(int size, std::mt19937& rng, bool alike, const std::vector<int>& order,
                               std::size_t& next, std::string& text, std::vector<exchange>& exchanges)
{
    auto chance = [&](unsigned n) { return rng() % n == 0; };
    if (size == 1 && !chance(6)) {
        text += std::to_string(order[next]);
        return {order[next++]};
    }
    const bool brackets = chance(2);
    std::vector<int> counts;
    for (int p = 2; p <= size; ++p)
        if (size % p == 0) counts.push_back(p);
    const int n = counts.empty() || chance(8) ? 1 : counts[rng() % counts.size()];
    text += brackets ? '[' : '(';
    const std::mt19937 shape = rng;
    std::vector<std::vector<int>> parts;
    std::vector<int> all;
    for (int p = 0; p < n; ++p) {
        if (p) text += ' ';
        if (alike) rng = shape;
        parts.push_back(write_element(size / n, rng, alike, order, next, text, exchanges));
        all.insert(all.end(), parts.back().begin(), parts.back().end());
    }
    text += brackets ? ']' : ')';
    for (std::size_t i = 0; i < parts.size(); ++i)
        for (std::size_t j = i + 1; j < parts.size(); ++j) exchanges.push_back({parts[i], parts[j], brackets});
    return all;
}

// The images of t under the signed permutations that the exchanges generate,
// each with the signs by which they are reached.
std::map<std::vector<int>, std::set<int>> orbit_of(const std::vector<int>& t, const std::vector<exchange>& exchanges)
{
    std::map<std::vector<int>, std::set<int>> orbit{{t, {1}}};
    std::vector<std::pair<std::vector<int>, int>> open{{t, 1}};
    while (!open.empty()) {
        const auto [u, sign] = open.back();
        open.pop_back();
        for (const exchange& e : exchanges) {
            std::vector<int> v = u;
            for (std::size_t k = 0; k < e.first.size(); ++k) std::swap(v[std::size_t(e.first[k])], v[std::size_t(e.second[k])]);
            if (orbit[v].insert(e.flips ? -sign : sign).second) open.push_back({v, e.flips ? -sign : sign});
        }
    }
    return orbit;
}

void collect(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto& seen = *static_cast<std::vector<std::pair<std::vector<int>, int>>*>(data);
    seen.push_back({values_of(image), sign == permsym_plus ? 1 : -1});
}

TEST(TensorBasis, AgreesWithOrbitsOfTheSignedPermutationGroupOnRandomStrings)
{
    std::mt19937 rng(20240611);
    int zero_components = 0;
    for (int round = 0; round < 400; ++round) {
        const int n = 1 + int(rng() % 6);
        const bool alike = rng() % 3 != 0;
        std::vector<int> order(static_cast<std::size_t>(n));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), rng);
        std::string text;
        std::vector<exchange> exchanges;
        std::size_t next = 0;
        for (int left = n; left > 0;) {
            const int size = 1 + int(rng() % unsigned(left));
            if (!text.empty()) text += ' ';
            write_element(size, rng, alike, order, next, text, exchanges);
            left -= size;
        }
        const int rank = n + int(rng() % 2);
        const int dim = rank <= 5 ? 2 + int(rng() % 2) : 2;
        SCOPED_TRACE(text + " dim " + std::to_string(dim) + " rank " + std::to_string(rank));

        const perm_symmetry_type parsed{ZEM_string(text.c_str())};
        perm_symmetry_type symmetry{ZEM_string("0")};
        symmetry = parsed;  // an assigned symmetry must enumerate as its original does
        ASSERT_EQ(symmetry.error, nullptr);
        const tensor_basis basis(dim, rank, symmetry);
        int n_basis = 0;
        for (int f = 0; f < tensor_component_count(dim, rank); ++f) {
            pointer_to_objects<int> t;
            tensor_index_to_indices(dim, rank, f, t);
            // The smallest image (lexicographic = by component number) represents the class.
            std::map<std::vector<int>, std::set<int>> orbit = orbit_of(values_of(t), exchanges);
            const std::vector<int>& smallest = orbit.begin()->first;
            const tensor_basis_entry& entry = basis.get_at(f);
            ASSERT_EQ(values_of(entry.representative), smallest) << "component " << f;
            const bool zero = orbit[values_of(t)].size() == 2;
            const int expected = zero ? 4 : values_of(t) == smallest ? 1 : *orbit[smallest].begin() == 1 ? 2 : 3;
            ASSERT_EQ(entry.status, expected) << "component " << f;
            n_basis += expected == 1;
            zero_components += zero;
            if (zero) continue;

            // The distinct images reported, t first with plus, are the orbit with its signs.
            std::vector<std::pair<std::vector<int>, int>> seen;
            symmetry.for_all_symmetrical_with_do(collect, t, &seen, 0);
            ASSERT_EQ(seen.front(), std::make_pair(values_of(t), 1));
            std::map<std::vector<int>, std::set<int>> reported;
            for (const auto& [u, sign] : seen) reported[u].insert(sign);
            ASSERT_EQ(seen.size(), orbit.size());
            ASSERT_EQ(reported, orbit);
            ASSERT_EQ(symmetry.n_symmetrical_with(t),
                      std::count_if(seen.begin(), seen.end(), [](const auto& s) { return s.second == 1; }));
        }
        EXPECT_EQ(basis.n_basis, n_basis);
    }
    EXPECT_GT(zero_components, 2000);  // the random strings did reach them
}

// Requests beyond the machine's memory fail as every allocation does; on a machine
// with memory enough for one of them it would be built, so there is nothing to show.
TEST(TensorBasis, RequestsTooLargeForTheMachineFailAsOutOfMemory)
{
    const std::size_t least = (std::size_t(1) << 30) * sizeof(tensor_basis_entry);
    if (physical_memory_bytes() >= least) GTEST_SKIP() << "this machine could hold a basis of 2^30 components";
    const std::string no_memory = run_time("out of memory");
    EXPECT_EQ(failure_of([] { tensor_basis(2, 30, perm_symmetry_type{ZEM_string("0")}); }), no_memory);
    EXPECT_EQ(failure_of([] { tensor_basis(INT_MAX, 1, perm_symmetry_type{ZEM_string("0")}); }), no_memory);
}

}
