// ZEM_linkedlist<T>: a doubly linked list of elements held by value (a handle
// element shares its body with the value it was copied from). head and tail
// are both null (empty) or both set, head->prev and tail->next are null, and
// the prev links mirror the next links. Appending and taking from the head
// are constant time, so a list serves as a first-in, first-out queue.
#pragma once

#include <cstddef>

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

    void add_at_tail(const T& x)
    {
        ll_node<T>* node = new ll_node<T>{nullptr, tail, x};
        if (tail)
            tail->next = node;
        else
            head = node;
        tail = node;
    }

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

    // In place, by relinking, with a strcmp-like callback: a bottom-up merge
    // sort, so it needs no stack however long the list, and stable: elements
    // that compare equal keep their order.
    void sort(int (*cmp)(const T&, const T&))
    {
        for (std::size_t width = 1; head && head->next; width *= 2) {
            ll_node<T>* rest = head;
            ll_node<T>** out = &head;
            int merges = 0;
            while (rest) {
                ll_node<T>* a = rest;
                ll_node<T>* b = cut_after(a, width);
                rest = cut_after(b, width);
                ++merges;
                while (a && b) {
                    ll_node<T>*& taken = cmp(a->elt, b->elt) <= 0 ? a : b;
                    *out = taken;
                    taken = taken->next;
                    out = &(*out)->next;
                }
                for (*out = a ? a : b; *out; out = &(*out)->next) {}
            }
            if (merges == 1) break;
        }
        ll_node<T>* previous = nullptr;
        for (ll_node<T>* x = head; x; previous = x, x = x->next) x->prev = previous;
        tail = previous;
    }

    // Read them, never change them: the list is empty exactly when head is null.
    ll_node<T>* head = nullptr;
    ll_node<T>* tail = nullptr;

private:
    void clear()
    {
        while (ll_node<T>* node = head) {
            head = node->next;
            delete node;
        }
        tail = nullptr;
    }

    // Ends the chain from `first` after n nodes; what followed, or null.
    static ll_node<T>* cut_after(ll_node<T>* first, std::size_t n)
    {
        for (; first && n > 1; --n) first = first->next;
        if (!first) return nullptr;
        ll_node<T>* rest = first->next;
        first->next = nullptr;
        return rest;
    }
};
