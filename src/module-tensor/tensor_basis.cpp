#include "module-tensor/tensor_basis.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "module-object/error.h"
#include "module-object/text_stream.h"

namespace {

// Passed to the classification callbacks.
struct classification {
    tensor_basis* basis;
    const pointer_to_objects<int>* tuple;
    int component;
};

}

int tensor_indices_to_index(int dim, int rank, const pointer_to_objects<int>& tuple)
{
    if (tuple.count() < rank) ZEM_FAIL("[tensor_indices_to_index] fewer indices than the rank");
    std::int64_t number = 0;
    std::int64_t weight = 1;
    for (int k = 0; k < rank; ++k) {
        int i = tuple[rank - 1 - k];
        if (i < 0 || i >= dim) ZEM_FAIL("tensor index out of bounds");
        number += weight * i;
        if (number > INT_MAX) ZEM_FAIL("[tensor_indices_to_index] component number beyond 32 bits");
        // Saturated: a weight beyond 32 bits with a nonzero index fails above.
        weight = weight * dim > INT_MAX ? std::int64_t(INT_MAX) + 1 : weight * dim;
    }
    return static_cast<int>(number);
}

void tensor_index_to_indices(int dim, int rank, int index, pointer_to_objects<int>& tuple)
{
    if (rank > 0 && dim < 1) ZEM_FAIL("[tensor_index_to_indices] dimension below 1");
    if (tuple.count() != rank) tuple = pointer_to_objects<int>(rank);
    for (int k = 0; k < rank; ++k) {
        tuple[rank - 1 - k] = index % dim;
        index /= dim;
    }
}

int tensor_component_count(int dim, int rank)
{
    if (rank < 0) ZEM_FAIL("[tensor_basis] negative rank");
    if (dim < 0) ZEM_FAIL("[tensor_basis] negative dimension");
    std::int64_t count = 1;
    for (int k = 0; k < rank; ++k) {
        count *= dim;
        if (count > INT_MAX) ZEM_FAIL("[tensor_basis] too many components for 32 bits");
        if (count == 0) break;
    }
    return static_cast<int>(count);
}

char* tensor_component_name(int dim, int rank, int component)
{
    static const char letters[] = "xyzuvw";
    const int n_letters = static_cast<int>(sizeof letters) - 1;
    if (component < 0 || component >= tensor_component_count(dim, rank))
        ZEM_FAIL("[tensor_component_name] component out of range");
    pointer_to_objects<int> tuple;
    tensor_index_to_indices(dim, rank, component, tuple);
    text_stream out;
    for (int index : tuple) {
        if (dim >= 1 && dim <= n_letters)
            out << letters[index];
        else
            out << letters[0] << index;
    }
    std::string text = out.str();
    char* name = new char[text.size() + 1];
    std::memcpy(name, text.c_str(), text.size() + 1);
    return name;
}

tensor_basis::tensor_basis(int dim, int rank, const perm_symmetry_type& symmetry) : dim(dim), rank(rank)
{
    if (symmetry.error) ZEM_FAIL(symmetry.error);
    if (rank >= 0 && symmetry.n_indices > rank)
        ZEM_FAIL("[tensor_basis] more indices in the symmetry than the rank");
    entries_ = pointer_to_objects<tensor_basis_entry>(tensor_component_count(dim, rank));
    // Every class is settled when the walk in ascending component number meets
    // its smallest member.
    if (entries_.count() > 0) _f1(0, pointer_to_objects<int>(rank), symmetry);
    for (const tensor_basis_entry& entry : entries_)
        if (entry.status == tensor_basis_component) ++n_basis;
}

void tensor_basis::_f1(int position, const pointer_to_objects<int>& tuple, const perm_symmetry_type& symmetry)
{
    pointer_to_objects<int> t(tuple);
    for (int k = position; k < rank; ++k) t[k] = 0;
    for (int f = tensor_indices_to_index(dim, rank, t);; ++f) {
        if (entries_[f].status == tensor_basis_unclassified) classify(f, t, symmetry);
        int k = rank - 1;
        for (; k >= position && t[k] == dim - 1; --k) t[k] = 0;
        if (k < position) return;
        ++t[k];
    }
}

void tensor_basis::classify(int f, const pointer_to_objects<int>& tuple, const perm_symmetry_type& symmetry)
{
    tensor_basis_entry& entry = entries_[f];
    entry.status = tensor_basis_component;
    entry.representative = tuple;
    classification data{this, &tuple, f};
    // Only the first sign of each image and whether the tuple meets its own
    // negative decide, so repeated reports are left out.
    symmetry.for_all_signed_images_do(f1_tensor_basis, tuple, &data);
    if (entry.status == tensor_basis_zero) symmetry.for_all_signed_images_do(f2_tensor_basis, tuple, &data);
}

void f1_tensor_basis(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto* c = static_cast<classification*>(data);
    tensor_basis& basis = *c->basis;
    int g = tensor_indices_to_index(basis.dim, basis.rank, image);
    tensor_basis_entry& entry = basis.entries_[g];
    if (g == c->component) {
        if (sign == permsym_minus) entry.status = tensor_basis_zero;
    } else if (entry.status == tensor_basis_unclassified) {
        entry.status = sign == permsym_plus ? tensor_basis_plus_image : tensor_basis_minus_image;
        entry.representative = *c->tuple;
    }
}

void f2_tensor_basis(const pointer_to_objects<int>& image, permsym_plusmin, void* data)
{
    auto* c = static_cast<classification*>(data);
    tensor_basis& basis = *c->basis;
    basis.entries_[tensor_indices_to_index(basis.dim, basis.rank, image)].status = tensor_basis_zero;
}

const tensor_basis_entry& tensor_basis::get_at(pointer_to_objects<int> tuple) const
{
    return entries_[tensor_indices_to_index(dim, rank, tuple)];
}

void tensor_basis::mk_basis_tabs(pointer_to_objects<int>& position, pointer_to_objects<int>& representative,
                                 pointer_to_objects<int>& basis) const
{
    position = pointer_to_objects<int>(entries_.count());
    representative = pointer_to_objects<int>(entries_.count());
    basis = pointer_to_objects<int>(n_basis);
    int j = 0;
    for (int k = 0; k < entries_.count(); ++k) {
        const tensor_basis_entry& entry = entries_[k];
        switch (entry.status) {
        case tensor_basis_component:
            position[k] = j;
            representative[k] = k;
            basis[j++] = k;
            break;
        case tensor_basis_plus_image:
        case tensor_basis_minus_image:
            position[k] = -1;
            representative[k] = tensor_indices_to_index(dim, rank, entry.representative);
            break;
        case tensor_basis_zero:
            position[k] = -1;
            representative[k] = k;
            break;
        default:
            ZEM_FAIL("[tensor_basis::mk_basis_tabs] hmm... something is wrong here");
        }
    }
}

ZEM_type tp_tensor(const ZEM_type& element) { return ZEM_type("tensor", 1, &element); }

ZEM_type tp_pseudo_tensor(const ZEM_type& element) { return ZEM_type("pseudo_tensor", 1, &element); }
