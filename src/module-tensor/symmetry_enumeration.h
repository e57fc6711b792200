// The images of an index tuple under a permutation symmetry, each with its sign.
// A group first lets its parts enumerate their own images one after the other
// (a chain of links, the first part outermost), then exchanges its parts by
// transpositions: part i with each later part j, then the positions after i.
// A bracket group flips the sign with every exchange. The top level reports the
// tuple itself first and, when asked for distinct images, passes every image
// through a sink that drops tuples already reported.
#pragma once

#include "module-tensor/index_set.h"
#include "module-tensor/perm_symmetry.h"

// One link of a chain: hands each image on to `element`, which reports to
// `callback` with `data` (the next link, or the final callback and its data).
struct forallstruct_1 {
    permsym_callback callback = nullptr;
    void* data = nullptr;
    const perm_symmetry_type_base* element = nullptr;
};

// The sink that passes each distinct tuple on once.
struct forallstruct_2 {
    permsym_callback callback;
    void* data;
    index_set seen;
};

using perm_part_list = pointer_to_objects<const perm_symmetry_type_base*>;

void fhups_sym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
               void* data, const perm_part_list& parts);
void fhups_antisym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
                   void* data, const perm_part_list& parts);

// Chain links; data is a forallstruct_1*.
void fhups_sym_1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);
void fhups_antisym_1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);
void fhups_symtype_1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

// The sink; data is a forallstruct_2*.
void fhups_symtype_2(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

// Exchanges tuple[first[k]] and tuple[second[k]] for every k; lists of unequal
// length fail before anything is exchanged.
void permswap(pointer_to_objects<int>& tuple, const pointer_to_objects<int>& first,
              const pointer_to_objects<int>& second);

// Counts the images with the plus sign; data is an int*.
void nsw1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

// Exchanges of two parts tried by every walk so far: a measure of the work done.
long long symmetry_exchanges_tried();
