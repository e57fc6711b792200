// A vector is a handle on a shared body holding its length and its elements,
// which lie behind the body's fields in the same allocation. A body is complete
// when a handle takes it and is never written afterwards, so handles share it freely.
#pragma once

#include <new>
#include <ostream>

#include "module-object/object.h"
#include "module-object/pointer_to_objects.h"

ZEM_type tp_vector(const ZEM_type& element);
[[noreturn]] void empty_vector_handle();

template <class T>
class ZEM_vector_impl : public ZEM_referenced_object {
public:
    int length;
    T* elements = nullptr;

    // Copies the first `length` elements of the array; the caller made room for them.
    ZEM_vector_impl(int length, const pointer_to_objects<T>& source)
        : length(length), elements(construct_trailing<T>(this, length, [&](int k) -> const T& { return source[k]; }))
    {
    }
    ZEM_vector_impl(const ZEM_vector_impl&) = delete;
    ZEM_vector_impl& operator=(const ZEM_vector_impl&) = delete;
    ~ZEM_vector_impl()
    {
        for (int k = 0; k < length; ++k) elements[k].~T();
    }
};

template <class T>
class ZEM_vector : public ZEM_referencing_object<ZEM_vector_impl<T>> {
public:
    ZEM_vector() = default;
    // Copies every element of the array, which stays the caller's.
    explicit ZEM_vector(const pointer_to_objects<T>& source)
    {
        const int length = source.count();
        this->attach(new_with_trailing<ZEM_vector_impl<T>, T>(static_cast<std::size_t>(length), length, source));
    }
    ZEM_vector(const ZEM_vector& other) = default;
    ZEM_vector& operator=(const ZEM_vector& other) = default;

    ZEM_object* copy_object() const override { return new ZEM_vector(*this); }
    void print(std::ostream& out) const override
    {
        checked_body();
        type().print(out);
        out << '(';
        for (int k = 0; k < length(); ++k) {
            if (k > 0) out << "  ";
            (*this)[k].print(out);
        }
        out << ")\n";
    }
    // The element type is that of a default element, so no body is needed.
    ZEM_type type() const override { return tp_vector(T().type()); }

    // Both fail on a handle without a body.
    int length() const { return checked_body().length; }
    // Counted from 0, without a range test.
    const T& operator[](int k) const { return checked_body().elements[k]; }

private:
    const ZEM_vector_impl<T>& checked_body() const
    {
        if (!this->has_body()) empty_vector_handle();
        return *this->body();
    }
};
