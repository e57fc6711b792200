// Built-ins of matrix reduction.
#include "module-matrix_a/determinant.h"
#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/builtin_functions.h"

namespace {

ZEM_object* matrix_determinant(int, const ZEM_object** args)
{
    return new ZEM_fraction(determinant(argument<ZEM_matrix<ZEM_fraction>>(args, 0)));
}

ZEM_type at_matrix_determinant[] = {tp_matrix(tp_fraction())};
builtin_func_definition f_matrix_determinant(
    ZEM_string("matrix_determinant"), ZEM_string("determinant of a matrix"),
    ZEM_string("The function matrix_determinant calculates the determinant of it's argument."), matrix_determinant,
    name_untitled, tp_fraction(), 1, at_matrix_determinant);

}
