// For tests of the reduction: the steps done exactly as written, entry by entry,
// to compare the fast reduction with, and checks of a diagonal form.
#pragma once

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "module-matrix_a/reduction.h"
#include "support/failure.h"

namespace reduction_testing {

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

// The steps exactly as written: whole rows and columns combined entry by entry,
// zero multipliers included, and every ordering move made on L and R at once.
template <class T>
struct literal_reduction {
    std::vector<T> A, L, R;
    int n, m;

    explicit literal_reduction(const ZEM_matrix<T>& input) : n(input.columns()), m(input.rows())
    {
        A.assign(input.elements(), input.elements() + n * m);
        L.assign(static_cast<std::size_t>(m * m), T());
        R.assign(static_cast<std::size_t>(n * n), T());
        for (int i = 0; i < m; ++i) L[i * m + i] = T(1);
        for (int i = 0; i < n; ++i) R[i * n + i] = T(1);
        for (int k = 0; k < std::min(m, n); ++k) {
            while (dirty(k)) {
                sweep_row(k);
                sweep_column(k);
            }
            sort(k);
        }
    }
    bool dirty(int k) const
    {
        for (int j = k + 1; j < n; ++j)
            if (!is_zero_entry(A[k * n + j])) return true;
        for (int i = k + 1; i < m; ++i)
            if (!is_zero_entry(A[i * n + k])) return true;
        return false;
    }
    int pivot(int k, int count, int first, int stride) const
    {
        int best = k;
        for (int i = k; i < count; ++i) {
            const T& x = A[first + i * stride];
            if (is_zero_entry(x)) continue;
            if (is_zero_entry(A[first + best * stride]) || entry_size(x) < entry_size(A[first + best * stride])) best = i;
        }
        return best;
    }
    void sweep_row(int k)
    {
        const int j = pivot(k, n, k * n, 1);
        const T p = A[k * n + j];
        if (is_zero_entry(p)) return;
        for (int i = 0; i < m && j != k; ++i) std::swap(A[i * n + j], A[i * n + k]);
        for (int i = 0; i < n && j != k; ++i) std::swap(R[i * n + j], R[i * n + k]);
        for (int c = k + 1; c < n; ++c) {
            if (is_zero_entry(A[k * n + c])) continue;
            const T q = sweep_quotient(A[k * n + c], p);
            for (int i = 0; i < m; ++i) A[i * n + c] = A[i * n + c] - A[i * n + k] * q;
            for (int i = 0; i < n; ++i) R[i * n + c] = R[i * n + c] - R[i * n + k] * q;
        }
    }
    void sweep_column(int k)
    {
        const int i0 = pivot(k, m, k, n);
        const T p = A[i0 * n + k];
        if (is_zero_entry(p)) return;
        for (int j = 0; j < n && i0 != k; ++j) std::swap(A[i0 * n + j], A[k * n + j]);
        for (int j = 0; j < m && i0 != k; ++j) std::swap(L[i0 * m + j], L[k * m + j]);
        for (int i = k + 1; i < m; ++i) {
            if (is_zero_entry(A[i * n + k])) continue;
            const T q = sweep_quotient(A[i * n + k], p);
            for (int j = 0; j < n; ++j) A[i * n + j] = A[i * n + j] - A[k * n + j] * q;
            for (int j = 0; j < m; ++j) L[i * m + j] = L[i * m + j] - L[k * m + j] * q;
        }
    }
    void sort(int k)
    {
        for (int i = 0; i < k; ++i) {
            if (entry_size(A[k * n + k]) < entry_size(A[i * n + i])) continue;
            const T kept = A[k * n + k];
            for (int j = k; j > i; --j) A[j * n + j] = A[(j - 1) * n + (j - 1)];
            A[i * n + i] = kept;
            for (int r = 0; r < n; ++r) std::rotate(R.begin() + r * n + i, R.begin() + r * n + k, R.begin() + r * n + k + 1);
            std::rotate(L.begin() + i * m, L.begin() + k * m, L.begin() + (k + 1) * m);
        }
    }
    ZEM_matrix<T> as_matrix(const std::vector<T>& v, int c, int r) const
    {
        pointer_to_objects<T> a(c * r);
        std::copy(v.begin(), v.end(), a.begin());
        return ZEM_matrix<T>(c, r, a);
    }
};

// The number of non-zero diagonal entries, after checking that D is diagonal,
// its non-zero entries first and their sizes non-increasing.
template <class T>
int diagonal_rank(const ZEM_matrix<T>& D)
{
    const int n = D.columns(), m = D.rows();
    int rank = 0;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
            const T& d = D.elements()[i * n + j];
            if (i != j) {
                EXPECT_TRUE(is_zero_entry(d)) << "off the diagonal at " << i << ", " << j;
                continue;
            }
            if (is_zero_entry(d)) continue;
            EXPECT_EQ(rank, i) << "a non-zero entry after a zero one";
            ++rank;
            if (i > 0) {
                EXPECT_FALSE(entry_size(D.elements()[(i - 1) * n + i - 1]) < entry_size(d));
            }
        }
    return rank;
}

// D, L and R are those of the steps done as written, and the reduction without
// L gives the same D and R.
template <class T>
void expect_as_written(const ZEM_matrix<T>& A, const reduced<T>& r)
{
    const int n = A.columns(), m = A.rows();
    const literal_reduction<T> literal(A);
    EXPECT_EQ(r.D, literal.as_matrix(literal.A, n, m));
    EXPECT_EQ(r.L, literal.as_matrix(literal.L, m, m));
    EXPECT_EQ(r.R, literal.as_matrix(literal.R, n, n));
    ZEM_matrix<T> D, R;
    diagonize_without_left(A, D, R);
    EXPECT_EQ(D, r.D);
    EXPECT_EQ(R, r.R);
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
