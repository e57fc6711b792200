// Reduction of a matrix A (m rows, n columns) to diagonal form D = L * A * R by
// exact, invertible row and column operations. The working arrays hold matrices
// row by row: A with stride n, L (m x m) with stride m, R (n x n) with stride n.
// Every step takes the diagonal position k first, then the arrays, then n and m.
// After position k has been cleaned and ordered, rows and columns 0..k of A hold
// nothing off the diagonal and the diagonal entries 0..k stand in non-increasing
// order of size, so every non-zero entry comes before every zero one.
//
// An operation whose source entry is zero changes nothing, so the sweeps visit
// only the non-zero entries of the lines they combine; the results are exactly
// those of combining whole lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-matrix_a/entry_size.h"
#include "module-object/error.h"
#include "module-object/pointer_to_objects.h"

namespace reduction {

template <class T>
using size_of = decltype(entry_size(std::declval<const T&>()));

// Entries of one row or one column of an array, counted from 0.
template <class T>
struct line {
    T* first;
    std::ptrdiff_t stride;
    T& operator[](int i) const { return first[i * stride]; }
};

template <class T>
line<const T> read_only(line<T> l)
{
    return {l.first, l.stride};
}

template <class T>
line<T> row_of(T* P, int r, int row_length)
{
    return {P + static_cast<std::ptrdiff_t>(r) * row_length, 1};
}

template <class T>
line<T> column_of(T* P, int c, int row_length)
{
    return {P + c, row_length};
}

// The positions of the non-zero entries of l in [from, to), in order.
template <class T>
void list_nonzero(line<const T> l, int from, int to, std::vector<int>& nonzero)
{
    nonzero.clear();
    for (int i = from; i < to; ++i)
        if (!is_zero_entry(l[i])) nonzero.push_back(i);
}

// The first of the listed positions whose entry is of smallest size, or -1
// when none is listed; the list is in increasing order.
template <class T>
int smallest_listed(line<const T> l, const std::vector<int>& listed)
{
    int best = -1;
    size_of<T> best_size{};
    for (int i : listed) {
        const size_of<T> s = entry_size(l[i]);
        if (best < 0 || s < best_size) {
            best = i;
            best_size = s;
        }
    }
    return best;
}

// The first position in [k, to) of a non-zero entry of least size, or k.
template <class T>
int pivot_from(line<const T> l, int k, int to)
{
    std::vector<int> nonzero;
    list_nonzero<T>(l, k, to, nonzero);
    const int best = smallest_listed<T>(l, nonzero);
    return best < 0 ? k : best;
}

// `nonzero` lists the non-zero positions from `from` on; once the pivot has been
// exchanged into `from`, it lists those after `from`, in any order.
inline void after_exchange(std::vector<int>& nonzero, int from, int pivot)
{
    const bool from_held_an_entry = !nonzero.empty() && nonzero.front() == from;
    std::size_t kept = 0;
    for (int i : nonzero)
        if (i != from && i != pivot) nonzero[kept++] = i;
    nonzero.resize(kept);
    if (pivot != from && from_held_an_entry) nonzero.push_back(pivot);
}

// target := target - source * q at the listed positions.
template <class T>
void subtract_multiple(line<T> target, line<const T> source, const T& q, const std::vector<int>& positions)
{
    for (int i : positions) target[i] = target[i] - source[i] * q;
}

template <class T>
void exchange_lines(line<T> a, line<T> b, int from, int to)
{
    for (int i = from; i < to; ++i) swap_entries(a[i], b[i]);
}

// Moves entry `from` of l to index `to`; the entries between shift by one.
template <class T>
void move_entry(line<T> l, int from, int to)
{
    T moving = l[from];
    for (int i = from; i > to; --i) l[i] = l[i - 1];
    for (int i = from; i < to; ++i) l[i] = l[i + 1];
    l[to] = moving;
}

// The order of a diagonal by non-increasing size: order()[p] is the position
// whose entry stands at p. A new entry goes before every entry of its size or
// smaller; then the run of entries of the size of the last one, at the end of
// the part that moved, is reversed. That is where inserting the entry by
// repeated moves, comparing afresh after each, leaves every entry.
template <class T>
class diagonal_order {
public:
    // The next entry, left where it stands.
    void keep(const T& entry)
    {
        order_.push_back(static_cast<int>(order_.size()));
        sizes_.push_back(entry_size(entry));
    }
    // The next entry, moved into its place.
    void place(const T& entry)
    {
        const int k = static_cast<int>(order_.size());
        keep(entry);
        int p = 0;
        while (p < k && sizes_[k] < sizes_[p]) ++p;
        if (p == k) return;
        std::rotate(order_.begin() + p, order_.begin() + k, order_.end());
        std::rotate(sizes_.begin() + p, sizes_.begin() + k, sizes_.end());
        int run = k;
        while (run - 1 > p && !(sizes_[k] < sizes_[run - 1])) --run;
        std::reverse(order_.begin() + run, order_.end());
        std::reverse(sizes_.begin() + run, sizes_.end());
    }
    const std::vector<int>& order() const { return order_; }

private:
    std::vector<int> order_;
    std::vector<size_of<T>> sizes_;
};

// Row p of P becomes the old row order[p], for every p the order covers.
template <class T>
void reorder_rows(T* P, int row_length, const std::vector<int>& order)
{
    std::vector<bool> done(order.size());
    std::vector<T> held(static_cast<std::size_t>(row_length));
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (done[start] || order[start] == static_cast<int>(start)) continue;
        T* start_row = P + start * static_cast<std::size_t>(row_length);
        std::copy(start_row, start_row + row_length, held.begin());
        std::size_t p = start;
        while (true) {
            done[p] = true;
            const std::size_t from = static_cast<std::size_t>(order[p]);
            T* target = P + p * static_cast<std::size_t>(row_length);
            if (from == start) {
                std::copy(held.begin(), held.end(), target);
                break;
            }
            const T* source = P + from * static_cast<std::size_t>(row_length);
            std::copy(source, source + row_length, target);
            p = from;
        }
    }
}

// Column p of P becomes the old column order[p], in each of the n_rows rows.
template <class T>
void reorder_columns(T* P, int row_length, int n_rows, const std::vector<int>& order)
{
    std::vector<T> row(order.size());
    for (int i = 0; i < n_rows; ++i) {
        T* r = P + static_cast<std::ptrdiff_t>(i) * row_length;
        for (std::size_t p = 0; p < order.size(); ++p) row[p] = r[order[p]];
        std::copy(row.begin(), row.end(), r);
    }
}

// Diagonal entry p of A (stride n) becomes the old entry order[p].
template <class T>
void reorder_diagonal(T* A, int n, const std::vector<int>& order)
{
    const line<T> diagonal{A, static_cast<std::ptrdiff_t>(n) + 1};
    std::vector<T> held(order.size());
    for (std::size_t p = 0; p < order.size(); ++p) held[p] = diagonal[order[p]];
    for (std::size_t p = 0; p < order.size(); ++p) diagonal[static_cast<int>(p)] = held[p];
}

// Row k right of the diagonal, or column k below it, holds a non-zero entry.
template <class T>
bool dirty(const T* A, int k, int n, int m)
{
    for (int j = k + 1; j < n; ++j)
        if (!is_zero_entry(A[k * n + j])) return true;
    for (int i = k + 1; i < m; ++i)
        if (!is_zero_entry(A[i * n + k])) return true;
    return false;
}

// The sweeps and the cleaning of one position, on arrays it does not own. L may
// be absent; the row operations then change A alone.
//
// Within diagonize more is known, and used: rows and columns before k hold
// nothing off the diagonal, so lines are combined from k on; R is held
// transposed, so that its columns are contiguous; and the non-zero rows of
// column k are remembered from one sweep to the next while column k stays put.
template <class T>
class reducer {
public:
    enum mode { as_given, within_diagonize };

    reducer(T* a, T* l, T* r, int n, int m, mode how = as_given)
        : a_(a), l_(l), r_(r), n_(n), m_(m), within_(how == within_diagonize)
    {
    }

    // Row k: the pivot to (k, k) by a column exchange, then every later entry of
    // row k reduced by a multiple of column k; the same on R.
    void sweep_row(int k)
    {
        list_nonzero<T>(row_of<const T>(a_, k, n_), k, n_, targets_);
        const int j = smallest_listed<T>(row_of<const T>(a_, k, n_), targets_);
        if (j < 0) return;
        const T pivot = a_[k * n_ + j];
        if (j != k) {
            exchange_lines(column_of(a_, j, n_), column_of(a_, k, n_), first(k), m_);
            exchange_lines(r_column(j), r_column(k), 0, n_);
            known_column_ = -1;
        }
        after_exchange(targets_, k, j);
        rows_of_column(k, first(k), in_a_);
        list_nonzero<T>(read_only(r_column(k)), 0, n_, in_other_);
        for (int c : targets_) {
            const T q = sweep_quotient(a_[k * n_ + c], pivot);
            subtract_multiple(column_of(a_, c, n_), column_of<const T>(a_, k, n_), q, in_a_);
            subtract_multiple(r_column(c), read_only(r_column(k)), q, in_other_);
        }
    }

    // Column k: the mirror of sweep_row, by row operations repeated on L.
    // Answers whether column k is zero below the diagonal afterwards.
    bool sweep_column(int k)
    {
        rows_of_column(k, k, targets_);
        const int p = smallest_listed<T>(column_of<const T>(a_, k, n_), targets_);
        if (p < 0) return true;
        const T pivot = a_[p * n_ + k];
        if (p != k) {
            exchange_lines(row_of(a_, p, n_), row_of(a_, k, n_), first(k), n_);
            if (l_) exchange_lines(row_of(l_, p, m_), row_of(l_, k, m_), 0, m_);
        }
        after_exchange(targets_, k, p);
        list_nonzero<T>(row_of<const T>(a_, k, n_), first(k), n_, in_a_);
        if (l_) list_nonzero<T>(row_of<const T>(l_, k, m_), 0, m_, in_other_);
        remainders_.assign(1, k);
        for (int i : targets_) {
            const T q = sweep_quotient(a_[i * n_ + k], pivot);
            subtract_multiple(row_of(a_, i, n_), row_of<const T>(a_, k, n_), q, in_a_);
            if (l_) subtract_multiple(row_of(l_, i, m_), row_of<const T>(l_, k, m_), q, in_other_);
            if (!is_zero_entry(a_[i * n_ + k])) remainders_.push_back(i);
        }
        const bool clean_below = remainders_.size() == 1;
        if (within_) {
            std::sort(remainders_.begin() + 1, remainders_.end());
            column_rows_.swap(remainders_);
            known_column_ = k;
        }
        return clean_below;
    }

    // Each cycle but the last makes the entry at (k, k) strictly smaller, so the
    // bound is reached only by a fault.
    void clean(int k)
    {
        if (!row_dirty(k) && !column_dirty(k)) return;
        for (int cycle = 0;; ++cycle) {
            if (cycle == cycle_bound)
                _zem_error_("module-matrix_a/matrix_a-t", __LINE__,
                            "[clean_row_and_column] no diagonal form after 100000 cycles (please report)");
            sweep_row(k);
            const bool column_clean = sweep_column(k);
            if (column_clean && !row_dirty(k)) return;
        }
    }

    static constexpr int cycle_bound = 100000;

private:
    int first(int k) const { return within_ ? k : 0; }

    line<T> r_column(int c) const { return within_ ? row_of(r_, c, n_) : column_of(r_, c, n_); }

    bool row_dirty(int k) const
    {
        for (int j = k + 1; j < n_; ++j)
            if (!is_zero_entry(a_[k * n_ + j])) return true;
        return false;
    }

    bool column_dirty(int k)
    {
        if (!within_) return dirty(a_, k, n_, m_);
        rows_of_column(k, k, in_a_);
        return column_rows_.size() > 1 || (column_rows_.size() == 1 && column_rows_[0] != k);
    }

    // The rows from `from` on whose entry in column k is not zero, in increasing
    // order; within diagonize `from` is k.
    void rows_of_column(int k, int from, std::vector<int>& rows)
    {
        if (within_ && known_column_ == k) {
            rows = column_rows_;
            return;
        }
        list_nonzero<T>(column_of<const T>(a_, k, n_), from, m_, rows);
        if (!within_) return;
        column_rows_ = rows;
        known_column_ = k;
    }

    T* a_;
    T* l_;
    T* r_;
    int n_;
    int m_;
    bool within_;
    std::vector<int> targets_, in_a_, in_other_, remainders_, column_rows_;
    int known_column_ = -1;
};

template <class T>
void transpose_square(T* P, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) swap_entries(P[i * n + j], P[j * n + i]);
}

// diagonize with or without L.
template <class T>
void reduce(const ZEM_matrix<T>& A, ZEM_matrix<T>* L, ZEM_matrix<T>& D, ZEM_matrix<T>& R)
{
    const int m = A.rows();
    const int n = A.columns();
    fresh_matrix<T> work(A);
    std::optional<fresh_matrix<T>> left;
    if (L) left.emplace(m, m, T(1));
    fresh_matrix<T> right(n, n, T(1));
    reducer<T> steps(work.elements(), left ? left->elements() : nullptr, right.elements(), n, m,
                     reducer<T>::within_diagonize);
    diagonal_order<T> order;
    for (int k = 0; k < std::min(m, n); ++k) {
        steps.clean(k);
        order.place(work.elements()[k * n + k]);
    }
    // The ordering moves whole clean rows and columns, so it is applied once, at
    // the end: to the rows of L and of R, which is held transposed until here.
    reorder_diagonal(work.elements(), n, order.order());
    reorder_rows(right.elements(), n, order.order());
    transpose_square(right.elements(), n);
    if (L) {
        reorder_rows(left->elements(), m, order.order());
        *L = left->finish();
    }
    D = work.finish();
    R = right.finish();
}

}

// The column j >= k of the non-zero entry of least size in row k (the first of
// equal sizes), or k when there is none.
template <class T>
int a_row_sweeper(int k, const pointer_to_objects<T>& A, int n_columns, int n_rows)
{
    (void)n_rows;
    return reduction::pivot_from(reduction::row_of(A.block(), k, n_columns), k, n_columns);
}

// The row i >= k of the non-zero entry of least size in column k, or k when there is none.
template <class T>
int a_column_sweeper(int k, const pointer_to_objects<T>& A, int n_columns, int n_rows)
{
    return reduction::pivot_from(reduction::column_of(A.block(), k, n_columns), k, n_rows);
}

template <class T>
void exchange_columns(pointer_to_objects<T>& P, int a, int b, int n, int rows)
{
    if (a >= n || b >= n) return;
    reduction::exchange_lines(reduction::column_of(P.block(), a, n), reduction::column_of(P.block(), b, n), 0, rows);
}

// Column t := column t - column s * q, in every row.
template <class T>
void substract_columns(pointer_to_objects<T>& P, T q, int t, int s, int n, int rows)
{
    if (t >= n || s >= n) return;
    std::vector<int> nonzero;
    reduction::list_nonzero<T>(reduction::column_of<const T>(P.block(), s, n), 0, rows, nonzero);
    reduction::subtract_multiple(reduction::column_of(P.block(), t, n), reduction::column_of<const T>(P.block(), s, n),
                                 q, nonzero);
}

template <class T>
void exchange_rows(pointer_to_objects<T>& P, int r1, int r2, int row_length, int row_count)
{
    if (r1 >= row_count || r2 >= row_count) return;
    reduction::exchange_lines(reduction::row_of(P.block(), r1, row_length), reduction::row_of(P.block(), r2, row_length), 0,
                              row_length);
}

// Row i := row i - row k * q, in every column.
template <class T>
void substract_rows(pointer_to_objects<T>& P, T q, int i, int k, int row_length, int row_count)
{
    if (i >= row_count || k >= row_count) return;
    std::vector<int> nonzero;
    reduction::list_nonzero<T>(reduction::row_of<const T>(P.block(), k, row_length), 0, row_length, nonzero);
    reduction::subtract_multiple(reduction::row_of(P.block(), i, row_length),
                                 reduction::row_of<const T>(P.block(), k, row_length), q, nonzero);
}

template <class T>
void sweep_a_row(int k, pointer_to_objects<T>& A, pointer_to_objects<T>& R, int n, int m)
{
    reduction::reducer<T>(A.block(), nullptr, R.block(), n, m).sweep_row(k);
}

template <class T>
void sweep_a_column(int k, pointer_to_objects<T>& A, pointer_to_objects<T>& L, int n, int m)
{
    reduction::reducer<T>(A.block(), L.block(), nullptr, n, m).sweep_column(k);
}

// Moves row `from` to index `to`; nothing when either is not below n_rows.
template <class T>
void insert_row_before(pointer_to_objects<T>& P, int from, int to, int n_columns, int n_rows)
{
    if (from >= n_rows || to >= n_rows || from == to) return;
    for (int j = 0; j < n_columns; ++j) reduction::move_entry(reduction::column_of(P.block(), j, n_columns), from, to);
}

// Moves column `from` to index `to`; nothing when either is not below n_columns.
template <class T>
void insert_column_before(pointer_to_objects<T>& P, int from, int to, int n_columns, int n_rows)
{
    if (from >= n_columns || to >= n_columns || from == to) return;
    for (int i = 0; i < n_rows; ++i) reduction::move_entry(reduction::row_of(P.block(), i, n_columns), from, to);
}

// Puts the diagonal entry (k, k) in its place among the ordered entries 0..k-1,
// moving the rows of L and the columns of R alike.
template <class T>
void sort_top_left_matrix(int k, pointer_to_objects<T>& A, pointer_to_objects<T>& L, pointer_to_objects<T>& R,
                          int n_columns, int n_rows)
{
    reduction::diagonal_order<T> order;
    for (int p = 0; p < k; ++p) order.keep(A[p * n_columns + p]);
    order.place(A[k * n_columns + k]);
    reduction::reorder_diagonal(A.block(), n_columns, order.order());
    reduction::reorder_rows(L.block(), n_rows, order.order());
    reduction::reorder_columns(R.block(), n_columns, n_columns, order.order());
}

// 1 when row k right of the diagonal or column k below it holds a non-zero entry.
template <class T>
int still_dirty(int k, const pointer_to_objects<T>& A, int n, int m)
{
    return reduction::dirty(A.block(), k, n, m) ? 1 : 0;
}

template <class T>
void clean_row_and_column(int k, pointer_to_objects<T>& A, pointer_to_objects<T>& L, pointer_to_objects<T>& R, int n,
                          int m)
{
    reduction::reducer<T>(A.block(), L.block(), R.block(), n, m).clean(k);
}

// D = L * A * R with D diagonal, its entries in non-increasing order of size and
// every zero after every non-zero one; L (m x m) and R (n x n) are invertible.
// A may be the same handle as an output.
template <class T>
void diagonize(const ZEM_matrix<T>& A, ZEM_matrix<T>& L, ZEM_matrix<T>& D, ZEM_matrix<T>& R)
{
    const ZEM_matrix<T> input = A;
    reduction::reduce(input, &L, D, R);
}

// The same D and R as diagonize, without building L.
template <class T>
void diagonize_without_left(const ZEM_matrix<T>& A, ZEM_matrix<T>& D, ZEM_matrix<T>& R)
{
    const ZEM_matrix<T> input = A;
    reduction::reduce<T>(input, nullptr, D, R);
}
