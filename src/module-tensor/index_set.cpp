#include "module-tensor/index_set.h"

#include <algorithm>
#include <cstdint>

#include "module-object/error.h"

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

// A plain weighted sum: the walks over symmetries keep their tuples in
// int_key_set, so this set is on no path where its spread would tell.
int index_set::hash_func(const void* tuple, int n_buckets)
{
    const tuple_type& t = as_tuple(tuple);
    std::uint32_t sum = 0;
    for (int k = 0; k < t.count(); ++k) sum += static_cast<std::uint32_t>(k) * static_cast<std::uint32_t>(t[k]);
    return static_cast<int>(sum % static_cast<std::uint32_t>(n_buckets));
}

void* index_set::copy_func(const void* tuple) { return new tuple_type(as_tuple(tuple)); }

void index_set::delete_func(const void* tuple) { delete static_cast<const tuple_type*>(tuple); }

bool int_key_set::insert(const int* key, int length)
{
    if (count_ == 0) length_ = static_cast<std::size_t>(length);
    if (static_cast<std::size_t>(length) != length_)
        ZEM_FAIL("[int_key_set] keys of different lengths (please report)");
    if (2 * (count_ + 1) > slots_.size()) grow();
    const std::uint64_t h = hash_of(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = h & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t found = slots_[slot];
        if (found == 0) {
            keys_.insert(keys_.end(), key, key + length_);
            hashes_.push_back(h);
            slots_[slot] = static_cast<std::uint32_t>(++count_);
            return true;
        }
        if (hashes_[found - 1] == h && std::equal(key, key + length_, keys_.data() + (found - 1) * length_))
            return false;
    }
}

// Two ints to a step, each step mixed through a multiplication.
std::uint64_t int_key_set::hash_of(const int* key) const
{
    std::uint64_t h = 0x9e3779b97f4a7c15u;
    std::size_t k = 0;
    for (; k + 1 < length_; k += 2) {
        h ^= static_cast<std::uint32_t>(key[k]) | std::uint64_t(static_cast<std::uint32_t>(key[k + 1])) << 32;
        h *= 0xff51afd7ed558ccdu;
        h ^= h >> 32;
    }
    if (k < length_) {
        h ^= static_cast<std::uint32_t>(key[k]);
        h *= 0xff51afd7ed558ccdu;
        h ^= h >> 32;
    }
    return h;
}

void int_key_set::grow()
{
    slots_.assign(std::max<std::size_t>(64, 2 * slots_.size()), 0);
    // Room for as many keys as the slots take, so that adding one never moves them.
    keys_.reserve(slots_.size() / 2 * length_);
    hashes_.reserve(slots_.size() / 2);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t k = 0; k < count_; ++k) {
        std::size_t slot = hashes_[k] & mask;
        while (slots_[slot] != 0) slot = (slot + 1) & mask;
        slots_[slot] = static_cast<std::uint32_t>(k + 1);
    }
}
