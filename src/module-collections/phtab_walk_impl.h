// phtab_walk_impl<T>: the part of an iterator body that walks a
// pointer_hash_table forward in its fixed order; sets and dictionaries derive
// from it and say what an element of the table yields.
#pragma once

#include "module-collections/collection.h"
#include "module-collections/pointer_hash_table.h"

template <class T>
class phtab_walk_impl : public ZEM_iterator_impl<T> {
public:
    operator int() const override { return iter; }
    void operator++() override { ++iter; }
    void operator++(int) override { ++iter; }
    // Both fail: a table is not walked backward.
    void operator--() override { --iter; }
    void operator--(int) override { --iter; }

protected:
    explicit phtab_walk_impl(const pointer_hash_table& table) : iter(table, phtab_at_begin) {}

    phtab_iterator iter;
};
