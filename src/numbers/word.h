// ZEM_word: a word in the generators of a group, a handle on a shared body
// that holds the letters (k for the k-th generator, -k for its inverse, k from
// 1 to 26) in one block behind its fixed fields. Bodies never change after
// construction. Letters outside that range are stored as given and print "?".
#pragma once

#include "module-collections/linkedlist.h"
#include "module-object/object.h"
#include "module-scalar/integer.h"

class ZEM_word_impl : public ZEM_referenced_object {
public:
    // The empty body, without letter storage.
    ZEM_word_impl();
    // Allocate with new_with_trailing<ZEM_word_impl, short>(length, ...): the letters
    // are copied into the storage behind the body.
    ZEM_word_impl(int length, const short* letters);
    // The list's values, cut to 16 bits, until length letters are stored;
    // letters the list does not reach are 0.
    ZEM_word_impl(int length, const ZEM_linkedlist<ZEM_int>& list);

    int length;
    short* letters;
};

class ZEM_word : public ZEM_referencing_object<ZEM_word_impl> {
public:
    ZEM_word();
    ZEM_word(int length, const short* letters);
    explicit ZEM_word(const ZEM_linkedlist<ZEM_int>& list);

    ZEM_object* copy_object() const override;
    // word(aaBcD), without a line end.
    void print(std::ostream& out) const override;
    ZEM_type type() const override;
};

ZEM_type tp_word();
