#include "module-tensor/index_set.h"

#include <cstdint>

namespace {

using tuple_type = pointer_to_objects<int>;

const tuple_type& as_tuple(const void* e) { return *static_cast<const tuple_type*>(e); }

}

index_set::index_set() : table_(eq_func, hash_func, copy_func, delete_func, 50) {}

int index_set::is_set(const pointer_to_objects<int>& tuple) const { return table_.phtab_is_elt(&tuple); }

// The table owns the copy from here on, also when adding it fails.
void index_set::set(const pointer_to_objects<int>& tuple) { table_.phtab_add(copy_func(&tuple)); }

int index_set::eq_func(const void* a, const void* b)
{
    const tuple_type& x = as_tuple(a);
    const tuple_type& y = as_tuple(b);
    if (x.count() != y.count()) return 0;
    for (int k = 0; k < x.count(); ++k)
        if (x[k] != y[k]) return 0;
    return 1;
}

std::uint64_t mix_of_ints(const int* values, int count)
{
    std::uint64_t h = 0x9e3779b97f4a7c15u;
    for (int k = 0; k < count; ++k) {
        h ^= static_cast<std::uint32_t>(values[k]);
        h *= 0xff51afd7ed558ccdu;
        h ^= h >> 33;
    }
    return h;
}

int index_set::hash_func(const void* tuple, int n_buckets)
{
    const tuple_type& t = as_tuple(tuple);
    return static_cast<int>(mix_of_ints(t.block(), t.count()) % static_cast<std::uint64_t>(n_buckets));
}

void* index_set::copy_func(const void* tuple) { return new tuple_type(as_tuple(tuple)); }

void index_set::delete_func(const void* tuple) { delete static_cast<const tuple_type*>(tuple); }
