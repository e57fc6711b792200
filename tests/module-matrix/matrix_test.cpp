#include "module-matrix/matrix.h"

#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

TEST(Matrices, DiagonalConstructorTakesColumnsFirst)
{
    ZEM_matrix<ZEM_int> wide(3, 2, ZEM_int(7));
    ZEM_matrix<ZEM_int> tall(2, 3, ZEM_int(7));
    EXPECT_EQ(wide, matrix_of<ZEM_int>({{7, 0, 0}, {0, 7, 0}}));
    EXPECT_EQ(tall, matrix_of<ZEM_int>({{7, 0}, {0, 7}, {0, 0}}));
    EXPECT_EQ(ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(1)), matrix_of<ZEM_fraction>({{1, 0}, {0, 1}}));
    // Fraction zeros are 0/1 whatever the diagonal.
    ZEM_matrix<ZEM_fraction> halves(2, 2, ZEM_fraction(1, 2));
    EXPECT_EQ(halves.element(2, 1).denominator(), 1);
    EXPECT_EQ(halves.element(2, 2), ZEM_fraction(1, 2));
}

TEST(Matrices, ArrayConstructorFillsRowByRowAndElementTakesColumnFirst)
{
    pointer_to_objects<ZEM_int> a(7);
    for (int k = 0; k < 7; ++k) a[k] = 10 + k;
    ZEM_matrix<ZEM_int> m(2, 3, a);
    ASSERT_EQ(m.columns(), 2);
    ASSERT_EQ(m.rows(), 3);
    EXPECT_EQ(m.element(1, 1), 10);
    EXPECT_EQ(m.element(2, 1), 11);
    EXPECT_EQ(m.element(1, 2), 12);
    EXPECT_EQ(m.element(2, 3), 15);
    a[5] = 99;  // the matrix holds its own copies
    EXPECT_EQ(m.element(2, 3), 15);
}

TEST(Matrices, EqualityNeedsTheSameShape)
{
    pointer_to_objects<ZEM_int> six(6);
    for (int k = 0; k < 6; ++k) six[k] = k;
    EXPECT_NE(ZEM_matrix<ZEM_int>(2, 3, six), ZEM_matrix<ZEM_int>(3, 2, six));
    EXPECT_EQ(ZEM_matrix<ZEM_int>(2, 3, six), ZEM_matrix<ZEM_int>(2, 3, six));
    ZEM_matrix<ZEM_int> none(0, 0, ZEM_int(5));
    EXPECT_EQ(none, ZEM_matrix<ZEM_int>(0, 0, pointer_to_objects<ZEM_int>()));
    EXPECT_EQ(hash(none), 0);
    EXPECT_NE(ZEM_matrix<ZEM_int>(0, 2, ZEM_int(1)), ZEM_matrix<ZEM_int>(2, 0, ZEM_int(1)));
}

TEST(Matrices, HashesOfTheWorkedExamples)
{
    const ZEM_matrix<ZEM_int> m = matrix_of<ZEM_int>({{1, 2}, {3, 4}});
    EXPECT_EQ(hash(m), 27);
    EXPECT_EQ(hash(matrix_of<ZEM_int>({{1, 3}, {2, 4}})), 27);
    EXPECT_EQ(hash(ZEM_matrix<ZEM_int>(3, 3, ZEM_int(1))), 14);
    EXPECT_EQ(hash(matrix_of<ZEM_fraction>({{ZEM_fraction(1, 2)}})), 2);
    EXPECT_EQ(hash(matrix_of<ZEM_fraction>({{ZEM_fraction(-1, 2)}})), -2);
    EXPECT_EQ(hash(matrix_of<ZEM_int>({{0, 1073741824}})), INT_MIN);
}

// The hash against the sum taken in 64 bits and cut to 32 at the end.
TEST(Matrices, HashWrapsLikeA32BitSumAndAgreesWithEquality)
{
    std::mt19937 random(6);
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX), size(0, 5);
    for (int trial = 0; trial < 300; ++trial) {
        const int c = size(random), r = size(random);
        pointer_to_objects<ZEM_fraction> a(c * r);
        std::uint64_t expected = 0;
        for (int k = 0; k < c * r; ++k) {
            a[k] = ZEM_fraction(any(random) / (trial % 7 + 1), trial % 5 + 1);
            const std::uint64_t weight = static_cast<std::uint32_t>(a[k].numerator())
                                         * static_cast<std::uint64_t>(static_cast<std::uint32_t>(a[k].denominator()));
            expected += static_cast<std::uint64_t>(k % c + 1) * static_cast<std::uint64_t>(k / c + 1) * weight;
        }
        ZEM_matrix<ZEM_fraction> m(c, r, a), same(c, r, a);
        EXPECT_EQ(hash(m), static_cast<int>(static_cast<std::uint32_t>(expected)));
        EXPECT_EQ(m, same);
        EXPECT_EQ(hash(m), hash(same));
    }
}

TEST(Matrices, CopiesShareTheBodyAndOutliveTheOriginal)
{
    auto* original = new ZEM_matrix<ZEM_fraction>(matrix_of<ZEM_fraction>({{1, ZEM_fraction(2, 3)}}));
    ZEM_matrix<ZEM_fraction> copy(*original);
    ZEM_matrix<ZEM_fraction> assigned;
    assigned = copy;
    auto* heap = static_cast<ZEM_matrix<ZEM_fraction>*>(original->copy_object());
    EXPECT_EQ(copy.elements(), original->elements());
    EXPECT_EQ(assigned.elements(), original->elements());
    EXPECT_EQ(heap->elements(), original->elements());
    delete original;
    delete heap;
    EXPECT_EQ(copy.element(2, 1), ZEM_fraction(2, 3));
    ZEM_matrix<ZEM_fraction>& same = copy;
    copy = same;
    EXPECT_EQ(copy.element(2, 1), ZEM_fraction(2, 3));
    ZEM_matrix<ZEM_fraction> alone(1, 1, ZEM_fraction(5));
    ZEM_matrix<ZEM_fraction>& alone_again = alone;
    alone = alone_again;
    EXPECT_EQ(alone.element(1, 1), ZEM_fraction(5));
}

TEST(Matrices, TypesNeedNoBody)
{
    EXPECT_EQ(ZEM_matrix<ZEM_int>().type().text(), "matrix<int>");
    EXPECT_EQ(ZEM_matrix<ZEM_fraction>().type().text(), "matrix<fraction>");
    EXPECT_EQ(ZEM_matrix<ZEM_real>().type().text(), "matrix<real>");
    EXPECT_EQ(ZEM_matrix<ZEM_int>(0, 0, ZEM_int(1)).type(), ZEM_matrix<ZEM_int>(3, 2, ZEM_int(1)).type());
    EXPECT_EQ(tp_matrix(tp_fraction()).text(), "matrix<fraction>");
    ZEM_matrix<ZEM_int> empty;
    EXPECT_FALSE(empty.has_body());
}

TEST(Matrices, PrintedForms)
{
    EXPECT_EQ(printed(ZEM_matrix<ZEM_int>(2, 2, ZEM_int(1))), "matrix<int>(\n1   0\n0   1\n)\n");
    EXPECT_EQ(printed(matrix_of<ZEM_fraction>({{ZEM_fraction(-1, 2), 3}})), "matrix<fraction>(\n-1/2   3\n)\n");
    EXPECT_EQ(printed(matrix_of<ZEM_int>({{7}})), "matrix<int>(\n7\n)\n");
    EXPECT_EQ(printed(ZEM_matrix<ZEM_int>(0, 0, ZEM_int(1))), "matrix<int>(\n)\n");
    EXPECT_EQ(printed(ZEM_matrix<ZEM_int>(0, 2, ZEM_int(1))), "matrix<int>(\n\n\n)\n");
    pointer_to_objects<ZEM_real> reals(2);
    reals[0] = 0.5;
    reals[1] = -2.0;
    EXPECT_EQ(printed(ZEM_matrix<ZEM_real>(1, 2, reals)), "matrix<real>(\n0.5\n-2\n)\n");
}

TEST(Matrices, BadShapesFailInsteadOfWritingOutOfBounds)
{
    const std::string negative = run_time("[ZEM_matrix] negative number of columns or rows");
    const std::string too_many = run_time("[ZEM_matrix] too many elements");
    const std::string short_array = run_time("[ZEM_matrix] element array shorter than the matrix");
    EXPECT_EQ(failure_of([] { ZEM_matrix<ZEM_int>(-1, 2, ZEM_int(1)); }), negative);
    EXPECT_EQ(failure_of([] { ZEM_matrix<ZEM_int>(2, -1, pointer_to_objects<ZEM_int>()); }), negative);
    EXPECT_EQ(failure_of([] { ZEM_matrix<ZEM_int>(65536, 65536, ZEM_int(1)); }), too_many);
    EXPECT_EQ(failure_of([] { ZEM_matrix<ZEM_int>(2, 3, pointer_to_objects<ZEM_int>(5)); }), short_array);
    EXPECT_EQ(failure_of([] { fresh_matrix<ZEM_fraction>(INT_MAX, 2); }), too_many);
}

// An element type that counts its live copies and can be told to fail.
int live = 0;
int copies_before_failure = -1;

struct counted {
    counted() { ++live; }
    counted(const counted&)
    {
        if (copies_before_failure == 0) throw std::runtime_error("copy failed");
        if (copies_before_failure > 0) --copies_before_failure;
        ++live;
    }
    counted& operator=(const counted&) = default;
    ~counted() { --live; }
    void print(std::ostream& out) const { out << '*'; }
    ZEM_type type() const { return ZEM_type("counted", 0); }
};

TEST(Matrices, AFailingElementCopyLeavesNoHalfBuiltBody)
{
    {
        pointer_to_objects<counted> source(6);
        ASSERT_EQ(live, 6);
        copies_before_failure = 4;
        EXPECT_THROW((ZEM_matrix<counted>(3, 2, source)), std::runtime_error);
        EXPECT_EQ(live, 6);
        copies_before_failure = -1;
        {
            ZEM_matrix<counted> m(3, 2, source);
            ZEM_matrix<counted> shared(m);
            EXPECT_EQ(live, 12);
        }
        EXPECT_EQ(live, 6);
    }
    EXPECT_EQ(live, 0);
}

}
