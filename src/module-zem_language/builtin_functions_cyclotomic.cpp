// Built-ins on cyclotomic numbers.
#include <functional>

#include "module-object/string.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/builtin_functions.h"
#include "numbers/cyclotomic.h"

namespace {

using cyclotomic = ZEM_cyclotomic_number;

template <class Operation>
ZEM_object* combine(int, const ZEM_object** args)
{
    return new cyclotomic(Operation()(argument<cyclotomic>(args, 0), argument<cyclotomic>(args, 1)));
}

ZEM_type at_cn_plus[] = {tp_cyclotomic(), tp_cyclotomic()};
builtin_func_definition f_cn_plus(ZEM_string("cn_plus"), ZEM_string("sum of cyclotomics"),
                                  ZEM_string("the functions cn_plus calculates the sum of two cyclotomics"),
                                  combine<std::plus<>>, name_untitled, tp_cyclotomic(), 2, at_cn_plus);

ZEM_type at_cn_minus[] = {tp_cyclotomic(), tp_cyclotomic()};
builtin_func_definition f_cn_minus(ZEM_string("cn_minus"), ZEM_string("difference of cyclotomics"),
                                   ZEM_string("the functions cn_minus calculates the difference of two cyclotomics"),
                                   combine<std::minus<>>, name_untitled, tp_cyclotomic(), 2, at_cn_minus);

ZEM_type at_cn_mul[] = {tp_cyclotomic(), tp_cyclotomic()};
builtin_func_definition f_cn_mul(ZEM_string("cn_mul"), ZEM_string("product of cyclotomics"),
                                 ZEM_string("the functions cn_mul calculates the product of two cyclotomics"),
                                 combine<std::multiplies<>>, name_untitled, tp_cyclotomic(), 2, at_cn_mul);

ZEM_type at_cn_divide[] = {tp_cyclotomic(), tp_cyclotomic()};
builtin_func_definition f_cn_divide(ZEM_string("cn_divide"), ZEM_string("quotient of cyclotomics"),
                                    ZEM_string("the functions cn_divide calculates the quotient of two cyclotomics"),
                                    combine<std::divides<>>, name_untitled, tp_cyclotomic(), 2, at_cn_divide);

}
