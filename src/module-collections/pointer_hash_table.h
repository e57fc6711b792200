// pointer_hash_table: a chained hash table of untyped element pointers that it
// owns, driven by four callbacks (equality, bucket, copy, delete). A new element
// goes to the head of its bucket's chain; when the count passes the bucket count
// the buckets double and the nodes are relinked; a copy keeps every element's
// bucket but reverses each chain. That order (buckets from 0 up, each chain from
// its head) is what sets and dictionaries print, so it is part of the contract.
// phtab_iterator walks a table forward in that order.
#pragma once

struct phtab_node {
    const void* elt;
    phtab_node* next;
};

class pointer_hash_table {
public:
    using eq_function = int (*)(const void* a, const void* b);
    // The bucket of an element among n buckets, in 0 .. n-1.
    using hash_function = int (*)(const void* e, int n);
    using copy_function = void* (*)(const void* e);
    using delete_function = void (*)(const void* e);

    // No buckets and no callbacks: only a target of assignment.
    pointer_hash_table();
    pointer_hash_table(eq_function eq, hash_function hash, copy_function copy, delete_function del, int n);
    pointer_hash_table(const pointer_hash_table& other);
    ~pointer_hash_table();
    pointer_hash_table& operator=(const pointer_hash_table& other);

    // Takes e over; an equal stored element is replaced and deleted. If a
    // callback fails, the table is unchanged and e is deleted.
    void phtab_add(const void* e);
    // Deletes the stored element equal to e, if any; e stays the caller's.
    void phtab_delete(const void* e);
    int phtab_is_elt(const void* e) const;
    const void* phtab_get_elt(const void* e) const;
    // The first element in iteration order, or null.
    const void* phtab_an_elt() const;
    void phtab_for_all_do(void (*fn)(const void* elt, void* data), void* data) const;
    void make_empty();

    pointer_hash_table& operator+=(const pointer_hash_table& b);
    pointer_hash_table& operator-=(const pointer_hash_table& b);

    int element_count() const { return n_elts; }
    int bucket_count() const { return n_buckets; }

private:
    friend class phtab_iterator;
    friend pointer_hash_table operator*(const pointer_hash_table& a, const pointer_hash_table& b);

    void phtab_grow();
    // Fills empty buckets with copies of other's elements, each chain reversed.
    void copy_elements_of(const pointer_hash_table& other);
    // Links a new node for e, or replaces an equal element; true for a new node.
    bool link_or_replace(const void* e);
    void free_all();
    void swap(pointer_hash_table& other) noexcept;

    phtab_node** buckets;
    int n_elts;
    int n_buckets;
    eq_function eq_fn;
    hash_function hash_fn;
    copy_function copy_fn;
    delete_function delete_fn;
};

pointer_hash_table operator+(const pointer_hash_table& a, const pointer_hash_table& b);
pointer_hash_table operator-(const pointer_hash_table& a, const pointer_hash_table& b);
pointer_hash_table operator*(const pointer_hash_table& a, const pointer_hash_table& b);
int operator==(const pointer_hash_table& a, const pointer_hash_table& b);
// 1 when a is a proper subset of b.
int operator<(const pointer_hash_table& a, const pointer_hash_table& b);

// The bucket of a key hash h among n: |h| mod n, with |h| taken as unsigned so
// that the smallest int has a bucket too (48 of 50).
int phtab_bucket_of(int h, int n);

enum phtab_iter_pos { phtab_at_begin = 1, phtab_at_end = 2 };

// Reads its table live: any change to the table leaves it undefined.
class phtab_iterator {
public:
    phtab_iterator(const pointer_hash_table& table, phtab_iter_pos pos);

    operator int() const { return node != nullptr; }
    const void* operator*() const;
    void operator++();
    void operator++(int) { ++*this; }
    // Backward steps are not provided; both fail.
    void operator--();
    void operator--(int);

private:
    void enter_bucket_from(int first);

    int bucket;
    phtab_node* node;
    const pointer_hash_table* table;
};
