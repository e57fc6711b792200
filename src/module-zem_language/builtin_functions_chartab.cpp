// Built-ins on character tables. A character must have one value per class of
// the table it is used with; the table's own operations test that only where
// their arithmetic needs it, so the built-ins test it for the others.
#include <string>

#include "module-chartab/chartab.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-scalar/integer.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/builtin_functions.h"

namespace {

using table = ZEM_character_table;

void require_class_length(const char* operation, const table& t, const ZEM_character& chi)
{
    if (chi.length() != t.columns())
        ZEM_FAIL(std::string("[") + operation + "] size(character) != columns()");
}

ZEM_object* chartab_row(int, const ZEM_object** args)
{
    return new ZEM_character(argument<table>(args, 0).row(argument<ZEM_int>(args, 1).value()));
}

// Two characters of different lengths keep the operation's own message.
template <ZEM_character (table::*operation)(const ZEM_character&, const ZEM_character&) const>
ZEM_object* combine(const char* name, const ZEM_object** args)
{
    const table& t = argument<table>(args, 0);
    const ZEM_character& v1 = argument<ZEM_character>(args, 1);
    const ZEM_character& v2 = argument<ZEM_character>(args, 2);
    if (v1.length() == v2.length()) require_class_length(name, t, v1);
    return new ZEM_character((t.*operation)(v1, v2));
}

ZEM_object* character_product(int, const ZEM_object** args)
{
    return combine<&table::character_product>("character_product", args);
}

ZEM_object* character_add(int, const ZEM_object** args)
{
    return combine<&table::character_add>("character_add", args);
}

ZEM_object* character_scalar_product(int, const ZEM_object** args)
{
    return new ZEM_cyclotomic_number(
        argument<table>(args, 0).character_scalar_product(argument<ZEM_character>(args, 1),
                                                          argument<ZEM_character>(args, 2)));
}

ZEM_object* character_decompose(int, const ZEM_object** args)
{
    return new ZEM_linkedlist<ZEM_cyclotomic_number>(
        argument<table>(args, 0).decompose(argument<ZEM_character>(args, 1)));
}

// The power 0 is the trivial character whatever is given, so a character of
// the wrong length would pass unnoticed there; other powers fail on it.
ZEM_object* character_power(int, const ZEM_object** args)
{
    const table& t = argument<table>(args, 0);
    const ZEM_character& chi = argument<ZEM_character>(args, 1);
    const int n = argument<ZEM_int>(args, 2).value();
    if (n == 0) require_class_length("character_power", t, chi);
    return new ZEM_character(t.character_power(chi, n));
}

ZEM_type at_chartab_row[] = {tp_character_table(), tp_int()};
builtin_func_definition f_chartab_row(ZEM_string("chartab_row"), ZEM_string("extract row from char.table"),
                                      ZEM_string("The function chartab_row extracts a row from a character table."),
                                      chartab_row, name_untitled, tp_character(), 2, at_chartab_row);

ZEM_type at_character_product[] = {tp_character_table(), tp_character(), tp_character()};
builtin_func_definition f_character_product(
    ZEM_string("character_product"), ZEM_string("product of 2 characters"),
    ZEM_string("The product of two characters is defined as the vector which contains the products of the "
               "components of the operands."),
    character_product, name_untitled, tp_character(), 3, at_character_product);

ZEM_type at_character_add[] = {tp_character_table(), tp_character(), tp_character()};
builtin_func_definition f_character_add(ZEM_string("character_add"), ZEM_string("don't know"),
                                        ZEM_string("don't know"), character_add, name_untitled, tp_character(), 3,
                                        at_character_add);

ZEM_type at_character_scalar_product[] = {tp_character_table(), tp_character(), tp_character()};
builtin_func_definition f_character_scalar_product(ZEM_string("character_scalar_product"),
                                                   ZEM_string("don't know"), ZEM_string("don't know"),
                                                   character_scalar_product, name_untitled, tp_cyclotomic(), 3,
                                                   at_character_scalar_product);

ZEM_type at_character_decompose[] = {tp_character_table(), tp_character()};
builtin_func_definition f_character_decompose(ZEM_string("character_decompose"), ZEM_string("don't know"),
                                              ZEM_string("don't know"), character_decompose, name_untitled,
                                              tp_linkedlist(tp_cyclotomic()), 2, at_character_decompose);

ZEM_type at_character_power[] = {tp_character_table(), tp_character(), tp_int()};
builtin_func_definition f_character_power(ZEM_string("character_power"), ZEM_string("don't know"),
                                          ZEM_string("don't know"), character_power, name_untitled, tp_character(),
                                          3, at_character_power);

}
