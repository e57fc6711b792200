// ZEM_collection<T>: the value base of lists, sets and dictionaries. Every
// collection prints in one numbered form and is walked through one protocol:
// it hands out a heap iterator body (ZEM_iterator_impl<T>), which the walker
// wraps in the owning handle ZEM_iterator<T>. A body refers to the
// collection's storage without owning it, so the collection must outlive the
// walk and stay unchanged during it.
#pragma once

#include <ostream>

#include "module-object/object.h"

enum iter_pos { at_begin = 1, at_end = 2 };

template <class T>
class ZEM_iterator_impl {
public:
    virtual ~ZEM_iterator_impl() = default;
    // A new body standing where this one stands; the caller owns it.
    virtual ZEM_iterator_impl<T>* copy() const = 0;
    virtual operator int() const = 0;
    virtual const T& operator*() const = 0;
    virtual void operator++() = 0;
    virtual void operator++(int) = 0;
    virtual void operator--() = 0;
    virtual void operator--(int) = 0;
};

// Owns its body; lives only as a local of the walking function.
template <class T>
class ZEM_iterator {
public:
    explicit ZEM_iterator(ZEM_iterator_impl<T>* body) : impl(body) {}
    ZEM_iterator(const ZEM_iterator&) = delete;
    ZEM_iterator& operator=(const ZEM_iterator&) = delete;
    ~ZEM_iterator() { delete impl; }

    operator int() const { return int(*impl); }
    const T& operator*() const { return **impl; }
    void operator++(int) { (*impl)++; }

private:
    ZEM_iterator_impl<T>* impl;
};

template <class T>
class ZEM_collection : public ZEM_object {
public:
    ZEM_object* copy_object() const override { return copy_collection(); }
    // The type, "(", a line "k: element" for each element numbered from 1, ")".
    void print(std::ostream& out) const override
    {
        type().print(out);
        out << "(\n";
        int k = 0;
        for (ZEM_iterator<T> it(create_iter_at_begin()); it; it++) {
            out << ++k << ": ";
            (*it).print(out);
            out << "\n";
        }
        out << ")\n";
    }

    virtual ZEM_iterator_impl<T>* create_iter_at_begin() const = 0;
    virtual ZEM_iterator_impl<T>* create_iter_at_end() const = 0;
    virtual ZEM_collection<T>* copy_collection() const = 0;
    virtual int n_elements() const
    {
        int count = 0;
        for (ZEM_iterator<T> it(create_iter_at_begin()); it; it++) ++count;
        return count;
    }
};
