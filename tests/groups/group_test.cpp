#include "groups/group.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

using I = ZEM_matrix<ZEM_int>;
using F = ZEM_matrix<ZEM_fraction>;
using C = ZEM_matrix<ZEM_cyclotomic_number>;

int products = 0;

template <class M>
M counted_product(const M& m1, const M& m2)
{
    ++products;
    return ZEM_group<M>::default_mul_func(m1, m2);
}

template <class M>
ZEM_group<M> group_of(std::initializer_list<M> generators)
{
    ZEM_linkedlist<M> list;
    for (const M& g : generators) list.add_at_tail(g);
    products = 0;
    return ZEM_group<M>(list, nullptr, counted_product<M>);
}

// A closure of N elements from n generators forms (N + 1) * n products, after
// the one that makes the identity.
template <class M>
void expect_elements(const ZEM_group<M>& group, int elements)
{
    EXPECT_EQ(products, 1 + (elements + 1) * group.n_generators()) << group;
}

// The integers mod `modulus` as 1 x 1 matrices under addition.
int modulus = 1;
int value_of(const I& a) { return a.elements()[0].value(); }
I added(const I& a, const I& b) { return I(1, 1, ZEM_int((value_of(a) + value_of(b)) % modulus)); }
I negated(const I& a) { return I(1, 1, ZEM_int((modulus - value_of(a)) % modulus)); }

const I rotation = matrix_of<ZEM_int>({{0, -1}, {1, 0}});
const I reflection = matrix_of<ZEM_int>({{1, 0}, {0, -1}});

TEST(Groups, ClosuresOfTheWorkedExamples)
{
    expect_elements(group_of<I>({rotation, reflection}), 8);
    expect_elements(group_of<C>({matrix_of<ZEM_cyclotomic_number>({{cyclotomic_testing::root_of_unity(1, 3)}})}), 3);
    const F cyclic = matrix_of<ZEM_fraction>({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    const F quarter = matrix_of<ZEM_fraction>({{0, -1, 0}, {1, 0, 0}, {0, 0, 1}});
    expect_elements(group_of<F>({quarter, cyclic, F(3, 3, ZEM_fraction(-1))}), 48);
}

TEST(Groups, KeepTheirGeneratorsInOrderAndPrintThem)
{
    auto* group = new ZEM_group<I>(group_of<I>({rotation, reflection}));
    const ZEM_group<I> copy(*group);
    delete group;
    EXPECT_EQ(printed(copy),
              "group(\ngenerator 0:\nmatrix<int>(\n0   -1\n1   0\n)\n\ngenerator 1:\nmatrix<int>(\n1   0\n0   -1\n)\n\n)\n");
}

TEST(Groups, FailuresOfConstruction)
{
    EXPECT_EQ(failure_of([] { group_of<I>({}); }), run_time("[ZEM_group] no generators"));
    EXPECT_EQ(failure_of([] { group_of<I>({rotation, I(3, 3, ZEM_int(1))}); }),
              run_time("[operator * (m1, m2)] wrong size"));
    EXPECT_EQ(failure_of([] { group_of<F>({matrix_of<ZEM_fraction>({{1, 2}, {2, 4}})}); }),
              run_time("[ZEM_fraction::simple_fraction] denominator == 0"));
    EXPECT_EQ(failure_of([] { group_of<I>({matrix_of<ZEM_int>({{2, 0}, {0, 1}})}); }),
              run_time("[inverse] integer matrix whose determinant is not 1 or -1"));
    const std::string bound = run_time("[ZEM_group] more than 100000 elements");
    EXPECT_EQ(failure_of([] { group_of<I>({matrix_of<ZEM_int>({{1, 1}, {0, 1}})}); }), bound);
    // Every rational cyclotomic number has the hash 0: the bound is still reached at once.
    EXPECT_EQ(failure_of([] { group_of<C>({matrix_of<ZEM_cyclotomic_number>({{1, 1}, {0, 1}})}); }), bound);
    EXPECT_EQ(failure_of([] { group_of<F>({F(2, 2, ZEM_fraction(1)), F(2, 2, ZEM_fraction(-1)), F(2, 2, ZEM_fraction(0))}); }),
              run_time("[ZEM_group] generator 2 is not invertible"));
    EXPECT_EQ(failure_of([] { group_of<F>({F(2, 2, ZEM_fraction(1)), F(2, 2, ZEM_fraction(0))}); }),
              run_time("[ZEM_group] generator 1 is not invertible"));
    // The bound itself: the integers mod 100000 close, mod 100001 they do not.
    for (const int order : {group_element_bound, group_element_bound + 1}) {
        modulus = order;
        ZEM_linkedlist<I> one;
        one.add_at_tail(matrix_of<ZEM_int>({{1}}));
        const std::string expected = order > group_element_bound ? bound : "(no failure)";
        EXPECT_EQ(failure_of([&] { ZEM_group<I>(one, negated, added); }), expected);
    }
}

// g * g = I, while the reduction behind the inverse of g holds 2^31: the group
// {I, g}, with -2^31 in either corner.
template <class T>
void expect_involution_group(const T& corner)
{
    for (const bool upper : {true, false}) {
        const ZEM_matrix<T> g = upper ? matrix_of<T>({{1, corner}, {0, -1}}) : matrix_of<T>({{1, 0}, {corner, -1}});
        EXPECT_EQ(ZEM_group<ZEM_matrix<T>>::default_inverse_func(g), g);
        expect_elements(group_of<ZEM_matrix<T>>({g}), 2);
    }
}

TEST(Groups, OfAnInvolutionWhoseInverseTakesWideSteps)
{
    expect_involution_group<ZEM_int>(INT_MIN);
    expect_involution_group<ZEM_fraction>(INT_MIN);
    expect_involution_group<ZEM_cyclotomic_number>(INT_MIN);
    expect_involution_group(ZEM_cyclotomic_number(INT_MIN) * cyclotomic_testing::root_of_unity(1, 4));
}

// Row r holds its 1 in column p[r].
I permutation_matrix(const std::vector<int>& p)
{
    const int n = static_cast<int>(p.size());
    pointer_to_objects<ZEM_int> entries(n * n);
    for (int r = 0; r < n; ++r) entries[r * n + p[static_cast<std::size_t>(r)]] = 1;
    return I(n, n, entries);
}

// Lookups in the closure cost one hash and a short chain when the elements spread
// over distinct hash values; the hash of matrices gives the 8! elements of S8 only 85.
TEST(Groups, ClosureLookupsSpreadOverDistinctHashes)
{
    std::vector<int> p = {0, 1, 2, 3, 4, 5, 6, 7};
    std::set<std::size_t> hashes;
    do {
        hashes.insert(closure_hash(permutation_matrix(p)));
    } while (std::next_permutation(p.begin(), p.end()));
    EXPECT_EQ(hashes.size(), 40320u);
    std::set<std::size_t> shears;
    for (int k = 0; k < 1000; ++k) shears.insert(closure_hash(matrix_of<ZEM_cyclotomic_number>({{1, k}, {0, 1}})));
    EXPECT_EQ(shears.size(), 1000u);

    expect_elements(group_of<I>({permutation_matrix({1, 0, 2, 3, 4, 5}), permutation_matrix({1, 2, 3, 4, 5, 0})}), 720);
}

}
