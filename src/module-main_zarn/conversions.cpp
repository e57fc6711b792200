#include "module-main_zarn/conversions.h"

#include <utility>
#include <vector>

namespace {

ZEM_fraction lift(const ZEM_int& n) { return ZEM_fraction(n.value(), 1); }
ZEM_cyclotomic_number lift(const ZEM_fraction& f) { return ZEM_cyclotomic_number(f); }
cyclotomic_symbolic lift(const fraction_symbolic& x) { return frac2cycl(x); }

template <class From>
auto lifted(const From* source, int count)
{
    pointer_to_objects<decltype(lift(*source))> result(count);
    for (int k = 0; k < count; ++k) result[k] = lift(source[k]);
    return result;
}

template <class From>
auto lifted_matrix(const ZEM_matrix<From>& m)
{
    using To = decltype(lift(From()));
    return ZEM_matrix<To>(m.columns(), m.rows(), lifted(m.elements(), m.columns() * m.rows()));
}

// Components are converted one by one, never symmetrised again.
template <class Result, class Tensor>
Result lifted_tensor(const Tensor& t)
{
    return Result(t.dim(), t.rank(), lifted(t.values().block(), t.values().count()), t.symmetry());
}

}

ZEM_matrix<ZEM_fraction> int2frac(const ZEM_matrix<ZEM_int>& m) { return lifted_matrix(m); }

ZEM_matrix<ZEM_cyclotomic_number> frac2cycl(const ZEM_matrix<ZEM_fraction>& m) { return lifted_matrix(m); }

cyclotomic_symbolic frac2cycl(const fraction_symbolic& x)
{
    std::vector<symbolic_term<ZEM_cyclotomic_number>> terms;
    terms.reserve(x.terms().size());
    for (const auto& [k, c] : x.terms()) terms.push_back({k, lift(c)});
    return cyclotomic_symbolic(x.coefficients().count(), std::move(terms), lift(x.constant()), x.names());
}

ZEM_tensor<cyclotomic_symbolic> frac2cycl(const ZEM_tensor<fraction_symbolic>& t)
{
    return lifted_tensor<ZEM_tensor<cyclotomic_symbolic>>(t);
}

ZEM_pseudo_tensor<cyclotomic_symbolic> frac2cycl(const ZEM_pseudo_tensor<fraction_symbolic>& t)
{
    return lifted_tensor<ZEM_pseudo_tensor<cyclotomic_symbolic>>(t);
}
