// Lifting a value one step up the fields integer, fraction, cyclotomic number,
// exactly and keeping its shape: n becomes n/1, a fraction f the cyclotomic
// number of order 1 whose one coefficient is f. A tensor keeps its dimension,
// rank, parsed symmetry and parameter names; a pseudo-tensor stays one.
#pragma once

#include "module-matrix/matrix.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/tensor.h"
#include "numbers/cyclotomic.h"
#include "numbers/symbolic.h"

using fraction_symbolic = ZEM_symbolic_number<ZEM_fraction>;
using cyclotomic_symbolic = ZEM_symbolic_number<ZEM_cyclotomic_number>;

ZEM_matrix<ZEM_fraction> int2frac(const ZEM_matrix<ZEM_int>& m);

ZEM_matrix<ZEM_cyclotomic_number> frac2cycl(const ZEM_matrix<ZEM_fraction>& m);
cyclotomic_symbolic frac2cycl(const fraction_symbolic& x);
ZEM_tensor<cyclotomic_symbolic> frac2cycl(const ZEM_tensor<fraction_symbolic>& t);
ZEM_pseudo_tensor<cyclotomic_symbolic> frac2cycl(const ZEM_pseudo_tensor<fraction_symbolic>& t);
