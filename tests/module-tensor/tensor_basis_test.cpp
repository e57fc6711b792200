#include "module-tensor/tensor_basis.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/failure.h"
#include "support/index_tuple.h"

namespace {

std::vector<int> values_of(const pointer_to_objects<int>& t) { return std::vector<int>(t.begin(), t.end()); }

std::vector<int> statuses(const tensor_basis& b)
{
    std::vector<int> out;
    for (int k = 0; k < b.entry_count(); ++k) out.push_back(b.get_at(k).status);
    return out;
}

TEST(TensorIndices, NumbersAndTuplesConvertBothWays)
{
    EXPECT_EQ(tensor_indices_to_index(3, 2, tuple_of({1, 2})), 5);
    EXPECT_EQ(tensor_indices_to_index(3, 0, tuple_of({})), 0);
    // Only the first rank indices count.
    EXPECT_EQ(tensor_indices_to_index(3, 2, tuple_of({1, 2, 7})), 5);
    for (int dim : {1, 2, 3, 7})
        for (int rank : {0, 1, 2, 3}) {
            int count = tensor_component_count(dim, rank);
            pointer_to_objects<int> t(5);  // the wrong length is replaced
            for (int f = 0; f < count; ++f) {
                tensor_index_to_indices(dim, rank, f, t);
                ASSERT_EQ(t.count(), rank);
                // Independent: the digits of f in base dim, most significant first.
                int rest = f;
                for (int k = rank - 1; k >= 0; --k, rest /= dim) EXPECT_EQ(t[k], rest % dim);
                EXPECT_EQ(tensor_indices_to_index(dim, rank, t), f);
            }
        }
    const std::string out_of_bounds = run_time("tensor index out of bounds");
    EXPECT_EQ(failure_of([] { tensor_indices_to_index(3, 2, tuple_of({3, 0})); }), out_of_bounds);
    EXPECT_EQ(failure_of([] { tensor_indices_to_index(3, 2, tuple_of({0, -1})); }), out_of_bounds);
    EXPECT_EQ(failure_of([] { tensor_indices_to_index(3, 2, tuple_of({1})); }),
              run_time("[tensor_indices_to_index] fewer indices than the rank"));
    EXPECT_EQ(failure_of([] { tensor_indices_to_index(2, 40, tuple_of(std::vector<int>(40, 1))); }),
              run_time("[tensor_indices_to_index] component number beyond 32 bits"));
}

TEST(TensorIndices, ComponentCountsStayWithin32Bits)
{
    EXPECT_EQ(tensor_component_count(3, 0), 1);
    EXPECT_EQ(tensor_component_count(0, 0), 1);
    EXPECT_EQ(tensor_component_count(0, 5), 0);
    EXPECT_EQ(tensor_component_count(0, 1000000), 0);
    EXPECT_EQ(tensor_component_count(2, 30), 1 << 30);
    EXPECT_EQ(tensor_component_count(1, 1000000), 1);
    EXPECT_EQ(tensor_component_count(46340, 2), 46340 * 46340);
    const std::string too_many = run_time("[tensor_basis] too many components for 32 bits");
    EXPECT_EQ(failure_of([] { tensor_component_count(2, 31); }), too_many);
    EXPECT_EQ(failure_of([] { tensor_component_count(46341, 2); }), too_many);
    EXPECT_EQ(failure_of([] { tensor_component_count(3, -1); }), run_time("[tensor_basis] negative rank"));
    EXPECT_EQ(failure_of([] { tensor_component_count(-3, 2); }), run_time("[tensor_basis] negative dimension"));
}

TEST(TensorIndices, ComponentNamesUseLettersUpToDimensionSix)
{
    struct {
        int dim, rank, component;
        const char* name;
    } cases[] = {
        {3, 2, 0, "xx"},   {3, 2, 5, "yz"},     {3, 3, 19, "zxy"},       {2, 3, 6, "yyx"},
        {4, 2, 14, "uz"},  {6, 2, 35, "ww"},    {7, 1, 6, "x6"},         {7, 2, 10, "x1x3"},
        {10, 3, 37, "x0x3x7"}, {12, 2, 143, "x11x11"}, {12, 2, 23, "x1x11"}, {3, 0, 0, ""},
        {3, 2, 1, "xy"},   {3, 2, 3, "yx"},     {6, 3, 3 * 36 + 4 * 6 + 5, "uvw"},
    };
    for (const auto& c : cases) {
        char* name = tensor_component_name(c.dim, c.rank, c.component);
        EXPECT_STREQ(name, c.name);
        char* again = tensor_component_name(c.dim, c.rank, c.component);
        EXPECT_NE(name, again);
        delete[] name;
        EXPECT_STREQ(again, c.name);
        delete[] again;
    }
}

TEST(TensorBasis, WorkedBasesOfRankTwoAndThree)
{
    tensor_basis sym(3, 2, perm_symmetry_type{ZEM_string("(0 1)")});
    EXPECT_EQ(sym.n_basis, 6);
    EXPECT_EQ(statuses(sym), (std::vector<int>{1, 1, 1, 2, 1, 1, 2, 2, 1}));
    EXPECT_EQ(values_of(sym.get_at(3).representative), (std::vector<int>{0, 1}));
    EXPECT_EQ(values_of(sym.get_at(tuple_of({2, 0})).representative), (std::vector<int>{0, 2}));
    EXPECT_EQ(values_of(sym.get_at(7).representative), (std::vector<int>{1, 2}));
    EXPECT_EQ(values_of(sym.get_at(4).representative), (std::vector<int>{1, 1}));
    pointer_to_objects<int> position(2), representative, list(9);
    sym.mk_basis_tabs(position, representative, list);
    EXPECT_EQ(values_of(list), (std::vector<int>{0, 1, 2, 4, 5, 8}));
    EXPECT_EQ(values_of(position), (std::vector<int>{0, 1, 2, -1, 3, 4, -1, -1, 5}));
    EXPECT_EQ(values_of(representative), (std::vector<int>{0, 1, 2, 1, 4, 5, 2, 5, 8}));

    tensor_basis anti(3, 2, perm_symmetry_type{ZEM_string("[0 1]")});
    EXPECT_EQ(anti.n_basis, 3);
    EXPECT_EQ(statuses(anti), (std::vector<int>{4, 1, 1, 3, 4, 1, 3, 3, 4}));
    anti.mk_basis_tabs(position, representative, list);
    EXPECT_EQ(values_of(position), (std::vector<int>{-1, 0, 1, -1, -1, 2, -1, -1, -1}));
    EXPECT_EQ(values_of(representative), (std::vector<int>{0, 1, 2, 1, 4, 5, 2, 5, 8}));
    EXPECT_EQ(values_of(list), (std::vector<int>{1, 2, 5}));

    tensor_basis none(2, 2, perm_symmetry_type{ZEM_string("0 1")});
    EXPECT_EQ(none.n_basis, 4);
    EXPECT_EQ(statuses(none), (std::vector<int>{1, 1, 1, 1}));

    tensor_basis all_zero(2, 3, perm_symmetry_type{ZEM_string("[0 1 2]")});
    EXPECT_EQ(all_zero.n_basis, 0);
    EXPECT_EQ(statuses(all_zero), std::vector<int>(8, 4));
    all_zero.mk_basis_tabs(position, representative, list);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(values_of(representative), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));

    // Fewer symmetry indices than the rank leave the last positions fixed.
    tensor_basis partial(2, 3, perm_symmetry_type{ZEM_string("(0 1)")});
    EXPECT_EQ(partial.n_basis, 6);
    tensor_basis empty(0, 2, perm_symmetry_type{ZEM_string("(0 1)")});
    EXPECT_EQ(empty.entry_count(), 0);
    EXPECT_EQ(empty.n_basis, 0);
}

TEST(TensorBasis, GroupsExchangingUnlikePartsForceEveryComponentToZero)
{
    for (const char* symmetry : {"((0 1) [2 3])", "([0 1] (2 3))", "[[0 1] (2 3)]"}) {
        tensor_basis b(3, 4, perm_symmetry_type{ZEM_string(symmetry)});
        EXPECT_EQ(b.n_basis, 0) << symmetry;
        EXPECT_EQ(statuses(b), std::vector<int>(81, 4)) << symmetry;
    }
}

TEST(TensorBasis, RefusesFaultsBeforeBuildingAnything)
{
    struct {
        int dim, rank;
        const char* symmetry;
        std::string message;
    } cases[] = {
        {3, 2, "0 0", "each index should occur exactly once"},
        {3, 2, "0,1", "illegal character in permutation symmetry string"},
        {3, 3, "(0 (1 2))", "[permswap] |swap1| not eq. to |swap2|"},
        {3, 1, "(0 1)", "[tensor_basis] more indices in the symmetry than the rank"},
        {3, -1, "0", "[tensor_basis] negative rank"},
        {-2, 2, "0 1", "[tensor_basis] negative dimension"},
        {2, 40, "0", "[tensor_basis] too many components for 32 bits"},
        {65536, 2, "(0 1)", "[tensor_basis] too many components for 32 bits"},
    };
    for (const auto& c : cases) {
        perm_symmetry_type s{ZEM_string(c.symmetry)};
        EXPECT_EQ(failure_of([&] { tensor_basis b(c.dim, c.rank, s); }), run_time(c.message)) << c.symmetry;
    }
    // Unequal parts pass when nothing is enumerated.
    tensor_basis nothing(0, 3, perm_symmetry_type{ZEM_string("(0 (1 2))")});
    EXPECT_EQ(nothing.n_basis, 0);
}

// ---- the basis against orbits of the signed permutation group of random strings

struct shape {
    char kind = 0;  // 0 a single index, '(' or '['
    std::vector<shape> parts;
};

shape random_shape(int size, std::mt19937& rng, bool alike)
{
    shape s;
    auto chance = [&](int n) { return rng() % static_cast<unsigned>(n) == 0; };
    if (size == 1 && !chance(6)) return s;
    s.kind = chance(2) ? '(' : '[';
    std::vector<int> counts;
    for (int p = 2; p <= size; ++p)
        if (size % p == 0) counts.push_back(p);
    if (counts.empty() || chance(8)) {
        s.parts.push_back(random_shape(size, rng, alike));
        return s;
    }
    int n = counts[rng() % counts.size()];
    shape first = random_shape(size / n, rng, alike);
    for (int p = 0; p < n; ++p) s.parts.push_back(alike || p == 0 ? first : random_shape(size / n, rng, alike));
    return s;
}

// Writes the shape with the next numbers of `order` as its indices, and records
// the exchanges that its groups make: position lists and whether the sign flips.
struct exchange {
    std::vector<int> first, second;
    bool flips;
};

std::vector<int> write(const shape& s, const std::vector<int>& order, std::size_t& next, std::string& text,
                       std::vector<exchange>& exchanges)
{
    if (!s.kind) {
        text += std::to_string(order[next]);
        return {order[next++]};
    }
    text += s.kind;
    std::vector<std::vector<int>> parts;
    std::vector<int> all;
    for (std::size_t p = 0; p < s.parts.size(); ++p) {
        if (p) text += ' ';
        parts.push_back(write(s.parts[p], order, next, text, exchanges));
        all.insert(all.end(), parts.back().begin(), parts.back().end());
    }
    text += s.kind == '(' ? ')' : ']';
    for (std::size_t i = 0; i < parts.size(); ++i)
        for (std::size_t j = i + 1; j < parts.size(); ++j) exchanges.push_back({parts[i], parts[j], s.kind == '['});
    return all;
}

// A signed permutation g acts on tuples by (g t)[k] = t[g[k]].
using signed_permutation = std::pair<std::vector<int>, int>;

std::set<signed_permutation> group_of(int n, const std::vector<exchange>& exchanges)
{
    std::vector<signed_permutation> generators;
    for (const exchange& e : exchanges) {
        std::vector<int> g(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) g[static_cast<std::size_t>(k)] = k;
        for (std::size_t k = 0; k < e.first.size(); ++k) std::swap(g[e.first[k]], g[e.second[k]]);
        generators.push_back({g, e.flips ? -1 : 1});
    }
    std::vector<int> identity(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) identity[static_cast<std::size_t>(k)] = k;
    std::set<signed_permutation> group{{identity, 1}};
    std::vector<signed_permutation> frontier{{identity, 1}};
    while (!frontier.empty()) {
        signed_permutation h = frontier.back();
        frontier.pop_back();
        for (const auto& g : generators) {
            signed_permutation product{std::vector<int>(static_cast<std::size_t>(n)), h.second * g.second};
            for (int k = 0; k < n; ++k) product.first[static_cast<std::size_t>(k)] = h.first[g.first[k]];
            if (group.insert(product).second) frontier.push_back(product);
        }
    }
    return group;
}

void collect(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto& seen = *static_cast<std::vector<std::pair<std::vector<int>, int>>*>(data);
    seen.push_back({std::vector<int>(image.begin(), image.end()), sign == permsym_plus ? 1 : -1});
}

TEST(TensorBasis, AgreesWithOrbitsOfTheSignedPermutationGroupOnRandomStrings)
{
    std::mt19937 rng(20240611);
    int with_zero_classes = 0, independent_parts = 0;
    for (int round = 0; round < 400; ++round) {
        int n = 1 + static_cast<int>(rng() % 6);
        bool alike = rng() % 3 != 0;
        std::vector<shape> top;
        for (int left = n; left > 0;) {
            int size = 1 + static_cast<int>(rng() % static_cast<unsigned>(left));
            top.push_back(random_shape(size, rng, alike));
            left -= size;
        }
        std::vector<int> order(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) order[static_cast<std::size_t>(k)] = k;
        std::shuffle(order.begin(), order.end(), rng);
        std::string text;
        std::vector<exchange> exchanges;
        std::size_t next = 0;
        for (std::size_t e = 0; e < top.size(); ++e) {
            if (e) text += ' ';
            write(top[e], order, next, text, exchanges);
        }
        int rank = n + static_cast<int>(rng() % 2);
        int dim = rank <= 5 ? 2 + static_cast<int>(rng() % 2) : 2;
        SCOPED_TRACE(text + " dim " + std::to_string(dim) + " rank " + std::to_string(rank));

        perm_symmetry_type symmetry{ZEM_string(text.c_str())};
        ASSERT_EQ(symmetry.error, nullptr);
        tensor_basis basis(dim, rank, symmetry);
        std::set<signed_permutation> group = group_of(rank, exchanges);
        std::map<std::vector<int>, int> sign_in_group;

        int count = tensor_component_count(dim, rank);
        int n_basis = 0;
        bool any_zero = false;
        for (int f = 0; f < count; ++f) {
            pointer_to_objects<int> t;
            tensor_index_to_indices(dim, rank, f, t);
            // The orbit of t with the signs by which the group reaches each image.
            std::map<std::vector<int>, std::set<int>> orbit;
            for (const auto& [g, sign] : group) {
                std::vector<int> image(static_cast<std::size_t>(rank));
                for (int k = 0; k < rank; ++k) image[static_cast<std::size_t>(k)] = t[g[k]];
                orbit[image].insert(sign);
            }
            const std::vector<int>& smallest = orbit.begin()->first;  // lexicographic = by component number
            bool zero = orbit[values_of(t)].size() == 2;
            any_zero = any_zero || zero;
            const tensor_basis_entry& entry = basis.get_at(f);
            ASSERT_EQ(values_of(entry.representative), smallest) << "component " << f;
            if (zero) {
                ASSERT_EQ(entry.status, 4) << "component " << f;
                continue;
            }
            // Signs relative to the representative.
            std::map<std::vector<int>, int> from_smallest;
            pointer_to_objects<int> r = tuple_of(smallest);
            for (const auto& [g, sign] : group) {
                std::vector<int> image(static_cast<std::size_t>(rank));
                for (int k = 0; k < rank; ++k) image[static_cast<std::size_t>(k)] = r[g[k]];
                from_smallest[image] = sign;
            }
            int expected = values_of(t) == smallest ? 1 : from_smallest[values_of(t)] == 1 ? 2 : 3;
            ASSERT_EQ(entry.status, expected) << "component " << f;
            n_basis += expected == 1;

            // The distinct images of t, with their signs and t first, are its orbit.
            std::vector<std::pair<std::vector<int>, int>> seen;
            symmetry.for_all_symmetrical_with_do(collect, t, &seen, 0);
            ASSERT_EQ(seen.front(), std::make_pair(values_of(t), 1));
            std::map<std::vector<int>, int> reported(seen.begin(), seen.end());
            ASSERT_EQ(reported.size(), seen.size());
            ASSERT_EQ(reported.size(), orbit.size());
            int plus = 0;
            for (const auto& [image, signs] : orbit) {
                ASSERT_EQ(reported.count(image), 1u);
                ASSERT_EQ(std::set<int>{reported[image]}, signs);
                plus += *signs.begin() == 1;
            }
            ASSERT_EQ(symmetry.n_symmetrical_with(t), plus);
        }
        EXPECT_EQ(basis.n_basis, n_basis);
        with_zero_classes += any_zero;
        independent_parts += !alike;
    }
    // The random strings did reach the interesting cases.
    EXPECT_GT(with_zero_classes, 50);
    EXPECT_GT(independent_parts, 50);
}

}
