// The images of an index tuple under a permutation symmetry, each with its sign.
// A group first lets its parts enumerate their own images one after the other
// (a chain of links, the first part outermost), then exchanges its parts by
// transpositions: part i with each later part j, then the positions after i.
// A bracket group flips the sign with every exchange. The top level reports the
// tuple itself first and, when asked for distinct images, passes every image
// through a sink that drops tuples already reported.
#pragma once

#include <deque>
#include <vector>

#include "module-tensor/index_set.h"
#include "module-tensor/perm_symmetry.h"

// The steps of one walk that asks for distinct images only: a step taken again
// (the same element entered, or the same exchange position, on the same tuple
// and sign) can only repeat its earlier reports, so it is skipped. Nothing
// re-enters a step from within itself, so every earlier one is complete. Without
// it, tuples with repeated indices walk factorially many paths.
class walk_memo {
public:
    // True the first time the step is met; `position` -1 is entering `where`.
    bool first_visit(const void* where, int position, permsym_plusmin sign, const pointer_to_objects<int>& tuple);
    void count_exchange() { ++exchanges_tried_; }
    // Exchanges of two parts tried in this walk: a measure of the work done.
    long long exchanges_tried() const { return exchanges_tried_; }

    // A tuple of the given length to exchange parts in, lent until give_back:
    // the walk lends them in nested order and reuses them.
    pointer_to_objects<int>& borrow(int length);
    void give_back() { --lent_; }

private:
    int_key_set steps_;
    std::vector<int> key_;
    long long exchanges_tried_ = 0;
    std::deque<pointer_to_objects<int>> spare_;
    std::size_t lent_ = 0;
};

// One link of a chain: hands each image on to `element`, which reports to
// `callback` with `data` (the next link, or the final callback and its data).
struct forallstruct_1 {
    permsym_callback callback = nullptr;
    void* data = nullptr;
    const perm_symmetry_type_base* element = nullptr;
    walk_memo* memo = nullptr;
};

// The sink that passes each distinct tuple (or each distinct tuple and sign) on once.
struct forallstruct_2 {
    permsym_callback callback;
    void* data;
    int_key_set seen;
    // Room for a tuple and its sign.
    std::vector<int> key = {};
};

// The chain link; data is a forallstruct_1*. The three names of the links of a
// parenthesis group, a bracket group and the top level are the one function.
void follow_link(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);
inline constexpr permsym_callback fhups_sym_1 = follow_link;
inline constexpr permsym_callback fhups_antisym_1 = follow_link;
inline constexpr permsym_callback fhups_symtype_1 = follow_link;

// The sink; data is a forallstruct_2*.
void fhups_symtype_2(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

// The exchanges of the parts of a group from position i on, by transpositions:
// part i with each later part j, each exchanged tuple reported, run through the
// chain of the parts and exchanged further from i + 1. fhups_antisym flips the
// sign with every exchange and reports a tuple that an exchange leaves unchanged
// with minus; both fail when two exchanged parts differ in size.
void fhups_sym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
               void* data, const pointer_to_objects<const perm_symmetry_type_base*>& parts);
void fhups_antisym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
                   void* data, const pointer_to_objects<const perm_symmetry_type_base*>& parts);

// Exchanges tuple[first[k]] and tuple[second[k]] for every k; lists of unequal
// length fail before anything is exchanged.
void permswap(pointer_to_objects<int>& tuple, const pointer_to_objects<int>& first,
              const pointer_to_objects<int>& second);

// Counts the images with the plus sign; data is an int*.
void nsw1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

// The distinct images, as perm_symmetry_type::for_all_symmetrical_with_do with
// all == 0 reports them, walked with the caller's memo.
void for_all_distinct_images_do(const perm_symmetry_type& symmetry, permsym_callback callback,
                                const pointer_to_objects<int>& tuple, void* data, walk_memo& memo);
