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
// those of combining whole lines. The sweeps work on sparse rows and columns
// (sparse_reduction); the dense arrays above are those of the single steps.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <iterator>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-matrix_a/entry_size.h"
#include "module-object/error.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"
#include "numbers/wide_numbers.h"

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

// The first of the candidates whose entry(i) is of least size, or -1 when
// there is none; a later candidate wins only by a strictly smaller size.
template <class T, class Entry>
int first_of_least_size(const std::vector<int>& candidates, Entry entry)
{
    int best = -1;
    size_of<T> best_size{};
    for (int i : candidates) {
        const size_of<T> s = entry_size(entry(i));
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
    const int best = first_of_least_size<T>(nonzero, [&](int i) -> const T& { return l[i]; });
    return best < 0 ? k : best;
}

// a - b * c; wide numbers form it in one step.
template <class T>
T minus_product(const T& a, const T& b, const T& c)
{
    return a - b * c;
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
//
// The entries are held in classes of equal size, largest first, so that an
// entry is placed in logarithmic time: it goes to the front of its class, and
// the run that is reversed is always the last class but the new entry.
template <class T>
class diagonal_order {
public:
    // The next entry, left where it stands: the entries kept so far are ordered.
    void keep(const T& entry)
    {
        classes_.try_emplace(classes_.end(), entry_size(entry))->second.push(count_++, false);
    }
    // The next entry, moved into its place.
    void place(const T& entry)
    {
        const size_of<T> s = entry_size(entry);
        auto at = classes_.lower_bound(s);
        if (at == classes_.end()) {
            classes_.try_emplace(at, s)->second.push(count_++, false);
            return;
        }
        std::prev(classes_.end())->second.reversed ^= true;
        if (at->first < s) at = classes_.try_emplace(at, s);
        at->second.push(count_++, true);
    }
    std::vector<int> order() const
    {
        std::vector<int> result;
        result.reserve(std::size_t(count_));
        for (const auto& [size, members] : classes_) {
            if (members.reversed)
                result.insert(result.end(), members.positions.rbegin(), members.positions.rend());
            else
                result.insert(result.end(), members.positions.begin(), members.positions.end());
        }
        return result;
    }

private:
    // Positions of one size, in order, or in reverse order when `reversed`.
    struct equal_sizes {
        std::deque<int> positions;
        bool reversed = false;
        void push(int position, bool in_front)
        {
            if (in_front != reversed)
                positions.push_front(position);
            else
                positions.push_back(position);
        }
    };
    struct larger_first {
        bool operator()(const size_of<T>& a, const size_of<T>& b) const { return b < a; }
    };
    std::map<size_of<T>, equal_sizes, larger_first> classes_;
    int count_ = 0;
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

// How an element is held in the sparse lines: an integer as an int, a fraction
// as its two parts, a cyclotomic number as itself. Stored values are never zero.
template <class T>
struct plain {
    using type = T;
    static const T& stored(const T& x) { return x; }
    static T&& stored(T&& x) { return std::move(x); }
    static const T& value(const T& p) { return p; }
};

template <>
struct plain<ZEM_int> {
    using type = int;
    static int stored(const ZEM_int& x) { return x.value(); }
    static ZEM_int value(int p) { return ZEM_int(p); }
};

template <>
struct plain<ZEM_fraction> {
    struct type {
        int numerator;
        int denominator;
    };
    static type stored(const ZEM_fraction& x) { return {x.numerator(), x.denominator()}; }
    static ZEM_fraction value(const type& p) { return ZEM_fraction(p.numerator, p.denominator); }
};

// The reduction on sparse matrices: A by rows, with the rows that may hold an
// entry in each column; R by columns; L by rows, when it is kept. The equations
// the solver reduces hold a few non-zero entries per row, so the work and the
// memory follow the non-zero entries. The steps are those of the dense form, on
// whole rows and columns, so D, L and R come out exactly the same.
template <class T>
class sparse_reduction {
public:
    using stored_as = plain<T>;
    struct entry {
        int index;
        typename stored_as::type value;
    };
    // The non-zero entries of a row or column, by increasing index.
    using sparse_line = std::vector<entry>;

    // A is m x n and zero; R (and L when kept) the identity.
    sparse_reduction(int m, int n, bool keep_left) : m_(m), n_(n), a_(std::size_t(m)), in_column_(std::size_t(n))
    {
        identity(r_, n);
        if (keep_left) identity(l_, m);
    }

    // Entry (i, j) of A, added to what is there.
    void add(int i, int j, const T& x)
    {
        if (!is_zero_entry(x)) set(i, j, at(a_[std::size_t(i)], j) + x);
    }
    // Entry (i, j) of A where row i holds nothing at column j or later.
    void append(int i, int j, const T& x)
    {
        if (is_zero_entry(x)) return;
        a_[std::size_t(i)].push_back({j, stored_as::stored(x)});
        in_column_[std::size_t(j)].push_back(i);
    }

    // The dense arrays of the reduction's steps, row by row: A with stride n,
    // R (n x n) with stride n, L (m x m) with stride m.
    void load(const T* A, const T* L, const T* R)
    {
        for (int i = 0; i < m_; ++i)
            for (int j = 0; j < n_; ++j) append(i, j, A[i * n_ + j]);
        if (R) from_dense(r_, R, n_, true);
        if (L) from_dense(l_, L, m_, false);
    }
    void store(T* A, T* L, T* R) const
    {
        to_dense(a_, A, n_, false);
        if (R) to_dense(r_, R, n_, true);
        if (L) to_dense(l_, L, m_, false);
    }

    // Row k: the pivot to (k, k) by a column exchange, then every later entry of
    // row k reduced by a multiple of column k, in every row; the same on R.
    void sweep_row(int k)
    {
        const sparse_line& row = a_[std::size_t(k)];
        std::vector<int> columns;
        for (const entry& e : row)
            if (e.index >= k) columns.push_back(e.index);
        const int j = first_of_least_size<T>(columns, [&](int c) -> entry_ref { return at(row, c); });
        if (j < 0) return;
        const T pivot = at(row, j);
        if (j != k) exchange_columns(j, k);
        // The quotient of every later entry of row k, as a line; a zero one changes nothing.
        sparse_line quotients;
        for (const entry& e : a_[std::size_t(k)]) {
            if (e.index <= k) continue;
            T q = sweep_quotient(value(e), pivot);
            if (!is_zero_entry(q)) quotients.push_back({e.index, stored_as::stored(std::move(q))});
        }
        for (const entry& q : quotients) subtract_multiple(r_[std::size_t(q.index)], r_[std::size_t(k)], value(q), nullptr);
        // Column c loses q_c times column k in every row: row i, at once for
        // every c, loses A(i, k) times the quotients.
        std::vector<std::pair<int, T>> sources;
        for (int i : rows_in_column(k)) sources.emplace_back(i, at(a_[std::size_t(i)], k));
        for (const auto& [i, source] : sources) subtract_multiple(a_[std::size_t(i)], quotients, source, &i, true);
    }

    // Column k: the mirror of sweep_row, by row operations repeated on L.
    // Answers whether column k is zero below the diagonal afterwards.
    bool sweep_column(int k)
    {
        std::vector<int> rows;
        for (int i : rows_in_column(k))
            if (i >= k) rows.push_back(i);
        const int p = first_of_least_size<T>(rows, [&](int i) -> entry_ref { return at(a_[std::size_t(i)], k); });
        if (p < 0) return true;
        const T pivot = at(a_[std::size_t(p)], k);
        if (p != k) exchange_rows(p, k);
        std::vector<std::pair<int, T>> targets;
        for (int i : rows_in_column(k))
            if (i > k) targets.emplace_back(i, at(a_[std::size_t(i)], k));
        bool clean_below = true;
        for (const auto& [i, x] : targets) {
            const T q = sweep_quotient(x, pivot);
            subtract_multiple(a_[std::size_t(i)], a_[std::size_t(k)], q, &i);
            if (!l_.empty()) subtract_multiple(l_[std::size_t(i)], l_[std::size_t(k)], q, nullptr);
            if (!is_zero_entry(at(a_[std::size_t(i)], k))) clean_below = false;
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
                ZEM_FAIL("[clean_row_and_column] no diagonal form after 100000 cycles (please report)");
            sweep_row(k);
            const bool column_clean = sweep_column(k);
            if (column_clean && !row_dirty(k)) return;
        }
    }

    // Cleans every diagonal position and orders the diagonal.
    void reduce()
    {
        diagonal_order<T> order;
        for (int k = 0; k < std::min(m_, n_); ++k) {
            clean(k);
            order.place(diagonal(k));
        }
        ordered_ = order.order();
    }

    // After reduce: diagonal entry p, column p of R and row p of L, in the
    // ordered positions.
    T ordered_diagonal(int p) const { return diagonal(moved(p)); }
    const sparse_line& right_column(int p) const { return r_[std::size_t(moved(p))]; }
    const sparse_line& left_row(int p) const { return l_[std::size_t(moved(p))]; }

    // A reference to the held value where it is held as itself, else a copy.
    using entry_ref = decltype(stored_as::value(std::declval<const typename stored_as::type&>()));
    static entry_ref value(const entry& e) { return stored_as::value(e.value); }

    static constexpr int cycle_bound = 100000;

private:
    static void identity(std::vector<sparse_line>& lines, int n)
    {
        lines.assign(std::size_t(n), sparse_line());
        for (int i = 0; i < n; ++i) lines[std::size_t(i)].push_back({i, stored_as::stored(T(1))});
    }

    // Line i of `lines` from row i (or column i) of the n x n array P.
    static void from_dense(std::vector<sparse_line>& lines, const T* P, int n, bool by_columns)
    {
        for (int i = 0; i < n; ++i) {
            sparse_line& l = lines[std::size_t(i)];
            l.clear();
            for (int j = 0; j < n; ++j) {
                const T& x = by_columns ? P[j * n + i] : P[i * n + j];
                if (!is_zero_entry(x)) l.push_back({j, stored_as::stored(x)});
            }
        }
    }

    static void to_dense(const std::vector<sparse_line>& lines, T* P, int stride, bool by_columns)
    {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            T* first = by_columns ? P + i : P + i * std::size_t(stride);
            const std::size_t step = by_columns ? std::size_t(stride) : 1;
            for (int j = 0; j < stride; ++j) first[std::size_t(j) * step] = T();
            for (const entry& e : lines[i]) first[std::size_t(e.index) * step] = value(e);
        }
    }

    static typename sparse_line::const_iterator find(const sparse_line& l, int index)
    {
        return std::lower_bound(l.begin(), l.end(), index, [](const entry& e, int i) { return e.index < i; });
    }

    // Entry `index` of l, zero when l holds none.
    static entry_ref at(const sparse_line& l, int index)
    {
        const auto it = find(l, index);
        return it != l.end() && it->index == index ? value(*it) : zero_entry();
    }
    static entry_ref zero_entry()
    {
        static const T zero{};
        return zero;
    }

    T diagonal(int k) const { return at(a_[std::size_t(k)], k); }
    int moved(int p) const { return p < int(ordered_.size()) ? ordered_[std::size_t(p)] : p; }

    // A(i, j) := x.
    void set(int i, int j, T x)
    {
        sparse_line& row = a_[std::size_t(i)];
        const auto it = row.begin() + (find(row, j) - row.cbegin());
        const bool present = it != row.end() && it->index == j;
        if (is_zero_entry(x)) {
            if (present) row.erase(it);
        } else if (present) {
            it->value = stored_as::stored(std::move(x));
        } else {
            row.insert(it, {j, stored_as::stored(std::move(x))});
            in_column_[std::size_t(j)].push_back(i);
        }
    }

    // target := target - source * q (q * source with q_first, as a column
    // operation forms it); for a row i of A, new entries are listed with their
    // columns.
    void subtract_multiple(sparse_line& target, const sparse_line& source, const T& q, const int* row_of_a,
                           bool q_first = false)
    {
        sparse_line result;
        result.reserve(target.size() + source.size());
        auto t = target.begin();
        for (const entry& s : source) {
            for (; t != target.end() && t->index < s.index; ++t) result.push_back(std::move(*t));
            const bool present = t != target.end() && t->index == s.index;
            entry_ref current = present ? value(*t) : zero_entry();
            T x = q_first ? minus_product(current, q, value(s)) : minus_product(current, value(s), q);
            if (present) ++t;
            if (is_zero_entry(x)) continue;
            result.push_back({s.index, stored_as::stored(std::move(x))});
            if (!present && row_of_a) in_column_[std::size_t(s.index)].push_back(*row_of_a);
        }
        result.insert(result.end(), std::make_move_iterator(t), std::make_move_iterator(target.end()));
        target.swap(result);
    }

    // The rows that hold an entry in column c, in increasing order; the list is
    // tidied here, since rows that lose an entry are not taken off at once.
    const std::vector<int>& rows_in_column(int c)
    {
        std::vector<int>& rows = in_column_[std::size_t(c)];
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [&](int i) {
                                      const sparse_line& row = a_[std::size_t(i)];
                                      const auto it = find(row, c);
                                      return it == row.end() || it->index != c;
                                  }),
                   rows.end());
        return rows;
    }

    void exchange_columns(int j, int k)
    {
        std::vector<int> rows = rows_in_column(j);
        const std::vector<int>& other = rows_in_column(k);
        rows.insert(rows.end(), other.begin(), other.end());
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        for (int i : rows) {
            sparse_line& row = a_[std::size_t(i)];
            for (entry& e : row)
                if (e.index == j || e.index == k) e.index = e.index == j ? k : j;
            std::sort(row.begin(), row.end(), [](const entry& a, const entry& b) { return a.index < b.index; });
        }
        in_column_[std::size_t(j)].swap(in_column_[std::size_t(k)]);
        r_[std::size_t(j)].swap(r_[std::size_t(k)]);
    }

    void exchange_rows(int p, int k)
    {
        a_[std::size_t(p)].swap(a_[std::size_t(k)]);
        for (int i : {p, k})
            for (const entry& e : a_[std::size_t(i)]) in_column_[std::size_t(e.index)].push_back(i);
        if (!l_.empty()) l_[std::size_t(p)].swap(l_[std::size_t(k)]);
    }

    bool row_dirty(int k) const
    {
        const sparse_line& row = a_[std::size_t(k)];
        return !row.empty() && row.back().index > k;
    }

    bool column_dirty(int k)
    {
        const std::vector<int>& rows = rows_in_column(k);
        return !rows.empty() && rows.back() > k;
    }

    int m_;
    int n_;
    std::vector<sparse_line> a_;
    std::vector<std::vector<int>> in_column_;
    std::vector<sparse_line> r_;
    std::vector<sparse_line> l_;
    std::vector<int> ordered_;
};

// The reduction of A carried in W: T itself, or T's wide number
// (numbers/wide_numbers.h).
template <class T, class W>
sparse_reduction<W> reduced(const ZEM_matrix<T>& A, bool keep_left)
{
    const int m = A.rows();
    const int n = A.columns();
    sparse_reduction<W> work(m, n, keep_left);
    if constexpr (std::is_same_v<T, W>) {
        work.load(A.elements(), nullptr, nullptr);
    } else {
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) work.append(i, j, widen(A.elements()[i * n + j]));
    }
    work.reduce();
    return work;
}

// diagonize with or without L, carried in W: T itself, or T's wide number,
// when only the results are narrowed to T.
template <class T, class W = T>
void reduce(const ZEM_matrix<T>& A, ZEM_matrix<T>* L, ZEM_matrix<T>& D, ZEM_matrix<T>& R)
{
    constexpr bool same = std::is_same_v<T, W>;
    const auto out = [](const auto& x) -> T {
        if constexpr (same) return x;
        else return narrow(x);
    };
    const int m = A.rows();
    const int n = A.columns();
    const sparse_reduction<W> work = reduced<T, W>(A, L != nullptr);
    fresh_matrix<T> diagonal(n, m);
    for (int p = 0; p < std::min(m, n); ++p) diagonal.elements()[p * n + p] = out(work.ordered_diagonal(p));
    fresh_matrix<T> right(n, n);
    for (int p = 0; p < n; ++p)
        for (const auto& e : work.right_column(p)) right.elements()[e.index * n + p] = out(work.value(e));
    if (L) {
        fresh_matrix<T> left(m, m);
        for (int p = 0; p < m; ++p)
            for (const auto& e : work.left_row(p)) left.elements()[p * m + e.index] = out(work.value(e));
        *L = left.finish();
    }
    D = diagonal.finish();
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

// The sweeps on dense arrays, through the sparse reduction.
template <class T>
void sweep_a_row(int k, pointer_to_objects<T>& A, pointer_to_objects<T>& R, int n, int m)
{
    reduction::sparse_reduction<T> work(m, n, false);
    work.load(A.block(), nullptr, R.block());
    work.sweep_row(k);
    work.store(A.block(), nullptr, R.block());
}

template <class T>
void sweep_a_column(int k, pointer_to_objects<T>& A, pointer_to_objects<T>& L, int n, int m)
{
    reduction::sparse_reduction<T> work(m, n, true);
    work.load(A.block(), L.block(), nullptr);
    work.sweep_column(k);
    work.store(A.block(), L.block(), nullptr);
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
    const std::vector<int> moves = order.order();
    reduction::reorder_diagonal(A.block(), n_columns, moves);
    reduction::reorder_rows(L.block(), n_rows, moves);
    reduction::reorder_columns(R.block(), n_columns, n_columns, moves);
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
    reduction::sparse_reduction<T> work(m, n, true);
    work.load(A.block(), L.block(), R.block());
    work.clean(k);
    work.store(A.block(), L.block(), R.block());
}

// reduce.operator()<W>() with W = T and, when a step there overflows, once more
// with W = T's wide number, so that only a result that leaves 32 bits fails.
// The wide pass stays out of line, so that it does not change how the own
// pass, the one that nearly always runs, is compiled.
template <class T, class Reduce>
[[gnu::noinline, gnu::cold]] void reduce_wide(Reduce& reduce)
{
    reduce.template operator()<wide_of<T>>();
}

template <class T, class Reduce>
void own_or_wide(Reduce reduce)
{
    if constexpr (requires { typename wide_of<T>; })
        narrow_or_wide([&] { reduce.template operator()<T>(); }, [&] { reduce_wide<T>(reduce); });
    else
        reduce.template operator()<T>();
}

// D = L * A * R with D diagonal, its entries in non-increasing order of size and
// every zero after every non-zero one; L (m x m) and R (n x n) are invertible.
// A may be the same handle as an output. A failure leaves L and R the
// identities and D sharing A's body, as if they had been set up first; they are
// made only then, since the reduction assigns the outputs only at its end.
// Only an entry of D, L or R that leaves 32 bits fails with an overflow.
template <class T>
void diagonize(const ZEM_matrix<T>& A, ZEM_matrix<T>& L, ZEM_matrix<T>& D, ZEM_matrix<T>& R)
{
    const ZEM_matrix<T> input = A;
    try {
        own_or_wide<T>([&]<class W>() { reduction::reduce<T, W>(input, &L, D, R); });
    } catch (const ZEM_string&) {
        L = ZEM_matrix<T>(input.rows(), input.rows(), T(1));
        D = input;
        R = ZEM_matrix<T>(input.columns(), input.columns(), T(1));
        throw;
    }
}

// The same D and R as diagonize, without building L.
template <class T>
void diagonize_without_left(const ZEM_matrix<T>& A, ZEM_matrix<T>& D, ZEM_matrix<T>& R)
{
    const ZEM_matrix<T> input = A;
    own_or_wide<T>([&]<class W>() { reduction::reduce<T, W>(input, nullptr, D, R); });
}
