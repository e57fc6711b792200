#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix_a/inverse.h"
#include "module-matrix_a/reduction.h"
#include "module-matrix_a/reduction_support.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

using namespace reduction_testing;
using F = ZEM_fraction;
using I = ZEM_int;

// The rank by fraction-free elimination in 128 bits, rows scaled to integers first.
int plain_rank(const ZEM_matrix<F>& A)
{
    const int n = A.columns(), m = A.rows();
    std::vector<std::vector<__int128>> a(static_cast<std::size_t>(m), std::vector<__int128>(static_cast<std::size_t>(n)));
    for (int i = 0; i < m; ++i) {
        int scale = 1;
        for (int j = 0; j < n; ++j) scale = smallest_common_multiple(scale, A.elements()[i * n + j].denominator());
        for (int j = 0; j < n; ++j)
            a[i][j] = scale / A.elements()[i * n + j].denominator() * A.elements()[i * n + j].numerator();
    }
    int rank = 0;
    __int128 previous = 1;
    for (int j = 0; j < n && rank < m; ++j) {
        int p = rank;
        while (p < m && a[p][j] == 0) ++p;
        if (p == m) continue;
        std::swap(a[p], a[rank]);
        for (int i = rank + 1; i < m; ++i) {
            for (int c = j + 1; c < n; ++c) a[i][c] = (a[rank][j] * a[i][c] - a[i][j] * a[rank][c]) / previous;
            a[i][j] = 0;
        }
        previous = a[rank][j];
        ++rank;
    }
    return rank;
}

template <class T>
ZEM_matrix<T> random_matrix(std::mt19937& random, int c, int r, int rank_limit)
{
    std::uniform_int_distribution<int> entry(-6, 6), denominator(1, 4), zero(0, 2);
    pointer_to_objects<T> a(c * r);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) {
            T& x = a[i * c + j];
            // Rows beyond the limit repeat earlier ones, with a sign, to lower the rank.
            if (i >= rank_limit && rank_limit > 0) x = T(i % 2 ? -1 : 1) * a[(i % rank_limit) * c + j];
            else if (zero(random) != 0) x = T(entry(random)) / T(std::is_same_v<T, F> ? denominator(random) : 1);
        }
    return ZEM_matrix<T>(c, r, a);
}

// Entries as integers over one common denominator.
struct scaled {
    std::vector<__int128> entries;
    __int128 denominator = 1;
};

scaled scale(const ZEM_matrix<I>& m)
{
    scaled s;
    for (int k = 0; k < m.columns() * m.rows(); ++k) s.entries.push_back(m.elements()[k].value());
    return s;
}

scaled scale(const ZEM_matrix<F>& m)
{
    scaled s;
    const int count = m.columns() * m.rows();
    for (int k = 0; k < count; ++k) s.denominator = smallest_common_multiple(int(s.denominator), m.elements()[k].denominator());
    for (int k = 0; k < count; ++k)
        s.entries.push_back(s.denominator / m.elements()[k].denominator() * m.elements()[k].numerator());
    return s;
}

std::vector<__int128> product(const std::vector<__int128>& a, const std::vector<__int128>& b, int rows, int inner, int columns)
{
    std::vector<__int128> p(static_cast<std::size_t>(rows * columns));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            for (int k = 0; k < inner; ++k) p[i * columns + j] += a[i * inner + k] * b[k * columns + j];
    return p;
}

// L * A * R = D in 128-bit integers; L and R must have whole-number entries.
template <class T>
void expect_product(const ZEM_matrix<T>& L, const ZEM_matrix<T>& A, const ZEM_matrix<T>& R, const ZEM_matrix<T>& D)
{
    const scaled l = scale(L), a = scale(A), r = scale(R), d = scale(D);
    EXPECT_TRUE(l.denominator == 1 && r.denominator == 1);
    const int m = A.rows(), n = A.columns();
    std::vector<__int128> lar = product(product(l.entries, a.entries, m, m, n), r.entries, m, n, n);
    for (int k = 0; k < m * n; ++k) EXPECT_TRUE(lar[k] * d.denominator == d.entries[k] * a.denominator) << "entry " << k;
}

template <class T>
void check_reduction(const ZEM_matrix<T>& A, int expected_rank)
{
    const reduced<T> r = reduce(A);
    expect_product(r.L, A, r.R, r.D);
    EXPECT_EQ(diagonal_rank(r.D), expected_rank);
    expect_as_written(A, r);
}

ZEM_matrix<F> as_fractions(const ZEM_matrix<I>& A)
{
    pointer_to_objects<F> a(A.columns() * A.rows());
    for (int k = 0; k < a.count(); ++k) a[k] = A.elements()[k].value();
    return ZEM_matrix<F>(A.columns(), A.rows(), a);
}

// D = L * A * R, D diagonal with its non-zero entries first in non-increasing
// size, the count of non-zero entries the rank, and D, L and R exactly those of
// the steps done entry by entry. The transformations of a dense matrix can grow
// past 32 bits; such a reduction must fail with the overflow message.
TEST(Diagonize, RandomMatricesAgainstTheStepsAsWritten)
{
    std::mt19937 random(9);
    std::uniform_int_distribution<int> size(0, 7);
    int overflows = 0;
    auto check = [&](const auto& A, int rank) { exact_or_overflow([&] { check_reduction(A, rank); }, overflows); };
    for (int trial = 0; trial < 400; ++trial) {
        const int c = size(random), r = size(random), limit = trial % 3 == 0 ? size(random) : 0;
        const ZEM_matrix<F> f = random_matrix<F>(random, c, r, limit);
        check(f, plain_rank(f));
        const ZEM_matrix<I> i = random_matrix<I>(random, c, r, limit);
        check(i, plain_rank(as_fractions(i)));
    }
    EXPECT_LT(overflows, 40);
}

TEST(Diagonize, SparseMatricesWithManyEqualSizes)
{
    std::mt19937 random(21);
    std::uniform_int_distribution<int> size(1, 12), pick(0, 9);
    for (int trial = 0; trial < 200; ++trial) {
        const int c = size(random), r = size(random);
        pointer_to_objects<I> a(c * r);
        for (I& x : a) x = pick(random) < 7 ? 0 : (pick(random) < 5 ? 1 : -1);
        const ZEM_matrix<I> A(c, r, a);
        check_reduction(A, plain_rank(as_fractions(A)));
    }
}

TEST(Diagonize, WorkedExamples)
{
    struct case_ {
        ZEM_matrix<I> A, L, D, R;
    } cases[] = {
        {matrix_of<I>({{4, 6}}), matrix_of<I>({{1}}), matrix_of<I>({{2, 0}}), matrix_of<I>({{-1, 3}, {1, -2}})},
        {matrix_of<I>({{2, 0}, {4, 1}}), matrix_of<I>({{1, 0}, {-2, 1}}), matrix_of<I>({{2, 0}, {0, 1}}),
         ZEM_matrix<I>(2, 2, I(1))},
        {matrix_of<I>({{3, 0, 0}, {0, -2, 0}, {0, 0, 1}}), ZEM_matrix<I>(3, 3, I(1)),
         matrix_of<I>({{3, 0, 0}, {0, -2, 0}, {0, 0, 1}}), ZEM_matrix<I>(3, 3, I(1))},
        {matrix_of<I>({{2, 0}, {0, 3}}), matrix_of<I>({{0, 1}, {1, 0}}), matrix_of<I>({{3, 0}, {0, 2}}),
         matrix_of<I>({{0, 1}, {1, 0}})},
        {matrix_of<I>({{3, 0}, {0, -5}}), matrix_of<I>({{0, 1}, {1, 0}}), matrix_of<I>({{-5, 0}, {0, 3}}),
         matrix_of<I>({{0, 1}, {1, 0}})},
        {matrix_of<I>({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}}), matrix_of<I>({{0, 0, 1}, {0, 1, 0}, {1, 0, 0}}),
         matrix_of<I>({{3, 0, 0}, {0, 2, 0}, {0, 0, 1}}), matrix_of<I>({{0, 0, 1}, {0, 1, 0}, {1, 0, 0}})},
        {ZEM_matrix<I>(3, 3, I(1)), matrix_of<I>({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}), ZEM_matrix<I>(3, 3, I(1)),
         matrix_of<I>({{0, 1, 0}, {0, 0, 1}, {1, 0, 0}})},
        {ZEM_matrix<I>(4, 4, I(0)), matrix_of<I>({{0, 0, 0, 1}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}}),
         ZEM_matrix<I>(4, 4, I(0)), matrix_of<I>({{0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}, {1, 0, 0, 0}})},
        {matrix_of<I>({{-7}}), matrix_of<I>({{1}}), matrix_of<I>({{-7}}), matrix_of<I>({{1}})},
        {ZEM_matrix<I>(0, 3, I(1)), ZEM_matrix<I>(3, 3, I(1)), ZEM_matrix<I>(0, 3, I(1)), ZEM_matrix<I>(0, 0, I(1))},
        {ZEM_matrix<I>(2, 0, I(1)), ZEM_matrix<I>(0, 0, I(1)), ZEM_matrix<I>(2, 0, I(1)), ZEM_matrix<I>(2, 2, I(1))},
    };
    for (const case_& c : cases) {
        const reduced<I> r = reduce(c.A);
        EXPECT_EQ(r.L, c.L) << c.A;
        EXPECT_EQ(r.D, c.D) << c.A;
        EXPECT_EQ(r.R, c.R) << c.A;
    }
    const reduced<F> f = reduce(matrix_of<F>({{F(1, 2), F(1, 3)}}));
    EXPECT_EQ(f.D, matrix_of<F>({{F(1, 6), 0}}));
    EXPECT_EQ(f.R, matrix_of<F>({{1, -2}, {-1, 3}}));
    // A 2 x 3 matrix: column 2 of R stays where the sweeps leave it.
    const reduced<I> wide = reduce(matrix_of<I>({{1, 0, 0}, {0, 1, 0}}));
    EXPECT_EQ(wide.R, matrix_of<I>({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}));
}

TEST(Diagonize, InputMayBeAnOutput)
{
    const ZEM_matrix<I> original = matrix_of<I>({{4, 6, 1}, {2, 9, -3}});
    const reduced<I> expected = reduce(original);
    for (int which = 0; which < 3; ++which) {
        ZEM_matrix<I> A = original, L, D, R;
        ZEM_matrix<I>* outputs[] = {&L, &D, &R};
        *outputs[which] = A;
        diagonize(*outputs[which], L, D, R);
        EXPECT_EQ(L, expected.L);
        EXPECT_EQ(D, expected.D);
        EXPECT_EQ(R, expected.R);
        ZEM_matrix<I> D2 = original, R2;
        diagonize_without_left(D2, D2, R2);
        EXPECT_EQ(D2, expected.D);
    }
}

TEST(Diagonize, OverflowFailsWithAMessage)
{
    EXPECT_EQ(failure_of([] { reduce(matrix_of<I>({{INT_MIN, 0}, {-1, 1}})); }), run_time("[ZEM_int] overflow"));
}

// A number whose quotients are always zero, so that a sweep never makes progress.
struct stuck {
    int v = 0;
    stuck() = default;
    stuck(int v) : v(v) {}
    void print(std::ostream& out) const { out << v; }
    ZEM_type type() const { return ZEM_type("stuck", 0); }
};
stuck operator-(const stuck& a, const stuck& b) { return a.v - b.v; }
stuck operator*(const stuck& a, const stuck& b) { return a.v * b.v; }
bool is_zero_entry(const stuck& x) { return x.v == 0; }
std::uint64_t entry_size(const stuck& x) { return entry_magnitude(x.v); }
stuck sweep_quotient(const stuck&, const stuck&) { return 0; }

TEST(Diagonize, AStuckReductionFailsInsteadOfHanging)
{
    pointer_to_objects<stuck> a(2);
    a[0] = a[1] = 1;
    ZEM_matrix<stuck> D, R;
    EXPECT_EQ(failure_of([&] { diagonize_without_left(ZEM_matrix<stuck>(2, 1, a), D, R); }),
              run_time("[clean_row_and_column] no diagonal form after 100000 cycles (please report)"));
    EXPECT_FALSE(D.has_body());
}

TEST(Inverse, WorkedExamplesAndFailures)
{
    EXPECT_EQ(inverse(ZEM_matrix<F>(3, 3, F(1))), ZEM_matrix<F>(3, 3, F(1)));
    EXPECT_EQ(inverse(matrix_of<F>({{2}})), matrix_of<F>({{F(1, 2)}}));
    EXPECT_EQ(inverse(matrix_of<F>({{F(-3, 4)}})), matrix_of<F>({{F(-4, 3)}}));
    EXPECT_EQ(inverse(matrix_of<I>({{-1}})), matrix_of<I>({{-1}}));
    EXPECT_EQ(inverse(matrix_of<I>({{1}})), matrix_of<I>({{1}}));
    EXPECT_EQ(inverse(matrix_of<F>({{1, 0}})), matrix_of<F>({{1}, {0}}));
    const std::string not_unimodular = run_time("[inverse] integer matrix whose determinant is not 1 or -1");
    EXPECT_EQ(failure_of([] { inverse(matrix_of<I>({{2}})); }), not_unimodular);
    EXPECT_EQ(failure_of([] { inverse(matrix_of<I>({{1, 2}, {3, 4}})); }), not_unimodular);
    EXPECT_EQ(failure_of([] { inverse(matrix_of<I>({{1, 2}, {2, 4}})); }), not_unimodular);
    const std::string singular = run_time("[ZEM_fraction::simple_fraction] denominator == 0");
    EXPECT_EQ(failure_of([] { inverse(matrix_of<F>({{1, 2}, {2, 4}})); }), singular);
    EXPECT_EQ(failure_of([] { inverse(matrix_of<F>({{0}})); }), singular);
}

TEST(Inverse, RandomInvertibleMatrices)
{
    std::mt19937 random(17);
    std::uniform_int_distribution<int> size(1, 4), shape(1, 4);
    int overflows = 0;
    for (int trial = 0; trial < 150; ++trial) {
        const int n = size(random);
        const ZEM_matrix<F> a = random_matrix<F>(random, n, n, 0);
        const ZEM_matrix<F> identity(n, n, F(1));
        if (plain_rank(a) == n) {
            exact_or_overflow(
                [&] {
                    const ZEM_matrix<F> x = inverse(a);
                    EXPECT_EQ(a * x, identity);
                    EXPECT_EQ(x * a, identity);
                },
                overflows);
        }
        // Products of elementary integer matrices have determinant 1 or -1.
        ZEM_matrix<I> g(n, n, I(1));
        std::uniform_int_distribution<int> index(0, n - 1), multiple(-2, 2);
        for (int step = 0; step < 6; ++step) {
            pointer_to_objects<I> e(n * n);
            for (int i = 0; i < n; ++i) e[i * n + i] = step % 3 == 0 ? -1 : 1;
            const int i = index(random), j = index(random);
            if (i != j) e[i * n + j] = multiple(random);
            g = g * ZEM_matrix<I>(n, n, e);
        }
        exact_or_overflow([&] { EXPECT_EQ(g * inverse(g), ZEM_matrix<I>(n, n, I(1))); }, overflows);
        // Full rank but not square: a one-sided inverse.
        const int rows = shape(random), columns = shape(random);
        const ZEM_matrix<F> w = random_matrix<F>(random, columns, rows, 0);
        if (plain_rank(w) == std::min(rows, columns)) {
            exact_or_overflow(
                [&] {
                    const ZEM_matrix<F> x = inverse(w);
                    if (rows <= columns) EXPECT_EQ(w * x, ZEM_matrix<F>(rows, rows, F(1)));
                    else EXPECT_EQ(x * w, ZEM_matrix<F>(columns, columns, F(1)));
                },
                overflows);
        }
    }
    EXPECT_LT(overflows, 15);
}

}
