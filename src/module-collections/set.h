// ZEM_set<T>: a set of heap copies of T in a pointer_hash_table, driven by T's
// == and the free hash(const T&). No two elements are equal; an element lies in
// bucket |hash| mod the bucket count. The set yields and prints its elements
// in the table's order (buckets from 0 up, the newest of a bucket first).
// T needs a copy constructor, a default constructor for type(), ==, hash and print.
#pragma once

#include "module-collections/phtab_walk_impl.h"
#include "module-object/error.h"

template <class T>
class ZEM_set;

template <class T>
class ZEM_iter_set_impl : public phtab_walk_impl<T> {
public:
    explicit ZEM_iter_set_impl(const ZEM_set<T>& walked) : phtab_walk_impl<T>(walked.table), set(&walked) {}

    ZEM_iterator_impl<T>* copy() const override { return new ZEM_iter_set_impl(*this); }
    const T& operator*() const override { return *static_cast<const T*>(*this->iter); }

private:
    const ZEM_set<T>* set;
};

template <class T>
class ZEM_set : public ZEM_collection<T> {
public:
    // Every caller gives 50 buckets.
    explicit ZEM_set(int n) : table(eq_func, hash_func, copy_func, delete_func, n) {}
    ZEM_set(const ZEM_set& other) = default;
    ZEM_set& operator=(const ZEM_set& other) = default;

    // A copy of x enters the set, replacing (and deleting) an equal element.
    void add_elt(const T& x) { table.phtab_add(copy_func(&x)); }
    int is_elt(const T& x) const { return table.phtab_is_elt(&x); }

    ZEM_type type() const override { return tp_set(T().type()); }
    ZEM_iterator_impl<T>* create_iter_at_begin() const override { return new ZEM_iter_set_impl<T>(*this); }
    ZEM_iterator_impl<T>* create_iter_at_end() const override
    {
        ZEM_FAIL("[ZEM_set<elt_tp>::create_iter_at_end] not implemented");
    }
    ZEM_collection<T>* copy_collection() const override { return new ZEM_set(*this); }

    static int eq_func(const void* a, const void* b) { return *static_cast<const T*>(a) == *static_cast<const T*>(b); }
    static int hash_func(const void* x, int n) { return phtab_bucket_of(hash(*static_cast<const T*>(x)), n); }
    static void* copy_func(const void* x) { return new T(*static_cast<const T*>(x)); }
    static void delete_func(const void* x) { delete static_cast<const T*>(x); }

private:
    friend class ZEM_iter_set_impl<T>;

    pointer_hash_table table;
};
