// For tests of the reduction: matrices as working arrays, the steps done
// literally, entry by entry on whole lines, to compare the fast reduction with,
// and the checks of a diagonal form.
#pragma once

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "module-matrix_a/reduction.h"
#include "support/failure.h"

namespace reduction_testing {

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

// D, L and R are those of the literal steps, and the reduction without L gives
// the same D and R.
template <class T>
void expect_as_written(const ZEM_matrix<T>& A, const reduced<T>& r)
{
    const literal_reduction<T> literal(A);
    const int n = A.columns(), m = A.rows();
    EXPECT_EQ(r.D, ZEM_matrix<T>(n, m, literal.A));
    EXPECT_EQ(r.L, ZEM_matrix<T>(m, m, literal.L));
    EXPECT_EQ(r.R, ZEM_matrix<T>(n, n, literal.R));
    ZEM_matrix<T> D, R;
    diagonize_without_left(A, D, R);
    EXPECT_EQ(D, r.D);
    EXPECT_EQ(R, r.R);
}

// The number of non-zero entries of D, after checking that they stand on the
// diagonal, before every zero one and in non-increasing size.
template <class T>
int diagonal_rank(const ZEM_matrix<T>& D)
{
    int rank = 0;
    for (int i = 1; i <= D.rows(); ++i)
        for (int j = 1; j <= D.columns(); ++j) {
            if (is_zero_entry(D.element(j, i))) continue;
            EXPECT_TRUE(i == j && i == ++rank) << "a non-zero entry off the diagonal or after a zero one";
            EXPECT_FALSE(i == j && i > 1 && entry_size(D.element(i - 1, i - 1)) < entry_size(D.element(j, i))) << "not ordered";
        }
    return rank;
}

// Runs `check`; a failure must be an overflow of the scalars, and is counted.
template <class Check>
void exact_or_overflow(Check check, int& overflows)
{
    const std::string failure = failure_of(check);
    if (failure == "(no failure)") return;
    EXPECT_TRUE(failure == run_time("[ZEM_fraction] overflow") || failure == run_time("[ZEM_int] overflow")) << failure;
    ++overflows;
}

}
