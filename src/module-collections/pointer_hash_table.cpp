#include "module-collections/pointer_hash_table.h"

#include <algorithm>
#include <utility>

#include "module-object/error.h"

namespace {

phtab_node** new_buckets(int n)
{
    return n > 0 ? new phtab_node*[static_cast<unsigned>(n)]() : nullptr;
}

}

pointer_hash_table::pointer_hash_table()
    : buckets(nullptr), n_elts(0), n_buckets(0), eq_fn(nullptr), hash_fn(nullptr), copy_fn(nullptr),
      delete_fn(nullptr)
{
}

pointer_hash_table::pointer_hash_table(eq_function eq, hash_function hash, copy_function copy,
                                       delete_function del, int n)
    : buckets(new_buckets(n)), n_elts(0), n_buckets(n), eq_fn(eq), hash_fn(hash), copy_fn(copy), delete_fn(del)
{
}

pointer_hash_table::pointer_hash_table(const pointer_hash_table& other)
    : buckets(new_buckets(other.n_buckets)), n_elts(0), n_buckets(other.n_buckets), eq_fn(other.eq_fn),
      hash_fn(other.hash_fn), copy_fn(other.copy_fn), delete_fn(other.delete_fn)
{
    try {
        copy_elements_of(other);
    } catch (...) {
        free_all();
        throw;
    }
}

pointer_hash_table::~pointer_hash_table() { free_all(); }

void pointer_hash_table::free_all()
{
    make_empty();
    delete[] buckets;
    buckets = nullptr;
}

void pointer_hash_table::copy_elements_of(const pointer_hash_table& other)
{
    for (int i = 0; i < other.n_buckets; ++i)
        for (phtab_node* source = other.buckets[i]; source; source = source->next) {
            phtab_node* node = new phtab_node{nullptr, buckets[i]};
            try {
                node->elt = copy_fn(source->elt);
            } catch (...) {
                delete node;
                throw;
            }
            buckets[i] = node;
            ++n_elts;
        }
}

void pointer_hash_table::swap(pointer_hash_table& other) noexcept
{
    std::swap(buckets, other.buckets);
    std::swap(n_elts, other.n_elts);
    std::swap(n_buckets, other.n_buckets);
    std::swap(eq_fn, other.eq_fn);
    std::swap(hash_fn, other.hash_fn);
    std::swap(copy_fn, other.copy_fn);
    std::swap(delete_fn, other.delete_fn);
}

// The copy is complete before the old elements go, so a failing copy leaves
// this table as it was.
pointer_hash_table& pointer_hash_table::operator=(const pointer_hash_table& other)
{
    if (this != &other) {
        pointer_hash_table copy(other);
        swap(copy);
    }
    return *this;
}

void pointer_hash_table::phtab_add(const void* e)
{
    try {
        if (!link_or_replace(e)) return;
    } catch (...) {
        delete_fn(e);
        throw;
    }
    if (++n_elts > n_buckets) phtab_grow();
}

bool pointer_hash_table::link_or_replace(const void* e)
{
    const int b = hash_fn(e, n_buckets);
    for (phtab_node* node = buckets[b]; node; node = node->next)
        if (eq_fn(node->elt, e)) {
            // The very pointer already stored: deleting it would leave the table dangling.
            if (node->elt == e) return false;
            const void* old = node->elt;
            node->elt = e;
            delete_fn(old);
            return false;
        }
    buckets[b] = new phtab_node{e, buckets[b]};
    return true;
}

void pointer_hash_table::phtab_grow()
{
    const int m = n_buckets;
    phtab_node** grown = new_buckets(2 * m);
    for (int i = 0; i < m; ++i)
        while (phtab_node* node = buckets[i]) {
            buckets[i] = node->next;
            const int b = hash_fn(node->elt, 2 * m);
            node->next = grown[b];
            grown[b] = node;
        }
    delete[] buckets;
    buckets = grown;
    n_buckets = 2 * m;
}

void pointer_hash_table::phtab_delete(const void* e)
{
    const int b = hash_fn(e, n_buckets);
    for (phtab_node** link = &buckets[b]; *link; link = &(*link)->next)
        if (eq_fn((*link)->elt, e)) {
            phtab_node* node = *link;
            const void* old = node->elt;
            *link = node->next;
            delete node;
            --n_elts;
            delete_fn(old);
            return;
        }
}

const void* pointer_hash_table::phtab_get_elt(const void* e) const
{
    for (phtab_node* node = buckets[hash_fn(e, n_buckets)]; node; node = node->next)
        if (eq_fn(e, node->elt)) return node->elt;
    return nullptr;
}

int pointer_hash_table::phtab_is_elt(const void* e) const { return phtab_get_elt(e) != nullptr; }

const void* pointer_hash_table::phtab_an_elt() const
{
    phtab_iterator it(*this, phtab_at_begin);
    return it ? *it : nullptr;
}

void pointer_hash_table::phtab_for_all_do(void (*fn)(const void* elt, void* data), void* data) const
{
    for (phtab_iterator it(*this, phtab_at_begin); it; ++it) fn(*it, data);
}

void pointer_hash_table::make_empty()
{
    for (int i = 0; i < n_buckets; ++i) {
        while (phtab_node* node = buckets[i]) {
            buckets[i] = node->next;
            const void* elt = node->elt;
            delete node;
            --n_elts;
            delete_fn(elt);
        }
    }
    n_elts = 0;
}

pointer_hash_table& pointer_hash_table::operator+=(const pointer_hash_table& b)
{
    for (phtab_iterator it(b, phtab_at_begin); it; ++it) phtab_add(b.copy_fn(*it));
    return *this;
}

pointer_hash_table& pointer_hash_table::operator-=(const pointer_hash_table& b)
{
    // Deleting from the table being walked would free the element in hand.
    if (&b == this) {
        make_empty();
        return *this;
    }
    for (phtab_iterator it(b, phtab_at_begin); it; ++it) phtab_delete(*it);
    return *this;
}

pointer_hash_table operator+(const pointer_hash_table& a, const pointer_hash_table& b)
{
    pointer_hash_table sum;
    sum = a;
    sum += b;
    return pointer_hash_table(sum);
}

pointer_hash_table operator-(const pointer_hash_table& a, const pointer_hash_table& b)
{
    pointer_hash_table difference;
    difference = a;
    difference -= b;
    return pointer_hash_table(difference);
}

pointer_hash_table operator*(const pointer_hash_table& a, const pointer_hash_table& b)
{
    pointer_hash_table common(a.eq_fn, a.hash_fn, a.copy_fn, a.delete_fn, std::min(a.n_buckets, b.n_buckets));
    for (phtab_iterator it(b, phtab_at_begin); it; ++it)
        if (a.phtab_is_elt(*it)) common.phtab_add(a.copy_fn(*it));
    return pointer_hash_table(common);
}

int operator==(const pointer_hash_table& a, const pointer_hash_table& b)
{
    if (a.element_count() != b.element_count()) return 0;
    for (phtab_iterator it(a, phtab_at_begin); it; ++it)
        if (!b.phtab_is_elt(*it)) return 0;
    return 1;
}

int operator<(const pointer_hash_table& a, const pointer_hash_table& b)
{
    if (a.element_count() >= b.element_count()) return 0;
    for (phtab_iterator it(a, phtab_at_begin); it; ++it)
        if (!b.phtab_is_elt(*it)) return 0;
    return 1;
}

int phtab_bucket_of(int h, int n)
{
    const unsigned magnitude = h < 0 ? 0u - static_cast<unsigned>(h) : static_cast<unsigned>(h);
    return static_cast<int>(magnitude % static_cast<unsigned>(n));
}

phtab_iterator::phtab_iterator(const pointer_hash_table& walked, phtab_iter_pos pos)
    : bucket(0), node(nullptr), table(&walked)
{
    if (pos == phtab_at_end)
        ZEM_FAIL("[phtab_iterator::phtab_iterator] iteration starting at end is not implemented");
    enter_bucket_from(0);
}

void phtab_iterator::enter_bucket_from(int first)
{
    bucket = first;
    while (bucket < table->n_buckets && !table->buckets[bucket]) ++bucket;
    node = bucket < table->n_buckets ? table->buckets[bucket] : nullptr;
}

const void* phtab_iterator::operator*() const
{
    if (!node) ZEM_FAIL("[ZEMiter_list_impl::operator*] dereference of invalid iterator");
    return node->elt;
}

void phtab_iterator::operator++()
{
    if (!node) return;  // stepping past the end stays there, as in lists
    if (node->next)
        node = node->next;
    else
        enter_bucket_from(bucket + 1);
}

void phtab_iterator::operator--() { ZEM_FAIL("phtab_iterator::operator --] operation not implemented"); }

void phtab_iterator::operator--(int) { --*this; }
