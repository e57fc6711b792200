// A set of index tuples, on a pointer_hash_table of 50 buckets that owns heap
// copies of the tuples. Two tuples are equal when they have the same count and
// the same ints; the bucket of a tuple is a hash that mixes all its ints, modulo
// the bucket count.
#pragma once

#include <cstdint>

#include "module-collections/pointer_hash_table.h"
#include "module-object/pointer_to_objects.h"

// Every int mixed into every bit of the result: a weighted sum of the ints would
// put the permutations of a few small indices into a few buckets, and every
// lookup would walk a long chain.
std::uint64_t mix_of_ints(const int* values, int count);

class index_set {
public:
    index_set();
    index_set(const index_set&) = delete;
    index_set& operator=(const index_set&) = delete;

    int is_set(const pointer_to_objects<int>& tuple) const;
    // Stores a copy of the tuple.
    void set(const pointer_to_objects<int>& tuple);

    static int eq_func(const void* a, const void* b);
    static int hash_func(const void* tuple, int n_buckets);
    static void* copy_func(const void* tuple);
    static void delete_func(const void* tuple);

private:
    pointer_hash_table table_;
};
