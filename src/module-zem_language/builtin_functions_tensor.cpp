// Built-ins on a matrix and a tensor.
#include "module-matrix+tensor/matrix_times_tensor.h"
#include "module-object/string.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/builtin_functions.h"

namespace {

template <class T>
ZEM_object* matrix_times_tensor(int, const ZEM_object** args)
{
    return new ZEM_tensor<T>(argument<ZEM_matrix<T>>(args, 0) * argument<ZEM_tensor<T>>(args, 1));
}

ZEM_type at_tens_mul[] = {tp_matrix(tp_fraction()), tp_tensor(tp_fraction())};
builtin_func_definition f_tens_mul(ZEM_string("tens_mul"), ZEM_string("multiplication of matrix and tensor"),
                                   ZEM_string("The function tens_mul calculates the product of it's arguments"),
                                   matrix_times_tensor<ZEM_fraction>, name_untitled, tp_tensor(tp_fraction()), 2,
                                   at_tens_mul);

ZEM_type at_cyctens_mul[] = {tp_matrix(tp_cyclotomic()), tp_tensor(tp_cyclotomic())};
builtin_func_definition f_cyctens_mul(ZEM_string("cyctens_mul"), ZEM_string("multiplication of matrix and tensor"),
                                      ZEM_string("The function cyctens_mul calculates the product of it's arguments"),
                                      matrix_times_tensor<ZEM_cyclotomic_number>, name_untitled,
                                      tp_tensor(tp_cyclotomic()), 2, at_cyctens_mul);

}
