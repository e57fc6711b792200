#include "groups/group.h"

#include <climits>
#include <gtest/gtest.h>

#include "module-matrix/matrix.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

using I = ZEM_matrix<ZEM_int>;
using F = ZEM_matrix<ZEM_fraction>;
using C = ZEM_matrix<ZEM_cyclotomic_number>;

int products = 0;

// The default product, counted: a closure with N elements and n generators
// forms (N + 1) * n products, after the one that makes the identity.
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

const I rotation = matrix_of<ZEM_int>({{0, -1}, {1, 0}});
const I reflection = matrix_of<ZEM_int>({{1, 0}, {0, -1}});

TEST(Groups, ClosuresOfTheWorkedExamples)
{
    struct case_ {
        int elements;
        int n_generators;
    };
    auto expect_closure = [](auto group, case_ c) {
        EXPECT_EQ(group.n_generators(), c.n_generators);
        EXPECT_EQ(products, 1 + (c.elements + 1) * c.n_generators);
    };
    expect_closure(group_of<I>({I(2, 2, ZEM_int(1))}), {1, 1});
    expect_closure(group_of<I>({rotation}), {4, 1});
    expect_closure(group_of<I>({rotation, reflection}), {8, 2});
    expect_closure(group_of<I>({reflection, rotation}), {8, 2});
    expect_closure(group_of<I>({I(3, 3, ZEM_int(-1))}), {2, 1});
    expect_closure(group_of<I>({reflection, reflection}), {2, 2});
    const ZEM_cyclotomic_number omega = cyclotomic_testing::root_of_unity(1, 3);
    expect_closure(group_of<C>({matrix_of<ZEM_cyclotomic_number>({{omega}})}), {3, 1});
    const F cyclic = matrix_of<ZEM_fraction>({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    const F quarter = matrix_of<ZEM_fraction>({{0, -1, 0}, {1, 0, 0}, {0, 0, 1}});
    expect_closure(group_of<F>({quarter, cyclic, F(3, 3, ZEM_fraction(-1))}), {48, 3});
    expect_closure(group_of<F>({quarter, cyclic}), {24, 2});
}

TEST(Groups, KeepTheirGeneratorsInOrderAndShareTheirBody)
{
    auto* group = new ZEM_group<I>(group_of<I>({rotation, reflection, rotation}));
    EXPECT_EQ(group->generator(0), rotation);
    EXPECT_EQ(group->generator(1), reflection);
    EXPECT_EQ(group->generator(2).elements(), rotation.elements());
    ZEM_group<I> copy(*group);
    auto* heap = static_cast<ZEM_group<I>*>(group->copy_object());
    EXPECT_EQ(&heap->generator(1), &group->generator(1));
    delete group;
    delete heap;
    EXPECT_EQ(copy.n_generators(), 3);
    EXPECT_EQ(copy.generator(1), reflection);
}

TEST(Groups, PrintTheirGeneratorsAndNameTheirType)
{
    EXPECT_EQ(printed(group_of<I>({rotation, reflection})),
              "group(\ngenerator 0:\nmatrix<int>(\n0   -1\n1   0\n)\n\ngenerator 1:\nmatrix<int>(\n1   0\n0   -1\n)\n\n)\n");
    EXPECT_EQ(group_of<I>({rotation}).type().text(), "group<matrix<int>>");
    EXPECT_EQ(group_of<F>({F(1, 1, ZEM_fraction(1))}).type().text(), "group<matrix<fraction>>");
    EXPECT_EQ(group_of<C>({C(1, 1, ZEM_cyclotomic_number(1))}).type().text(), "group<matrix<cyclotomic>>");
    EXPECT_EQ(tp_group(tp_matrix(tp_int())).text(), "group<matrix<int>>");
    EXPECT_NE(tp_group(tp_matrix(tp_int())), tp_group(tp_matrix(tp_fraction())));
}

TEST(Groups, FailuresOfConstruction)
{
    EXPECT_EQ(failure_of([] { group_of<I>({}); }), run_time("[ZEM_group] no generators"));
    const std::string wrong_size = run_time("[operator * (m1, m2)] wrong size");
    EXPECT_EQ(failure_of([] { group_of<I>({rotation, I(3, 3, ZEM_int(1))}); }), wrong_size);
    EXPECT_EQ(failure_of([] { group_of<I>({I(3, 3, ZEM_int(1)), rotation}); }), wrong_size);
    EXPECT_EQ(failure_of([] { group_of<F>({matrix_of<ZEM_fraction>({{1, 2}, {2, 4}})}); }),
              run_time("[ZEM_fraction::simple_fraction] denominator == 0"));
    EXPECT_EQ(failure_of([] { group_of<I>({matrix_of<ZEM_int>({{2, 0}, {0, 1}})}); }),
              run_time("[inverse] integer matrix whose determinant is not 1 or -1"));
    EXPECT_EQ(failure_of([] { group_of<I>({matrix_of<ZEM_int>({{1, 1}, {0, 1}})}); }),
              run_time("[ZEM_group] more than 100000 elements: the generators do not generate a finite group"));
}

// Part of a group's closure: the set of its elements compares and hashes matrices.
TEST(SetsOfMatrices, KeepOneCopyOfEqualMatrices)
{
    ZEM_set<I> set(50);
    set.add_elt(rotation);
    set.add_elt(matrix_of<ZEM_int>({{0, -1}, {1, 0}}));
    set.add_elt(reflection);
    set.add_elt(matrix_of<ZEM_int>({{0, 1073741824}}));
    EXPECT_EQ(set.n_elements(), 3);
    EXPECT_TRUE(set.is_elt(matrix_of<ZEM_int>({{1, 0}, {0, -1}})));
    EXPECT_TRUE(set.is_elt(matrix_of<ZEM_int>({{0, 1073741824}})));
    EXPECT_FALSE(set.is_elt(matrix_of<ZEM_int>({{1, 0}, {0, 1}})));
    EXPECT_EQ(set.type().text(), "set<matrix<int>>");
    EXPECT_EQ(ZEM_set<C>(50).type().text(), "set<matrix<cyclotomic>>");
}

}
