#include "module-matrix_a/reduction.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix_a/determinant.h"
#include "module-matrix_a/inverse.h"
#include "numbers/wide_numbers.h"
#include "numbers/cyclotomic_support.h"
#include "support/exact_rank.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

template <class T>
pointer_to_objects<T> array_of(const ZEM_matrix<T>& m)
{
    pointer_to_objects<T> a(m.columns() * m.rows());
    std::copy(m.elements(), m.elements() + a.count(), a.begin());
    return a;
}

template <class T>
struct reduced {
    ZEM_matrix<T> L, D, R;
};

template <class T>
reduced<T> reduce(const ZEM_matrix<T>& A)
{
    reduced<T> r;
    diagonize(A, r.L, r.D, r.R);
    return r;
}

// The steps exactly as written: whole lines combined entry by entry, zero
// multipliers included, and every ordering move made on L and R at once.
template <class T>
struct literal_reduction {
    int n, m;
    pointer_to_objects<T> A, L, R;  // row by row: A is m x n, L m x m, R n x n

    explicit literal_reduction(const ZEM_matrix<T>& input)
        : n(input.columns()), m(input.rows()), A(array_of(input)), L(array_of(ZEM_matrix<T>(m, m, T(1)))),
          R(array_of(ZEM_matrix<T>(n, n, T(1))))
    {
        for (int k = 0; k < std::min(m, n); ++k) {
            while (dirty(k)) {
                sweep(k, true);   // row k, by column operations
                sweep(k, false);  // column k, by row operations
            }
            sort(k);
        }
    }
    bool dirty(int k) const
    {
        for (int j = k + 1; j < std::max(m, n); ++j)
            if ((j < n && !is_zero_entry(A[k * n + j])) || (j < m && !is_zero_entry(A[j * n + k]))) return true;
        return false;
    }
    // Entry i of line c of a row-by-row array: of column c when `columns`, else of row c.
    static T& at(pointer_to_objects<T>& P, int stride, bool columns, int c, int i)
    {
        return columns ? P[i * stride + c] : P[c * stride + i];
    }
    // The row sweep by column operations, repeated on R; or the column sweep by
    // row operations, repeated on L.
    void sweep(int k, bool row)
    {
        const int lines = row ? n : m, length = row ? m : n, order = row ? n : m;
        auto a = [&](int c, int i) -> T& { return at(A, n, row, c, i); };
        auto x = [&](int c, int i) -> T& { return at(row ? R : L, order, row, c, i); };
        int p = k;
        for (int c = k; c < lines; ++c)
            if (!is_zero_entry(a(c, k)) && (is_zero_entry(a(p, k)) || entry_size(a(c, k)) < entry_size(a(p, k)))) p = c;
        const T pivot = a(p, k);
        if (is_zero_entry(pivot)) return;
        for (int i = 0; i < length && p != k; ++i) std::swap(a(p, i), a(k, i));
        for (int i = 0; i < order && p != k; ++i) std::swap(x(p, i), x(k, i));
        for (int c = k + 1; c < lines; ++c) {
            if (is_zero_entry(a(c, k))) continue;
            const T q = sweep_quotient(a(c, k), pivot);
            for (int i = 0; i < length; ++i) a(c, i) = a(c, i) - a(k, i) * q;
            for (int i = 0; i < order; ++i) x(c, i) = x(c, i) - x(k, i) * q;
        }
    }
    // Entry (k, k) moves before every earlier entry that is not larger, compared afresh after each move.
    void sort(int k)
    {
        for (int i = 0; i < k; ++i) {
            if (entry_size(A[k * n + k]) < entry_size(A[i * n + i])) continue;
            const T kept = A[k * n + k];
            for (int j = k; j > i; --j) A[j * n + j] = A[(j - 1) * n + j - 1];
            A[i * n + i] = kept;
            for (int r = 0; r < n; ++r) std::rotate(R.begin() + r * n + i, R.begin() + r * n + k, R.begin() + r * n + k + 1);
            std::rotate(L.begin() + i * m, L.begin() + k * m, L.begin() + (k + 1) * m);
        }
    }
};

// The number of non-zero entries of D, after checking that they stand on the
// diagonal, before every zero one and in non-increasing size (sized widely,
// as the size of a large cyclotomic entry can leave 32 bits).
template <class T>
int diagonal_rank(const ZEM_matrix<T>& D)
{
    int rank = 0;
    for (int i = 1; i <= D.rows(); ++i)
        for (int j = 1; j <= D.columns(); ++j) {
            if (is_zero_entry(D.element(j, i))) continue;
            EXPECT_TRUE(i == j && i == ++rank) << "a non-zero entry off the diagonal or after a zero one";
            EXPECT_FALSE(i == j && i > 1 && entry_size(widen(D.element(i - 1, i - 1))) < entry_size(widen(D.element(j, i)))) << "not ordered";
        }
    return rank;
}

using cyclotomic_testing::root_of_unity;
using I = ZEM_int;
using F = ZEM_fraction;
using C = ZEM_cyclotomic_number;

// The rank over the field, integers taken as fractions.
template <class T>
int field_rank(const ZEM_matrix<T>& A)
{
    std::vector<std::vector<std::conditional_t<std::is_same_v<T, I>, F, T>>> rows(std::size_t(A.rows()));
    for (int k = 0; k < A.rows() * A.columns(); ++k) {
        if constexpr (std::is_same_v<T, I>)
            rows[std::size_t(k / A.columns())].push_back(F(A.elements()[k].value()));
        else
            rows[std::size_t(k / A.columns())].push_back(A.elements()[k]);
    }
    return rank_of(rows);
}

// Entries from `entry`; from row `limit` on (when above 0), each row repeats an
// earlier one times a random factor, which lowers the rank.
template <class T, class Entry>
ZEM_matrix<T> random_matrix(int c, int r, int limit, Entry entry)
{
    pointer_to_objects<T> a(c * r);
    for (int i = 0; i < r; ++i) {
        const T factor = entry();
        for (int j = 0; j < c; ++j) a[i * c + j] = limit > 0 && i >= limit ? factor * a[(i % limit) * c + j] : entry();
    }
    return ZEM_matrix<T>(c, r, a);
}

// An inverse on the side the shape allows, on both when square.
template <class T>
void expect_inverse(const ZEM_matrix<T>& A)
{
    const int n = A.columns(), m = A.rows();
    const ZEM_matrix<T> X = inverse(A);
    if (m <= n) {
        EXPECT_EQ(A * X, ZEM_matrix<T>(m, m, T(1))) << A;
    }
    if (n <= m) {
        EXPECT_EQ(X * A, ZEM_matrix<T>(n, n, T(1))) << A;
    }
}

// D = L * A * R, D diagonal with its non-zero entries first in non-increasing
// size, as many as A's rank, and D, L and R those of the literal steps; the
// reduction without L gives the same D and R. For a small A also: L and R have
// inverses (over the integers too, their determinant being 1 or -1), and so has
// A over a field when of full rank.
template <class T>
void expect_reduction(const ZEM_matrix<T>& A)
{
    const reduced<T> r = reduce(A);
    const literal_reduction<T> literal(A);
    const int n = A.columns(), m = A.rows(), rank = field_rank(A);
    EXPECT_EQ(r.L * A * r.R, r.D) << A;
    EXPECT_EQ(diagonal_rank(r.D), rank) << A;
    EXPECT_EQ(r.D, ZEM_matrix<T>(n, m, literal.A));
    EXPECT_EQ(r.L, ZEM_matrix<T>(m, m, literal.L));
    EXPECT_EQ(r.R, ZEM_matrix<T>(n, n, literal.R));
    ZEM_matrix<T> D, R;
    diagonize_without_left(A, D, R);
    EXPECT_TRUE(D == r.D && R == r.R) << A;
    if (n > 4 || m > 4) return;
    expect_inverse(r.L);
    expect_inverse(r.R);
    if (!std::is_same_v<T, I> && rank == std::min(n, m)) expect_inverse(A);
}

// Integers, fractions and cyclotomic numbers of orders 3, 4, 5, 8 and 12, from
// sparse matrices of many equal sizes to dense ones. The transformations of a
// dense matrix can leave 32 bits; such a check must fail with the overflow message.
TEST(Diagonize, RandomMatricesAgainstTheLiteralSteps)
{
    std::mt19937 random(9);
    std::uniform_int_distribution<int> size(0, 7), pick(0, 12);
    const int orders[] = {3, 4, 5, 8, 12};
    int overflows = 0, checks = 0, answered_widely = 0;
    const auto is_overflow = [](const std::string& failure) {
        return failure == run_time("[ZEM_fraction] overflow") || failure == run_time("[ZEM_int] overflow");
    };
    // A failure must be an overflow of the scalars, and is counted. Carried in
    // wide numbers, the reduction gives the same results where the 32-bit one
    // succeeds, and elsewhere fails only when a result leaves 32 bits.
    auto check = [&](const auto& A) {
        using T = std::remove_cvref_t<decltype(A.elements()[0])>;
        ++checks;
        const std::string failure = failure_of([&] { expect_reduction(A); });
        const bool overflow = is_overflow(failure);
        EXPECT_TRUE(overflow || failure == "(no failure)") << failure;
        overflows += overflow;
        reduced<T> wide;
        const std::string wide_failure =
            failure_of([&] { reduction::reduce<T, wide_of<T>>(A, &wide.L, wide.D, wide.R); });
        if (!overflow) {
            const reduced<T> r = reduce(A);
            EXPECT_TRUE(wide.L == r.L && wide.D == r.D && wide.R == r.R) << A;
        } else if (wide_failure == "(no failure)") {
            ++answered_widely;
            const std::string product = failure_of([&] { EXPECT_EQ(wide.L * A * wide.R, wide.D) << A; });
            EXPECT_TRUE(product == "(no failure)" || is_overflow(product)) << product;
        } else {
            EXPECT_TRUE(is_overflow(wide_failure)) << wide_failure;
        }
    };
    for (int trial = 0; trial < 400; ++trial) {
        const int c = size(random), r = size(random), limit = trial % 3 == 0 ? size(random) : 0;
        const bool sparse = trial % 2 == 0;
        // Mostly zeros and units when sparse, else -6 .. 6 with about a third zeros.
        auto integer = [&] {
            const int x = pick(random), y = pick(random);
            return sparse ? (x < 9 ? 0 : y % 2 * 2 - 1) : (x < 4 ? 0 : y - 6);
        };
        check(random_matrix<I>(c, r, limit, [&] { return I(integer()); }));
        check(random_matrix<F>(c, r, limit, [&] { return F(integer(), 1 + pick(random) % 4); }));
        if (c > 4 || r > 4) continue;
        const int order = orders[trial % 5];
        check(random_matrix<C>(c, r, limit, [&] {
            return pick(random) < 4 ? C() : cyclotomic_testing::random_value(random, order, 2, 2, 0.5);
        }));
    }
    EXPECT_LT(overflows, checks / 20);
    EXPECT_GT(answered_widely, 0);
}

// abs_value_squared is 0 for 1 + a fifth root of unity and for 1 + sqrt(3):
// measured so, such an entry ties with a zero, a sweep can cycle, and the
// ordering can put a zero first and lose a rank.
TEST(Diagonize, EveryNonZeroCyclotomicEntryCountsLargerThanZero)
{
    const C sqrt3 = C(-1) * root_of_unity(1, 4) * (C(1) + C(2) * root_of_unity(1, 3));
    const C z = C(1) + root_of_unity(1, 5), s = C(1) + sqrt3;
    ASSERT_TRUE(abs_value_squared(z).is_zero());
    ASSERT_TRUE(abs_value_squared(s).is_zero());
    expect_reduction(matrix_of<C>({{z, 0}, {0, 0}}));
    expect_reduction(matrix_of<C>({{s, C(2) + sqrt3}, {0, s}}));
    expect_reduction(matrix_of<C>({{z, z * z, 1}, {z * root_of_unity(2, 5), 0, s}}));
}

TEST(Diagonize, InputMayBeAnOutput)
{
    const ZEM_matrix<I> original = matrix_of<I>({{4, 6, 1}, {2, 9, -3}});
    const reduced<I> expected = reduce(original);
    for (int which = 0; which < 3; ++which) {
        ZEM_matrix<I> L, D, R;
        ZEM_matrix<I>* outputs[] = {&L, &D, &R};
        *outputs[which] = original;
        diagonize(*outputs[which], L, D, R);
        EXPECT_TRUE(L == expected.L && D == expected.D && R == expected.R) << which;
    }
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

TEST(Diagonize, FailsWithAMessageInsteadOfHangingOrWrapping)
{
    pointer_to_objects<stuck> a(2);
    a[0] = a[1] = 1;
    ZEM_matrix<stuck> D, R;
    EXPECT_EQ(failure_of([&] { diagonize_without_left(ZEM_matrix<stuck>(2, 1, a), D, R); }),
              run_time("[clean_row_and_column] no diagonal form after 100000 cycles (please report)"));
    EXPECT_FALSE(D.has_body());
    EXPECT_EQ(failure_of([] { reduce(matrix_of<I>({{1, INT_MIN}, {0, -1}})); }), run_time("[ZEM_int] overflow"));
}

// Steps beyond 32 bits are taken again in wide numbers: the quotient 2^31 of
// the first matrix's column sweep, the 2^31 that the second's R would hold.
template <class T>
void expect_reduction_or_overflow(const T& minimum)
{
    const std::string overflow = run_time(std::is_same_v<T, I> ? "[ZEM_int] overflow" : "[ZEM_fraction] overflow");
    for (const bool answers : {true, false}) {
        const ZEM_matrix<T> A = answers ? matrix_of<T>({{minimum, 0, 0}, {-1, 1, 0}})
                                        : matrix_of<T>({{1, minimum, 0}, {0, -1, 0}});
        const std::string failure = failure_of([&] {
            const reduced<T> r = reduce(A);
            EXPECT_EQ(r.L * A * r.R, r.D);
            EXPECT_EQ(diagonal_rank(r.D), 2);
            const T one(1);
            EXPECT_TRUE(determinant(r.L) * determinant(r.L) == one && determinant(r.R) * determinant(r.R) == one);
        });
        EXPECT_EQ(failure, answers ? "(no failure)" : overflow) << A;
    }
}

TEST(Diagonize, FailsOnlyWhenAResultLeaves32Bits)
{
    expect_reduction_or_overflow<I>(INT_MIN);
    expect_reduction_or_overflow<F>(INT_MIN);
    expect_reduction_or_overflow<C>(C(INT_MIN) * root_of_unity(1, 4));
}

TEST(Diagonize, AFailureLeavesTheOutputsAsSetUp)
{
    const ZEM_matrix<I> A = matrix_of<I>({{1, INT_MIN, 0}, {0, -1, 0}});
    ZEM_matrix<I> L = A, D, R = A;
    EXPECT_EQ(failure_of([&] { diagonize(A, L, D, R); }), run_time("[ZEM_int] overflow"));
    EXPECT_TRUE(L == ZEM_matrix<I>(2, 2, I(1)));
    EXPECT_TRUE(R == ZEM_matrix<I>(3, 3, I(1)));
    EXPECT_EQ(D.elements(), A.elements());
}

TEST(Inverse, Failures)
{
    const std::string not_unimodular = run_time("[inverse] integer matrix whose determinant is not 1 or -1");
    EXPECT_EQ(failure_of([] { inverse(matrix_of<I>({{1, 2}, {3, 4}})); }), not_unimodular);
    const std::string singular = run_time("[ZEM_fraction::simple_fraction] denominator == 0");
    EXPECT_EQ(failure_of([] { inverse(matrix_of<F>({{1, 2}, {2, 4}})); }), singular);
    EXPECT_EQ(failure_of([] { inverse(ZEM_matrix<C>(2, 2, C())); }), singular);
    // Wide steps do not change the failure of a singular matrix.
    EXPECT_EQ(failure_of([] { inverse(matrix_of<F>({{1, INT_MIN}, {1, INT_MIN}})); }), singular);
    EXPECT_EQ(failure_of([] { inverse(matrix_of<I>({{1, INT_MIN}, {0, 2}})); }), not_unimodular);
}

// Sizes of large entries are compared exactly, without wrapping.
TEST(PivotChoice, LargeEntriesCompareWithoutWrapping)
{
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<I>({{46341, 3}})), 2, 1), 1);
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<I>({{INT_MIN, 65536}})), 2, 1), 1);
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{F(46341, 2), F(65536, 3)}})), 2, 1), 1);
    EXPECT_EQ(a_column_sweeper(0, array_of(matrix_of<F>({{F(65537, 2)}, {F(2147483645, 65536)}})), 1, 2), 1);
}

// The dense-array operations on their own: in the sweeps rows above k take part and
// whole lines are combined.
TEST(DenseArrayOperations, SweepsAndElementaryOperations)
{
    const ZEM_matrix<F> row_before = matrix_of<F>({{9, 4, 7}, {8, 3, 2}});
    pointer_to_objects<F> A = array_of(row_before), R = array_of(ZEM_matrix<F>(3, 3, F(1)));
    sweep_a_row(1, A, R, 3, 2);
    EXPECT_EQ(ZEM_matrix<F>(3, 2, A), matrix_of<F>({{9, 7, -3}, {8, 2, 1}}));
    EXPECT_EQ(row_before * ZEM_matrix<F>(3, 3, R), ZEM_matrix<F>(3, 2, A));
    const ZEM_matrix<F> column_before = matrix_of<F>({{1, 1}, {7, 2}, {3, 5}, {0, 0}});
    pointer_to_objects<F> B = array_of(column_before), L = array_of(ZEM_matrix<F>(4, 4, F(1)));
    sweep_a_column(1, B, L, 2, 4);
    EXPECT_EQ(ZEM_matrix<F>(2, 4, B), matrix_of<F>({{1, 1}, {7, 2}, {-11, 1}, {0, 0}}));
    EXPECT_EQ(ZEM_matrix<F>(4, 4, L) * column_before, ZEM_matrix<F>(2, 4, B));
    // The elementary operations: lines out of range, or equal indices, change nothing.
    pointer_to_objects<I> P = array_of(matrix_of<I>({{1, 2, 3}, {4, 5, 6}}));
    exchange_columns(P, 0, 3, 3, 2);
    substract_columns(P, I(1), 3, 0, 3, 2);
    exchange_rows(P, 0, 2, 3, 2);
    substract_rows(P, I(1), 2, 0, 3, 2);
    exchange_columns(P, 0, 2, 3, 2);
    substract_columns(P, I(2), 0, 2, 3, 2);
    substract_rows(P, I(-1), 1, 0, 3, 2);
    exchange_rows(P, 1, 0, 3, 2);
    EXPECT_EQ(ZEM_matrix<I>(3, 2, P), matrix_of<I>({{-1, 7, 5}, {1, 2, 1}}));
    P = array_of(matrix_of<I>({{0, 1, 2}, {10, 11, 12}, {20, 21, 22}, {30, 31, 32}}));
    insert_row_before(P, 3, 1, 3, 4);
    insert_row_before(P, 2, 2, 3, 4);
    insert_row_before(P, 4, 1, 3, 4);
    insert_column_before(P, 2, 0, 3, 4);
    insert_column_before(P, 3, 0, 3, 4);
    EXPECT_EQ(ZEM_matrix<I>(3, 4, P), matrix_of<I>({{2, 0, 1}, {32, 30, 31}, {12, 10, 11}, {22, 20, 21}}));
    const pointer_to_objects<I> dirty = array_of(matrix_of<I>({{1, 0, 5}, {0, 2, 0}, {0, 6, 3}}));
    EXPECT_EQ(still_dirty(0, dirty, 3, 3) + 2 * still_dirty(1, dirty, 3, 3) + 4 * still_dirty(2, dirty, 3, 3), 3);
}

// The ordering step on a diagonal whose last entry is new, L and R marked so that
// their moved rows and columns show: the diagonal after it, and which old row of L
// (and old column of R) stands at each place.
template <class T>
void expect_sorted(const std::vector<T>& diagonal, const std::vector<T>& expected, const std::vector<int>& moved)
{
    const int n = static_cast<int>(diagonal.size()), k = n - 1;
    pointer_to_objects<T> A = array_of(ZEM_matrix<T>(n, n, T())), L(n * n), R(n * n);
    for (int i = 0; i < n; ++i) {
        A[i * n + i] = diagonal[std::size_t(i)];
        for (int j = 0; j < n; ++j) L[i * n + j] = R[j * n + i] = T(i + 1);
    }
    sort_top_left_matrix(k, A, L, R, n, n);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(A[i * n + i], expected[std::size_t(i)]);
        EXPECT_EQ(L[i * n], T(moved[std::size_t(i)] + 1));
        EXPECT_EQ(R[i], T(moved[std::size_t(i)] + 1));
    }
}

// One position made clean from the identities: D, L and R.
template <class T>
void expect_clean(const ZEM_matrix<T>& A, const ZEM_matrix<T>& D, const ZEM_matrix<T>& L, const ZEM_matrix<T>& R)
{
    const int n = A.columns(), m = A.rows();
    pointer_to_objects<T> a = array_of(A), l = array_of(ZEM_matrix<T>(m, m, T(1)));
    pointer_to_objects<T> r = array_of(ZEM_matrix<T>(n, n, T(1)));
    clean_row_and_column(0, a, l, r, n, m);
    EXPECT_EQ(ZEM_matrix<T>(n, m, a), D) << A;
    EXPECT_EQ(ZEM_matrix<T>(m, m, l), L) << A;
    EXPECT_EQ(ZEM_matrix<T>(n, n, r), R) << A;
}

TEST(DenseArrayOperations, WorkedOrderingAndCleaning)
{
    const C i = root_of_unity(1, 4);
    expect_sorted<I>({9, 4, 1, 5}, {9, 5, 4, 1}, {0, 3, 1, 2});
    expect_sorted<I>({3, 2, 1, -2}, {3, -2, 2, 1}, {0, 3, 1, 2});  // the newer of equal sizes first
    expect_sorted<I>({4, 0, 0, 1}, {4, 1, 0, 0}, {0, 3, 2, 1});    // the zeros change places
    expect_sorted<I>({3, 2, -2, 2}, {3, 2, -2, 2}, {0, 3, 2, 1});  // the equal run reversed
    expect_sorted<I>({3, 2, 1}, {3, 2, 1}, {0, 1, 2});
    expect_sorted<F>({F(1, 2), F(1, 3), F(-1, 2)}, {F(-1, 2), F(1, 2), F(1, 3)}, {2, 0, 1});
    expect_sorted<C>({i, C(-1)}, {C(-1), i}, {1, 0});

    expect_clean(matrix_of<I>({{4, 6}}), matrix_of<I>({{2, 0}}), matrix_of<I>({{1}}), matrix_of<I>({{-1, 3}, {1, -2}}));
    expect_clean(matrix_of<I>({{4, 6, -7}}), matrix_of<I>({{-1, 0, 0}}), matrix_of<I>({{1}}),
                 matrix_of<I>({{0, 3, -1}, {1, -2, 3}, {1, 0, 2}}));
    expect_clean(matrix_of<F>({{F(1, 2), F(1, 3)}}), matrix_of<F>({{F(1, 6), 0}}), matrix_of<F>({{1}}),
                 matrix_of<F>({{1, -2}, {-1, 3}}));
    expect_clean(matrix_of<C>({{2, 3}}), matrix_of<C>({{2, 0}}), matrix_of<C>({{1}}),
                 matrix_of<C>({{1, C(F(-3, 2))}, {0, 1}}));
    expect_clean(matrix_of<I>({{2, 0}, {4, 1}}), matrix_of<I>({{2, 0}, {0, 1}}), matrix_of<I>({{1, 0}, {-2, 1}}),
                 matrix_of<I>({{1, 0}, {0, 1}}));
}

}
