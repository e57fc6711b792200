// A matrix is a handle on a shared body holding its column count, its row count
// and its elements row by row (row r, column c at r * n_columns + c, from 0), the
// elements behind the body's fields in the same allocation. A body is complete
// when a handle takes it and is never written afterwards, so handles share it
// freely. Constructors take the column count before the row count; `element`
// takes the column before the row and counts both from 1.
#pragma once

#include <new>
#include <ostream>
#include <utility>

#include "module-object/object.h"
#include "module-object/pointer_to_objects.h"

ZEM_type tp_matrix(const ZEM_type& element);

// n_columns * n_rows; fails on a negative count or one beyond 32 bits.
int matrix_element_count(int n_columns, int n_rows);
// Fails unless the array holds at least `needed` elements.
void require_matrix_elements(int available, int needed);
[[noreturn]] void empty_matrix_handle();
[[noreturn]] void matrix_element_out_of_range();

template <class T>
class ZEM_matrix_impl : public ZEM_referenced_object {
public:
    int n_columns;
    int n_rows;
    T* elements = nullptr;

    // Every element T's zero.
    ZEM_matrix_impl(int n_columns, int n_rows) : n_columns(n_columns), n_rows(n_rows)
    {
        construct([](int) { return T(); });
    }
    // x where the row index equals the column index, T's zero elsewhere.
    ZEM_matrix_impl(int n_columns, int n_rows, const T& x) : n_columns(n_columns), n_rows(n_rows)
    {
        construct([&](int k) { return k / n_columns == k % n_columns ? T(x) : T(); });
    }
    // Copies of the first n_columns * n_rows elements of `source`, in storage order.
    ZEM_matrix_impl(int n_columns, int n_rows, const T* source) : n_columns(n_columns), n_rows(n_rows)
    {
        construct([&](int k) -> const T& { return source[k]; });
    }
    ZEM_matrix_impl(const ZEM_matrix_impl&) = delete;
    ZEM_matrix_impl& operator=(const ZEM_matrix_impl&) = delete;
    ~ZEM_matrix_impl()
    {
        const int count = n_columns * n_rows;
        for (int k = 0; k < count; ++k) elements[k].~T();
    }

    // One allocation for the body and its elements; fails on a bad shape first.
    template <class... Arguments>
    static ZEM_matrix_impl* make(int n_columns, int n_rows, Arguments&&... arguments)
    {
        const int count = matrix_element_count(n_columns, n_rows);
        return new_with_trailing<ZEM_matrix_impl, T>(static_cast<std::size_t>(count), n_columns, n_rows,
                                                     std::forward<Arguments>(arguments)...);
    }

private:
    template <class Element>
    void construct(Element element)
    {
        elements = construct_trailing<T>(this, n_columns * n_rows, element);
    }
};

template <class T>
class fresh_matrix;

template <class T>
class ZEM_matrix : public ZEM_referencing_object<ZEM_matrix_impl<T>> {
public:
    ZEM_matrix() = default;
    ZEM_matrix(int n_columns, int n_rows, const T& x)
    {
        this->attach(ZEM_matrix_impl<T>::make(n_columns, n_rows, x));
    }
    // Copies the first n_columns * n_rows elements; the array stays the caller's.
    ZEM_matrix(int n_columns, int n_rows, const pointer_to_objects<T>& source)
    {
        require_matrix_elements(source.count(), matrix_element_count(n_columns, n_rows));
        this->attach(ZEM_matrix_impl<T>::make(n_columns, n_rows, source.block()));
    }
    ZEM_matrix(const ZEM_matrix& other) = default;
    ZEM_matrix& operator=(const ZEM_matrix& other) = default;

    ZEM_object* copy_object() const override { return new ZEM_matrix(*this); }
    void print(std::ostream& out) const override
    {
        checked_body();
        type().print(out);
        out << "(\n";
        for (int r = 0; r < rows(); ++r) {
            for (int c = 0; c < columns(); ++c) {
                if (c > 0) out << "   ";
                elements()[r * columns() + c].print(out);
            }
            out << '\n';
        }
        out << ")\n";
    }
    // The element type is that of a default element, so no body is needed.
    ZEM_type type() const override { return tp_matrix(T().type()); }

    // Every accessor fails on a handle without a body, and `element` outside the matrix.
    int columns() const { return checked_body().n_columns; }
    int rows() const { return checked_body().n_rows; }
    const T& element(int column, int row) const
    {
        const ZEM_matrix_impl<T>& b = checked_body();
        if (column < 1 || column > b.n_columns || row < 1 || row > b.n_rows) matrix_element_out_of_range();
        return b.elements[(row - 1) * b.n_columns + (column - 1)];
    }
    // The elements in storage order.
    const T* elements() const { return checked_body().elements; }

private:
    const ZEM_matrix_impl<T>& checked_body() const
    {
        if (!this->has_body()) empty_matrix_handle();
        return *this->body();
    }

    friend class fresh_matrix<T>;
    explicit ZEM_matrix(ZEM_matrix_impl<T>* fresh) { this->attach(fresh); }
};

// A new body that its maker may still write; `finish` hands it to a handle.
// Destroyed unfinished, it frees the body.
template <class T>
class fresh_matrix {
public:
    // T's zero everywhere.
    fresh_matrix(int n_columns, int n_rows) : body_(ZEM_matrix_impl<T>::make(n_columns, n_rows)) {}
    // A copy of m's elements.
    explicit fresh_matrix(const ZEM_matrix<T>& m) : body_(ZEM_matrix_impl<T>::make(m.columns(), m.rows(), m.elements()))
    {
    }
    // x on the diagonal, T's zero elsewhere.
    fresh_matrix(int n_columns, int n_rows, const T& x) : body_(ZEM_matrix_impl<T>::make(n_columns, n_rows, x)) {}
    fresh_matrix(const fresh_matrix&) = delete;
    fresh_matrix& operator=(const fresh_matrix&) = delete;
    ~fresh_matrix() { delete body_; }

    T* elements() { return body_->elements; }
    int columns() const { return body_->n_columns; }
    int rows() const { return body_->n_rows; }

    ZEM_matrix<T> finish() { return ZEM_matrix<T>(std::exchange(body_, nullptr)); }

private:
    ZEM_matrix_impl<T>* body_;
};

// Same shape and equal elements in every position; no shortcut on a shared body.
template <class T>
bool operator==(const ZEM_matrix<T>& m1, const ZEM_matrix<T>& m2)
{
    if (m1.rows() != m2.rows() || m1.columns() != m2.columns()) return false;
    const int count = m1.columns() * m1.rows();
    for (int k = 0; k < count; ++k)
        if (m1.elements()[k] != m2.elements()[k]) return false;
    return true;
}

template <class T>
bool operator!=(const ZEM_matrix<T>& m1, const ZEM_matrix<T>& m2)
{
    return !(m1 == m2);
}

// The sum of column * row * hash(element), counting from 1, wrapping in 32 bits.
// The weight is symmetric, so a square matrix and its transpose hash alike.
template <class T>
int hash(const ZEM_matrix<T>& m)
{
    unsigned sum = 0;
    for (int i = 1; i <= m.columns(); ++i)
        for (int j = 1; j <= m.rows(); ++j)
            sum += static_cast<unsigned>(i) * static_cast<unsigned>(j) * static_cast<unsigned>(hash(m.element(i, j)));
    return static_cast<int>(sum);
}
