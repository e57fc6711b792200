#include "module-matrix/matrix.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix/matrix_builders.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/exact.h"
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
    EXPECT_EQ(printed(matrix_of<F>({{F(-1, 2), 3}})), "matrix<fraction>(\n-1/2   3\n)\n");
    EXPECT_EQ(printed(ZEM_matrix<I>(0, 2, I(1))), "matrix<int>(\n\n\n)\n");
    EXPECT_EQ(printed(vector_of<F>({F(2, 3)})), "vector<fraction>(2/3)\n");
}

TEST(Matrices, BadShapesAndOverflowsFailWithTheirMessage)
{
    const ZEM_matrix<I> m = matrix_of<I>({{1, 2}, {3, 4}}), empty;
    pointer_to_objects<ZEM_matrix<I>> blocks(2);
    blocks[0] = m;
    auto stacked = [&](int c, int r) {
        return [&, c, r] {
            blocks[1] = ZEM_matrix<I>(c, r, I(1));
            matrix_from_stack_of_matrices(blocks);
        };
    };
    const std::string outside = "[ZEM_matrix::element] index out of range", too_many = "[ZEM_matrix] too many elements";
    const std::string no_body = "[ZEM_matrix] empty matrix handle";
    const std::string minor = "[without_column_and_row] column or row out of range";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { m.element(0, 0); }, outside}, {[&] { m.element(3, 1); }, outside},
        {[&] { empty.rows(); }, no_body}, {[&] { m * empty; }, no_body},
        {[] { ZEM_matrix<I>(-1, 2, I(1)); }, "[ZEM_matrix] negative number of columns or rows"},
        {[] { ZEM_matrix<I>(65536, 65536, I(1)); }, too_many}, {[] { fresh_matrix<F>(INT_MAX, 2); }, too_many},
        {[] { ZEM_matrix<I>(2, 3, pointer_to_objects<I>(5)); }, "[ZEM_matrix] element array shorter than the matrix"},
        {[] { ZEM_matrix<I>(3, 2, I(1)) - ZEM_matrix<I>(2, 3, I(1)); }, "[matrix-1 - matrix-2] incompatible sizes"},
        {[] { ZEM_matrix<I>(2, 3, I(1)) * ZEM_matrix<I>(2, 3, I(1)); }, "[operator * (m1, m2)] wrong size"},
        // Checked entries: leaving 32 bits fails instead of wrapping.
        {[] { I(2) * matrix_of<I>({{1073741824}}); }, "[ZEM_int] overflow"},
        {stacked(3, 2), "[matrix_from_stack_of_matrices] different number of columns"},
        {stacked(2, 1), "[matrix_from_stack_of_matrices] different number of rows"},
        {[] { matrix_from_stack_of_matrices(pointer_to_objects<ZEM_matrix<I>>()); },
         "[matrix_from_stack_of_matrices] empty matrix list"},
        {[&] { without_column_and_row(m, 3, 1); }, minor}, {[&] { without_column_and_row(m, 1, 0); }, minor},
    };
    for (const auto& [action, message] : cases) EXPECT_EQ(failure_of(action), run_time(message));
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

TEST(MatrixArithmetic, DifferenceScalarProductAndStacks)
{
    const ZEM_matrix<F> m = matrix_of<F>({{F(1, 2), 3}, {-4, F(2, 3)}});
    EXPECT_EQ(m - ZEM_matrix<F>(2, 2, F(1)), matrix_of<F>({{F(-1, 2), 3}, {-4, F(-1, 3)}}));
    EXPECT_EQ(F(1, 2) * m, matrix_of<F>({{F(1, 4), F(3, 2)}, {-2, F(1, 3)}}));
    EXPECT_EQ(I(3) * ZEM_matrix<I>(2, 0, I(1)), ZEM_matrix<I>(2, 0, I(1)));
    pointer_to_objects<ZEM_matrix<I>> blocks(3);
    for (int b = 0; b < 3; ++b) blocks[b] = matrix_of<I>({{b, 1, 2}, {3, 4, b * 10}});
    EXPECT_EQ(matrix_from_stack_of_matrices(blocks),
              matrix_of<I>({{0, 1, 2}, {3, 4, 0}, {1, 1, 2}, {3, 4, 10}, {2, 1, 2}, {3, 4, 20}}));
}

// Products of random integer matrices, empty ones included, against a plain 64-bit product.
TEST(MatrixArithmetic, ProductAgainstAPlainProduct)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> size(0, 5), entry(-100, 100);
    auto random_matrix = [&](int c, int r) {
        pointer_to_objects<I> a(c * r);
        for (I& x : a) x = entry(random);
        return ZEM_matrix<I>(c, r, a);
    };
    for (int trial = 0; trial < 200; ++trial) {
        const int a = size(random), b = size(random), c = size(random);
        const ZEM_matrix<I> m1 = random_matrix(b, a), m2 = random_matrix(c, b), p = m1 * m2;
        ASSERT_TRUE(p.columns() == c && p.rows() == a);
        for (int i = 1; i <= a; ++i)
            for (int j = 1; j <= c; ++j) {
                std::int64_t sum = 0;
                for (int k = 1; k <= b; ++k) sum += std::int64_t(m1.element(k, i).value()) * m2.element(j, k).value();
                EXPECT_EQ(p.element(j, i).value(), sum);
            }
    }
}

// The rows x inner entries a times the inner x columns entries b against the
// product in GMP.
template <class T>
void expect_exact_product(const std::vector<F>& a, const std::vector<F>& b, int rows, int inner, int columns,
                          const std::string& overflow)
{
    pointer_to_objects<T> x(rows * inner), y(inner * columns);
    std::transform(a.begin(), a.end(), x.begin(), from_fraction<T>);
    std::transform(b.begin(), b.end(), y.begin(), from_fraction<T>);
    std::vector<mpq_class> expected(std::size_t(rows * columns));
    for (int e = 0; e < rows * columns; ++e)
        for (int k = 0; k < inner; ++k)
            expected[std::size_t(e)] +=
                exact(a[std::size_t(e / columns * inner + k)]) * exact(b[std::size_t(k * columns + e % columns)]);
    const ZEM_matrix<T> m1(inner, rows, x), m2(columns, inner, y);
    EXPECT_EQ(outcome([&] { return printed_values((m1 * m2).elements(), rows * columns); }),
              printed_if_fit<T>(expected, overflow))
        << printed(m1) << printed(m2);
}

// Running sums beyond 32 bits, over integers, fractions and rational cyclotomic
// numbers: against the product in GMP, only an entry that leaves 32 bits fails.
TEST(MatrixArithmetic, ProductFailsOnlyWhenAnEntryLeaves32Bits)
{
    // imat_mul of [#2147483647 #1 #-1] and the column [#1 #1 #1], and without the -1.
    EXPECT_EQ(matrix_of<I>({{INT_MAX, 1, -1}}) * matrix_of<I>({{1}, {1}, {1}}), matrix_of<I>({{INT_MAX}}));
    EXPECT_EQ(failure_of([] { matrix_of<I>({{INT_MAX, 1}}) * matrix_of<I>({{1}, {1}}); }),
              run_time("[ZEM_int] overflow"));

    const F large[] = {0, 1, -1, INT_MAX, -INT_MAX, 1 << 30, -(1 << 30), F(1, INT_MAX), F(-1, 65536), F(1, 65537)};
    const F small[] = {0, 1, -1, 2, F(1, 2)};
    std::mt19937 random(23);
    std::uniform_int_distribution<int> size(0, 4), pick(0, 9);
    for (int trial = 0; trial < 300; ++trial) {
        const bool whole = trial % 2 == 0;
        const int rows = size(random), inner = size(random), columns = size(random);
        std::vector<F> a, b;
        while (int(a.size()) < rows * inner)
            if (const F x = large[pick(random)]; !whole || x.denominator() == 1) a.push_back(x);
        while (int(b.size()) < inner * columns)
            if (const F x = small[pick(random) % 5]; !whole || x.denominator() == 1) b.push_back(x);
        if (whole) expect_exact_product<I>(a, b, rows, inner, columns, "[ZEM_int] overflow");
        expect_exact_product<F>(a, b, rows, inner, columns, "[ZEM_fraction] overflow");
        expect_exact_product<ZEM_cyclotomic_number>(a, b, rows, inner, columns, "[ZEM_fraction] overflow");
    }
}

// Cyclotomic values with an irrational part whose running sums or products leave
// 32 bits: against the product in Q(E(3)) in GMP, only an entry whose canonical
// coefficients leave 32 bits fails.
TEST(MatrixArithmetic, IrrationalProductFailsOnlyWhenAnEntryLeaves32Bits)
{
    const auto expect_exact = [](const std::vector<eisenstein>& a, const std::vector<eisenstein>& b, int rows,
                                 int inner, int columns) {
        pointer_to_objects<ZEM_cyclotomic_number> x(rows * inner), y(inner * columns);
        std::transform(a.begin(), a.end(), x.begin(), cyclotomic);
        std::transform(b.begin(), b.end(), y.begin(), cyclotomic);
        std::vector<eisenstein> expected(std::size_t(rows * columns));
        for (int e = 0; e < rows * columns; ++e)
            for (int k = 0; k < inner; ++k)
                expected[std::size_t(e)] = expected[std::size_t(e)] + a[std::size_t(e / columns * inner + k)] *
                                                                         b[std::size_t(k * columns + e % columns)];
        const ZEM_matrix<ZEM_cyclotomic_number> m1(inner, rows, x), m2(columns, inner, y);
        EXPECT_EQ(outcome([&] { return printed_values((m1 * m2).elements(), rows * columns); }),
                  printed_if_fit(expected))
            << printed(m1) << printed(m2);
    };
    const eisenstein m_root{0, INT_MAX}, one{1, 0};
    // M*E(3) + M*E(3) - M*E(3), then 2 * (M*E(3)) - M*E(3), and a sum that stays at 2M*E(3).
    expect_exact({m_root, m_root, m_root}, {one, one, {-1, 0}}, 1, 3, 1);
    expect_exact({m_root, m_root, m_root, {0, 1}}, {{2, 0}, {-1, 0}}, 2, 2, 1);
    expect_exact({m_root, m_root}, {one, one}, 1, 2, 1);

    const eisenstein large[] = {{0, 0}, m_root, {0, -INT_MAX}, {1, INT_MAX}, {INT_MAX, INT_MAX}, {-INT_MAX, -INT_MAX},
                                {-(1 << 30), 0}, {mpq_class(1, 65537), 1}};
    const eisenstein small[] = {one, {-1, 0}, one, {-1, 0}, {0, 0}, {0, 1}, {1, 1}, {mpq_class(1, 2), -1}};
    std::mt19937 random(29);
    std::uniform_int_distribution<int> size(0, 4);
    for (int trial = 0; trial < 200; ++trial) {
        const int rows = size(random), inner = size(random), columns = size(random);
        std::vector<eisenstein> a, b;
        while (int(a.size()) < rows * inner) a.push_back(large[random() % 8]);
        while (int(b.size()) < inner * columns) b.push_back(small[random() % 8]);
        expect_exact(a, b, rows, inner, columns);
    }
}

TEST(MatrixBuilders, RowsAndColumnsPadShortVectorsWithZeros)
{
    pointer_to_objects<ZEM_vector<F>> ragged(3);
    ragged[0] = vector_of<F>({1, 2, 3});
    ragged[1] = vector_of<F>({4});
    ragged[2] = vector_of<F>({5, 6});
    EXPECT_EQ(matrix_from_rows(ragged), matrix_of<F>({{1, 2, 3}, {4, 0, 0}, {5, 6, 0}}));
    EXPECT_EQ(matrix_from_columns(ragged), matrix_of<F>({{1, 4, 5}, {2, 0, 6}, {3, 0, 0}}));
    pointer_to_objects<ZEM_vector<ZEM_real>> reals(2);
    reals[0] = vector_of<ZEM_real>({1.5});
    reals[1] = vector_of<ZEM_real>({2.0, 3.0});
    EXPECT_EQ(printed(matrix_from_rows(reals)), "matrix<real>(\n1.5   0\n2   3\n)\n");
}

}
