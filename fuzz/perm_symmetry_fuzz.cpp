// Permutation-symmetry texts through the tensor basis. The first two bytes
// choose the dimension and the rank, small enough that one input stays quick;
// the rest is the symmetry's text. Besides the sanitizers, the target checks
// what every basis must satisfy: its canonical form reads back to itself, each
// image's representative is a basis component, and the tables agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "module-object/string.h"
#include "module-tensor/tensor_basis.h"

namespace {

void require(bool holds)
{
    if (!holds) std::abort();
}

std::string canonical(const perm_symmetry_type& symmetry)
{
    std::ostringstream out;
    symmetry.print(out);
    return out.str();
}

void check_basis(const tensor_basis& basis)
{
    pointer_to_objects<int> position, representative, list;
    basis.mk_basis_tabs(position, representative, list);
    require(list.count() == basis.n_basis);
    for (int k = 0; k < basis.entry_count(); ++k) {
        const tensor_basis_entry& entry = basis.get_at(k);
        switch (entry.status) {
        case tensor_basis_component: require(list[position[k]] == k); break;
        case tensor_basis_plus_image:
        case tensor_basis_minus_image: {
            const int r = representative[k];
            require(r < k && position[k] == -1);
            require(basis.get_at(r).status == tensor_basis_component);
            require(tensor_indices_to_index(basis.dim, basis.rank, entry.representative) == r);
            break;
        }
        case tensor_basis_zero: require(position[k] == -1 && representative[k] == k); break;
        default: require(false);
        }
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return -1;
    const int dim = 1 + data[0] % 4;
    const int rank = data[1] % 7;
    if (rank > 5 && dim > 3) return -1;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    if (text.find('\0') != text.npos) return -1;

    const perm_symmetry_type symmetry{ZEM_string(text.c_str())};
    if (!symmetry.error) {
        const std::string form = canonical(symmetry);
        require(canonical(perm_symmetry_type{ZEM_string(form.c_str())}) == form);
        const perm_symmetry_type copy = symmetry;
        require(canonical(copy) == form);
    }
    try {
        const tensor_basis basis(dim, rank, symmetry);
        require(!symmetry.error);
        check_basis(basis);
    } catch (const ZEM_string&) {
        // A faulty symmetry or one of more indices than the rank is refused.
    }
    return 0;
}
