// A set of index tuples, on a pointer_hash_table of 50 buckets that owns heap
// copies of the tuples. Two tuples are equal when they have the same count and
// the same ints; the bucket of a tuple is the sum of k * tuple[k], wrapping in
// 32 bits, modulo the bucket count.
#pragma once

#include <cstdint>
#include <vector>

#include "module-collections/pointer_hash_table.h"
#include "module-object/pointer_to_objects.h"

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

// A set of int keys of one length, stored side by side in one array and found by
// open addressing: the walks over symmetries look up millions of short keys, and
// a heap block per key would cost more than the lookup.
class int_key_set {
public:
    // Adds the key when it is new; true if it was. Every key must have the length of the first.
    bool insert(const int* key, int length);

private:
    std::uint64_t hash_of(const int* key) const;
    void grow();

    std::vector<int> keys_;
    // Kept so that growing never hashes a key again, and most probes compare no key.
    std::vector<std::uint64_t> hashes_;
    // 0 for a free slot, else the key's number + 1; a power of two in size.
    std::vector<std::uint32_t> slots_;
    std::size_t length_ = 0;
    std::size_t count_ = 0;
};
