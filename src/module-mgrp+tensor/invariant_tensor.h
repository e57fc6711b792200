// The general tensor (or pseudo-tensor) of a given rank and index symmetry that
// a finite matrix group leaves invariant, as a tensor of symbolic numbers: every
// component a combination of free parameters with exact coefficients and a zero
// constant, the parameters named by the letters "abcd". The equations come from
// the generators alone: for each generator g the block det(g)^p * A_g - I on the
// basis components (A_g its action matrix; p = 1 for a pseudo-tensor, else 0),
// stacked and reduced to diagonal form D = L * M * R. The parameters are the
// columns of R beyond the rank of M, each entry divided by the number of
// plus-images of its basis component; so the result T satisfies g^T * T = T for
// every generator g, with the factor det(g) for a pseudo-tensor.
//
// Instances (G the scalar of the group and of the elimination, T that of the
// coefficients): (fraction, fraction), (cyclotomic, cyclotomic), (int, fraction).
// The reduction is carried in wide numbers, so it fails with the scalar's
// overflow message only when an entry of R that becomes a coefficient leaves
// 32 bits; the rest of the arithmetic is checked in 32 bits as everywhere.
#pragma once

#include <type_traits>

#include "groups/group.h"
#include "module-matrix/matrix.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/tensor.h"
#include "numbers/cyclotomic.h"
#include "numbers/symbolic.h"

template <class G, class T>
inline constexpr bool invariant_solver_instance =
    (std::is_same_v<G, ZEM_fraction> && std::is_same_v<T, ZEM_fraction>) ||
    (std::is_same_v<G, ZEM_cyclotomic_number> && std::is_same_v<T, ZEM_cyclotomic_number>) ||
    (std::is_same_v<G, ZEM_int> && std::is_same_v<T, ZEM_fraction>);

// The group given by its generators, in order (a ZEM_group gives its own).
// Stores the number of free parameters through n_free (when not null) before
// the result is built; result changes only when the call succeeds. Fails with
// "[invariant_tensor] group without generators" for an empty list, with
// "[invariant_tensor] the symmetry's number of indices differs from the rank" when
// a valid symmetry does not number exactly `rank` indices, with the symmetry's
// own message when it does not parse, and with the message of action_matrix for
// a generator that is not square of the first one's row count.
template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_tensor(const pointer_to_objects<ZEM_matrix<G>>& generators, int rank, const ZEM_string& symmetry,
                      int* n_free, ZEM_tensor<ZEM_symbolic_number<T>>& result);

template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_tensor(const ZEM_group<ZEM_matrix<G>>& group, int rank, const ZEM_string& symmetry, int* n_free,
                      ZEM_tensor<ZEM_symbolic_number<T>>& result);

// The same with the factor det(g); its messages begin "[invariant_pseudo_tensor]".
template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_pseudo_tensor(const pointer_to_objects<ZEM_matrix<G>>& generators, int rank,
                             const ZEM_string& symmetry, int* n_free,
                             ZEM_pseudo_tensor<ZEM_symbolic_number<T>>& result);

template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_pseudo_tensor(const ZEM_group<ZEM_matrix<G>>& group, int rank, const ZEM_string& symmetry,
                             int* n_free, ZEM_pseudo_tensor<ZEM_symbolic_number<T>>& result);
