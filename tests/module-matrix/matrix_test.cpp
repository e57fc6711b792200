#include "module-matrix/matrix.h"

#include <climits>
#include <gtest/gtest.h>
#include <stdexcept>

#include "module-matrix/matrix_arithmetic.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

using I = ZEM_int;
using F = ZEM_fraction;

TEST(Matrices, ConstructorsTakeColumnsFirstAndEqualityTheShape)
{
    EXPECT_EQ(ZEM_matrix<I>(3, 2, I(7)), matrix_of<I>({{7, 0, 0}, {0, 7, 0}}));
    EXPECT_EQ(ZEM_matrix<I>(2, 3, I(7)), matrix_of<I>({{7, 0}, {0, 7}, {0, 0}}));
    pointer_to_objects<I> a(7);
    for (int k = 0; k < 7; ++k) a[k] = 10 + k;
    const ZEM_matrix<I> m(2, 3, a);
    a[5] = 99;  // the matrix holds its own copies
    EXPECT_EQ(m.element(1, 2), 12);
    EXPECT_EQ(m.element(2, 3), 15);
    // Equality needs the same shape; the hash wraps in 32 bits.
    EXPECT_NE(ZEM_matrix<I>(2, 3, a), ZEM_matrix<I>(3, 2, a));
    EXPECT_NE(ZEM_matrix<I>(0, 2, I(1)), ZEM_matrix<I>(2, 0, I(1)));
    EXPECT_EQ(hash(matrix_of<I>({{1, 2}, {3, 4}})), 27);
    EXPECT_EQ(hash(matrix_of<I>({{0, 1073741824}})), INT_MIN);
}

TEST(Matrices, PrintedFormsAndTypesOfMatricesAndVectors)
{
    EXPECT_EQ(printed(ZEM_matrix<I>(2, 2, I(1))), "matrix<int>(\n1   0\n0   1\n)\n");
    EXPECT_EQ(printed(matrix_of<F>({{F(-1, 2), 3}})), "matrix<fraction>(\n-1/2   3\n)\n");
    EXPECT_EQ(printed(ZEM_matrix<I>(0, 2, I(1))), "matrix<int>(\n\n\n)\n");
    const ZEM_cyclotomic_number i = cyclotomic_testing::root_of_unity(1, 4);
    const ZEM_matrix<ZEM_cyclotomic_number> m = matrix_of<ZEM_cyclotomic_number>({{i, 2}});
    EXPECT_EQ(printed(m), "matrix<cyclotomic>(\n" + printed(i) + "   2\n)\n");
    EXPECT_EQ(hash(m), hash(i));
    EXPECT_FALSE(ZEM_matrix<ZEM_real>().has_body());
    // Vectors hold copies of their array and print on one line.
    pointer_to_objects<I> a(3);
    a[0] = 1;
    a[1] = -2;
    const ZEM_vector<I> v(a);
    a[0] = 7;
    EXPECT_EQ(printed(v), "vector<int>(1  -2  0)\n");
    EXPECT_EQ(printed(vector_of<F>({F(2, 3)})), "vector<fraction>(2/3)\n");
    EXPECT_EQ(tp_vector(tp_int()).text(), "vector<int>");
}

TEST(Matrices, BadShapesFailInsteadOfWritingOutOfBounds)
{
    const ZEM_matrix<I> m = matrix_of<I>({{1, 2}, {3, 4}});
    const ZEM_matrix<I> empty;
    const std::string outside = run_time("[ZEM_matrix::element] index out of range");
    const std::string no_body = run_time("[ZEM_matrix] empty matrix handle");
    EXPECT_EQ(failure_of([&] { m.element(0, 0); }), outside);
    EXPECT_EQ(failure_of([&] { m.element(3, 1); }), outside);
    EXPECT_EQ(failure_of([&] { empty.rows(); }), no_body);
    EXPECT_EQ(failure_of([&] { m * empty; }), no_body);

    const std::string negative = run_time("[ZEM_matrix] negative number of columns or rows");
    const std::string too_many = run_time("[ZEM_matrix] too many elements");
    EXPECT_EQ(failure_of([] { ZEM_matrix<I>(-1, 2, I(1)); }), negative);
    EXPECT_EQ(failure_of([] { ZEM_matrix<I>(65536, 65536, I(1)); }), too_many);
    EXPECT_EQ(failure_of([] { fresh_matrix<F>(INT_MAX, 2); }), too_many);
    EXPECT_EQ(failure_of([] { ZEM_matrix<I>(2, 3, pointer_to_objects<I>(5)); }),
              run_time("[ZEM_matrix] element array shorter than the matrix"));
}

// Elements that count their live copies; the copy after `copies_before_failure` fails.
int live = 0;
int copies_before_failure = -1;

struct counted {
    counted() { ++live; }
    counted(const counted&)
    {
        if (copies_before_failure-- == 0) throw std::runtime_error("copy failed");
        ++live;
    }
    counted& operator=(const counted&) = default;
    ~counted() { --live; }
    void print(std::ostream& out) const { out << '*'; }
    ZEM_type type() const { return ZEM_type("counted", 0); }
};

TEST(Matrices, AFailingElementCopyLeavesNoHalfBuiltBody)
{
    pointer_to_objects<counted> source(6);
    copies_before_failure = 4;
    EXPECT_THROW((ZEM_matrix<counted>(3, 2, source)), std::runtime_error);
    EXPECT_EQ(live, 6);
}

}
