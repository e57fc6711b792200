// ZEM_dictionary<K,V>: a map from keys to values, one heap association (a copy
// of the key and of the value) per key in a pointer_hash_table driven by K's ==
// and the free hash(const K&). No two keys are equal; an association lies in
// bucket |hash(key)| mod the bucket count. It is a collection of its values:
// it prints, counts and walks the values only, in the table's order.
// K and V need copy and default constructors and type(); K also == and hash.
#pragma once

#include "module-collections/phtab_walk_impl.h"
#include "module-object/error.h"

template <class K, class V>
struct zemdic_association {
    K key;
    V value;
};

template <class K, class V>
class ZEM_dictionary;

template <class K, class V>
class ZEM_iter_dict_impl : public phtab_walk_impl<V> {
public:
    explicit ZEM_iter_dict_impl(const ZEM_dictionary<K, V>& d) : phtab_walk_impl<V>(d.table), dict(&d) {}

    ZEM_iterator_impl<V>* copy() const override { return new ZEM_iter_dict_impl(*this); }
    const V& operator*() const override
    {
        return static_cast<const zemdic_association<K, V>*>(*this->iter)->value;
    }

private:
    const ZEM_dictionary<K, V>* dict;
};

template <class K, class V>
class ZEM_dictionary : public ZEM_collection<V> {
public:
    using association = zemdic_association<K, V>;

    // Every dictionary of the system has 50 buckets.
    explicit ZEM_dictionary(int n_buckets = 50) : table(eq_func, hash_func, copy_func, delete_func, n_buckets) {}
    ZEM_dictionary(const ZEM_dictionary& other) = default;
    ZEM_dictionary& operator=(const ZEM_dictionary& other) = default;

    // Copies of key and value; an association with an equal key is replaced,
    // keeping its place in the table order.
    void add_elt(const K& key, const V& value) { table.phtab_add(new association{key, value}); }

    // The value stored under a key equal to the argument, or null. It stays
    // valid until that key is added again or the dictionary is assigned or destroyed.
    const V* lookup(const K& key) const
    {
        const association probe{key, V()};
        const void* found = table.phtab_get_elt(&probe);
        return found ? &static_cast<const association*>(found)->value : nullptr;
    }

    ZEM_type type() const override { return tp_dictionary(K().type(), V().type()); }
    ZEM_iterator_impl<V>* create_iter_at_begin() const override { return new ZEM_iter_dict_impl<K, V>(*this); }
    ZEM_iterator_impl<V>* create_iter_at_end() const override
    {
        ZEM_FAIL("[ZEM_dictionary<key_tp, value_tp>::create_iter_at_end] not implemented");
    }
    ZEM_collection<V>* copy_collection() const override { return new ZEM_dictionary(*this); }

    static int eq_func(const void* a, const void* b)
    {
        return static_cast<const association*>(a)->key == static_cast<const association*>(b)->key;
    }
    static int hash_func(const void* a, int n)
    {
        return phtab_bucket_of(hash(static_cast<const association*>(a)->key), n);
    }
    static void* copy_func(const void* a) { return new association(*static_cast<const association*>(a)); }
    static void delete_func(const void* a) { delete static_cast<const association*>(a); }

private:
    friend class ZEM_iter_dict_impl<K, V>;

    pointer_hash_table table;
};
