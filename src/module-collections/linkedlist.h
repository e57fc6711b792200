// ZEM_linkedlist<T>: a doubly linked list of elements held by value (a handle
// element shares its body with the value it was copied from). head and tail
// are both null (empty) or both set, head->prev and tail->next are null, and
// the prev links mirror the next links. Appending and taking from the head
// are constant time, so a list serves as a first-in, first-out queue.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module-collections/collection.h"
#include "module-object/error.h"

template <class T>
struct ll_node {
    ll_node* next;
    ll_node* prev;
    T elt;
};

template <class T>
class ZEM_linkedlist;

template <class T>
class ZEM_iter_list_impl : public ZEM_iterator_impl<T> {
public:
    // Stands on the head at at_begin, the tail at at_end, nowhere otherwise.
    ZEM_iter_list_impl(const ZEM_linkedlist<T>& walked, iter_pos pos)
        : current(pos == at_begin ? walked.head : pos == at_end ? walked.tail : nullptr), list(&walked)
    {
    }

    ZEM_iterator_impl<T>* copy() const override { return new ZEM_iter_list_impl(*this); }
    operator int() const override { return current != nullptr; }
    const T& operator*() const override
    {
        if (!current)
            ZEM_FAIL("[ZEM_iter_list_impl::operator*] dereference of invalid iterator");
        return current->elt;
    }
    // Stepping an invalid body leaves it invalid.
    void operator++() override
    {
        if (current) current = current->next;
    }
    void operator++(int) override { ++*this; }
    void operator--() override
    {
        if (current) current = current->prev;
    }
    void operator--(int) override { --*this; }

private:
    ll_node<T>* current;
    const ZEM_linkedlist<T>* list;
};

template <class T>
class ZEM_linkedlist : public ZEM_collection<T> {
public:
    ZEM_linkedlist() = default;
    ZEM_linkedlist(const ZEM_linkedlist& other) : ZEM_collection<T>()
    {
        try {
            for (const ll_node<T>* node = other.head; node; node = node->next) add_at_tail(node->elt);
        } catch (...) {
            clear();
            throw;
        }
    }
    // Lists are copied, never assigned.
    ZEM_linkedlist& operator=(const ZEM_linkedlist&) = delete;
    ~ZEM_linkedlist() override { clear(); }

    void add_at_tail(const T& x) { append_to_list(head, tail, new ll_node<T>{nullptr, nullptr, x}); }

    T remove_at_head()
    {
        if (!head) ZEM_FAIL("remove from empty list");
        T first = head->elt;
        ll_node<T>* node = head;
        head = node->next;
        if (head)
            head->prev = nullptr;
        else
            tail = nullptr;
        delete node;
        return first;
    }

    int n_elements() const override
    {
        int count = 0;
        for (const ll_node<T>* node = head; node; node = node->next) ++count;
        return count;
    }

    ZEM_type type() const override { return tp_linkedlist(T().type()); }
    ZEM_iterator_impl<T>* create_iter_at_begin() const override { return new ZEM_iter_list_impl<T>(*this, at_begin); }
    ZEM_iterator_impl<T>* create_iter_at_end() const override { return new ZEM_iter_list_impl<T>(*this, at_end); }
    ZEM_collection<T>* copy_collection() const override { return new ZEM_linkedlist(*this); }

    // In place, by relinking, with a strcmp-like callback: quicksort on the
    // first node as pivot, elements equal to it after it. Not stable.
    void sort(int (*cmp)(const T&, const T&))
    {
        if (head && tail) failing_as_out_of_memory([&] { do_sort(head, tail, cmp); });
    }

    // Read them, never change them: the list is empty exactly when head is null.
    ll_node<T>* head = nullptr;
    ll_node<T>* tail = nullptr;

private:
    // A run of nodes linked by next, from first to last.
    struct chain {
        ll_node<T>* first;
        ll_node<T>* last;
    };

    void clear()
    {
        while (ll_node<T>* node = head) {
            head = node->next;
            delete node;
        }
        tail = nullptr;
    }

    static void append_to_list(ll_node<T>*& first, ll_node<T>*& last, ll_node<T>* x)
    {
        x->next = nullptr;
        x->prev = last;
        if (last)
            last->next = x;
        else
            first = x;
        last = x;
    }

    static void prepend_to_list(ll_node<T>*& first, ll_node<T>*& last, ll_node<T>* x)
    {
        x->prev = nullptr;
        x->next = first;
        if (first)
            first->prev = x;
        else
            last = x;
        first = x;
    }

    // The chain from first to last, sorted; first and last become its new ends.
    // A chain's lower part, pivot and upper part are stacked rather than recursed
    // into, so a list of any length sorts; nodes leave the stack in order. Equal
    // elements go after the pivot into the upper part, which is gathered in
    // reverse: that fixes the order in which equal elements come out.
    //
    // The first node as pivot makes a sorted list cost quadratic time, so once
    // the partitions have walked n log n nodes or so, each chain still waiting
    // is put in the same order by partition_order instead.
    static void do_sort(ll_node<T>*& first, ll_node<T>*& last, int (*cmp)(const T&, const T&))
    {
        // The nodes in their old order, so that a failing callback leaves the list whole.
        std::vector<ll_node<T>*> all;
        for (ll_node<T>* x = first;; x = x->next) {
            all.push_back(x);
            if (x == last) break;
        }
        const std::size_t n = all.size();
        try {
            partition_all(first, last, n, cmp);
        } catch (...) {
            first = last = nullptr;
            for (ll_node<T>* x : all) append_to_list(first, last, x);
            throw;
        }
    }

    static void partition_all(ll_node<T>*& first, ll_node<T>*& last, std::size_t n, int (*cmp)(const T&, const T&))
    {
        std::size_t walk_left = 4 * n * static_cast<std::size_t>(std::bit_width(n));
        // Each pivot leaves at most its upper part and itself waiting.
        std::vector<chain> pending;
        pending.reserve(2 * n + 1);
        pending.push_back({first, last});
        ll_node<T>* sorted_first = nullptr;
        ll_node<T>* sorted_last = nullptr;
        while (!pending.empty()) {
            const chain c = pending.back();
            pending.pop_back();
            ll_node<T>* const pivot = c.first;
            if (pivot == c.last) {
                append_to_list(sorted_first, sorted_last, pivot);
                continue;
            }
            if (walk_left == 0) {
                for (ll_node<T>* x : partition_order(c, cmp)) append_to_list(sorted_first, sorted_last, x);
                continue;
            }
            chain lower{nullptr, nullptr};
            chain upper{nullptr, nullptr};
            ll_node<T>* const end = c.last->next;
            for (ll_node<T>* x = pivot->next; x != end;) {
                ll_node<T>* const following = x->next;
                if (cmp(pivot->elt, x->elt) <= 0)
                    prepend_to_list(upper.first, upper.last, x);
                else
                    append_to_list(lower.first, lower.last, x);
                x = following;
                if (walk_left > 0) --walk_left;
            }
            if (upper.first) pending.push_back(upper);
            pending.push_back({pivot, pivot});
            if (lower.first) pending.push_back(lower);
        }
        first = sorted_first;
        last = sorted_last;
    }

    // The order in which do_sort's partitions leave chain c, found in
    // O(n log n) time without forming the partitions. Every chain they form
    // holds the nodes not yet placed whose values lie in one run of the sorted
    // order, in c's order (a lower part keeps it) or reversed (an upper part
    // turns it), so its pivot is the node of that run first or last in c.
    static std::vector<ll_node<T>*> partition_order(chain c, int (*cmp)(const T&, const T&))
    {
        std::vector<ll_node<T>*> nodes;
        for (ll_node<T>* x = c.first;; x = x->next) {
            nodes.push_back(x);
            if (x == c.last) break;
        }
        const std::size_t n = nodes.size();
        // by_value[s]: the place in c of the node at slot s of the sorted order.
        const std::vector<std::size_t> by_value = sorted_places(nodes, cmp);
        // equal_from[s]: the first slot of the run of values equal to slot s's.
        // Whatever the answers, these runs split the slots, so every node is placed once.
        std::vector<std::size_t> equal_from(n);
        for (std::size_t s = 0; s < n; ++s) {
            const bool tie = s > 0 && !(cmp(nodes[by_value[s]]->elt, nodes[by_value[s - 1]]->elt) > 0);
            equal_from[s] = tie ? equal_from[s - 1] : s;
        }
        std::vector<std::size_t> slot_of(n);
        for (std::size_t s = 0; s < n; ++s) slot_of[by_value[s]] = s;
        // Places in c of the nodes not yet placed, and the same counted from c's end.
        least_in_range from_front(n), from_back(n);
        for (std::size_t s = 0; s < n; ++s) {
            from_front.set(s, by_value[s]);
            from_back.set(s, n - 1 - by_value[s]);
        }
        // A run of slots [from, to) read forwards or backwards, or a node to place.
        struct part {
            std::size_t from, to;
            bool reversed;
            ll_node<T>* node;
        };
        std::vector<part> parts{{0, n, false, nullptr}};
        std::vector<ll_node<T>*> ordered;
        ordered.reserve(n);
        while (!parts.empty()) {
            const part p = parts.back();
            parts.pop_back();
            if (p.node) {
                ordered.push_back(p.node);
                continue;
            }
            const std::size_t least = (p.reversed ? from_back : from_front).least(p.from, p.to);
            if (least == least_in_range::none) continue;
            const std::size_t place = p.reversed ? n - 1 - least : least;
            const std::size_t slot = slot_of[place];
            from_front.set(slot, least_in_range::none);
            from_back.set(slot, least_in_range::none);
            parts.push_back({equal_from[slot], p.to, !p.reversed, nullptr});
            parts.push_back({0, 0, false, nodes[place]});
            parts.push_back({p.from, equal_from[slot], p.reversed, nullptr});
        }
        return ordered;
    }

    // The places of the nodes in ascending order, equal ones in their old order.
    // The partitions ask only whether an answer is greater than 0, so that is
    // all asked here: a callback answering 1 or 0 orders as its three-way form
    // does. A merge sort, since answers that order nothing must still give a
    // permutation.
    static std::vector<std::size_t> sorted_places(const std::vector<ll_node<T>*>& nodes,
                                                  int (*cmp)(const T&, const T&))
    {
        const std::size_t n = nodes.size();
        std::vector<std::size_t> places(n), merged(n);
        for (std::size_t k = 0; k < n; ++k) places[k] = k;
        auto greater = [&](std::size_t a, std::size_t b) { return cmp(nodes[a]->elt, nodes[b]->elt) > 0; };
        for (std::size_t width = 1; width < n; width *= 2) {
            for (std::size_t from = 0; from < n; from += 2 * width) {
                const std::size_t middle = std::min(from + width, n), to = std::min(from + 2 * width, n);
                std::size_t a = from, b = middle, out = from;
                // Runs already in order (a sorted list's) are taken whole.
                if (b < to && greater(places[b - 1], places[b])) {
                    while (a < middle && b < to)
                        merged[out++] = greater(places[a], places[b]) ? places[b++] : places[a++];
                }
                while (a < middle) merged[out++] = places[a++];
                while (b < to) merged[out++] = places[b++];
            }
            places.swap(merged);
        }
        return places;
    }

    // Values at slots 0..n-1, with the least of any run of them.
    class least_in_range {
    public:
        static constexpr std::size_t none = SIZE_MAX;
        explicit least_in_range(std::size_t n) : leaves_(std::bit_ceil(n)), tree_(2 * leaves_, none) {}
        void set(std::size_t slot, std::size_t value)
        {
            std::size_t i = leaves_ + slot;
            tree_[i] = value;
            for (i /= 2; i > 0; i /= 2) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
        }
        // The least value at slots [from, to); none when the run is empty.
        std::size_t least(std::size_t from, std::size_t to) const
        {
            std::size_t result = none;
            for (std::size_t a = from + leaves_, b = to + leaves_; a < b; a /= 2, b /= 2) {
                if (a % 2 == 1) result = std::min(result, tree_[a++]);
                if (b % 2 == 1) result = std::min(result, tree_[--b]);
            }
            return result;
        }

    private:
        std::size_t leaves_;
        std::vector<std::size_t> tree_;
    };
};
