// Index arithmetic of tensors and the tensor basis of a permutation symmetry.
// A component of a tensor of dimension dim and rank r is numbered
// i_0 * dim^(r-1) + ... + i_(r-1), the last index fastest. The basis gives every
// component a status: a basis component (the smallest member of its class), an
// image equal to plus or minus its representative, or zero. It is complete when
// its constructor returns and read-only afterwards.
#pragma once

#include "module-object/pointer_to_objects.h"
#include "module-object/type.h"
#include "module-tensor/perm_symmetry.h"

// Fails with "tensor index out of bounds" for an index outside 0 .. dim - 1.
int tensor_indices_to_index(int dim, int rank, const pointer_to_objects<int>& tuple);
// Makes the tuple rank long when it is not, and writes the indices of `index`.
void tensor_index_to_indices(int dim, int rank, int index, pointer_to_objects<int>& tuple);
// dim^rank, refused with a bracketed message when the rank or the dimension is
// negative or the count does not fit in 32 bits.
int tensor_component_count(int dim, int rank);

// The name of a component: a letter of "xyzuvw" per index up to dimension 6,
// else "x" and the index in decimal per index. A new array for delete[].
char* tensor_component_name(int dim, int rank, int component);

// The status codes of the entries; other code tests them by number too.
enum tensor_basis_status {
    tensor_basis_unclassified = 0,
    tensor_basis_component = 1,
    tensor_basis_plus_image = 2,
    tensor_basis_minus_image = 3,
    tensor_basis_zero = 4,
};

struct tensor_basis_entry {
    int status = tensor_basis_unclassified;
    // Empty while unclassified; else the tuple of the class representative.
    pointer_to_objects<int> representative;
};

class tensor_basis {
public:
    int dim;
    int rank;
    int n_basis = 0;

    // Fails with the symmetry's own message when it holds one, and refuses a
    // symmetry with more indices than the rank before anything is allocated.
    tensor_basis(int dim, int rank, const perm_symmetry_type& symmetry);
    tensor_basis(const tensor_basis&) = delete;
    tensor_basis& operator=(const tensor_basis&) = delete;

    const tensor_basis_entry& get_at(int index) const { return entries_[index]; }
    const tensor_basis_entry& get_at(pointer_to_objects<int> tuple) const;
    int entry_count() const { return entries_.count(); }

    // position: component to basis position or -1; representative: component to
    // its class representative (itself for basis and zero components); basis:
    // basis position to component.
    void mk_basis_tabs(pointer_to_objects<int>& position, pointer_to_objects<int>& representative,
                       pointer_to_objects<int>& basis) const;

private:
    // Walks the tuples that agree with `tuple` before `position`, in ascending
    // component number, and classifies each one not yet classified. It counts
    // like an odometer on a copy of the tuple: a recursion per position would
    // go as deep as the rank, which dimension 1 leaves unbounded.
    void _f1(int position, const pointer_to_objects<int>& tuple, const perm_symmetry_type& symmetry);
    // Makes component f, not yet classified, a basis component and classifies its images.
    void classify(int f, const pointer_to_objects<int>& tuple, const perm_symmetry_type& symmetry);
    friend void f1_tensor_basis(const pointer_to_objects<int>&, permsym_plusmin, void*);
    friend void f2_tensor_basis(const pointer_to_objects<int>&, permsym_plusmin, void*);

    pointer_to_objects<tensor_basis_entry> entries_;
};

// Callbacks of the classification; data points to the basis and the representative's tuple.
void f1_tensor_basis(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);
void f2_tensor_basis(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

ZEM_type tp_tensor(const ZEM_type& element);
ZEM_type tp_pseudo_tensor(const ZEM_type& element);
