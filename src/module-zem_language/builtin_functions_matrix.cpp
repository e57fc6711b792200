// Built-ins on integer and cyclotomic matrices.
#include "module-matrix/matrix_arithmetic.h"
#include "module-object/string.h"
#include "module-scalar/integer.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/builtin_functions.h"
#include "numbers/cyclotomic.h"

namespace {

template <class T>
ZEM_object* matrix_product(int, const ZEM_object** args)
{
    return new ZEM_matrix<T>(argument<ZEM_matrix<T>>(args, 0) * argument<ZEM_matrix<T>>(args, 1));
}

ZEM_type at_imat_mul[] = {tp_matrix(tp_int()), tp_matrix(tp_int())};
builtin_func_definition f_imat_mul(ZEM_string("imat_mul"), ZEM_string("mulitiplication of integer matrices"),
                                   ZEM_string("imat function imat_mul calculates the product of it's arguments"),
                                   matrix_product<ZEM_int>, name_untitled, tp_matrix(tp_int()), 2, at_imat_mul);

ZEM_type at_cycmat_mul[] = {tp_matrix(tp_cyclotomic()), tp_matrix(tp_cyclotomic())};
builtin_func_definition f_cycmat_mul(ZEM_string("cycmat_mul"), ZEM_string("mulitiplication of cycl. matrices"),
                                     ZEM_string("cycmat function cycmat_mul calculates the product of it's arguments"),
                                     matrix_product<ZEM_cyclotomic_number>, name_untitled,
                                     tp_matrix(tp_cyclotomic()), 2, at_cycmat_mul);

}
