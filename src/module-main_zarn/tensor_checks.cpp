#include "module-main_zarn/tensor_checks.h"

#include "groups/group.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_tens.h"
#include "module-matrix/matrix.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/perm_symmetry.h"
#include "numbers/cyclotomic.h"

namespace {

// The variable a name maps to at a dimension, or null.
const var_symtab::var_symtabelt* mapped_variable(const per_dimension_mapping& mapping, const std::string& text,
                                                 int dimension)
{
    const ZEM_string* name = mapping.lookup(dimension, ZEM_string(text.c_str()));
    return name ? configuration_variable(name->c_str()) : nullptr;
}

template <class T>
bool is_square_matrix_of(const var_symtab::var_symtabelt& variable, int dimension)
{
    if (!(variable.type == tp_matrix(T().type()))) return false;
    const auto& m = static_cast<const ZEM_matrix<T>&>(*variable.object);
    return m.columns() == dimension && m.rows() == dimension;
}

}

bool is_point_group(const ZEM_type& type)
{
    for (const ZEM_type& scalar : {tp_int(), tp_fraction(), tp_cyclotomic()})
        if (type == tp_group(tp_matrix(scalar))) return true;
    return false;
}

bool is_valid_point_group_proc(const std::string& text, int dimension)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(group_name_mappings, text, dimension);
    return variable && is_point_group(variable->type);
}

bool is_valid_transformation_proc(const std::string& text, int dimension)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(transformation_name_mappings, text, dimension);
    return variable && (is_square_matrix_of<ZEM_int>(*variable, dimension) ||
                        is_square_matrix_of<ZEM_fraction>(*variable, dimension) ||
                        is_square_matrix_of<ZEM_cyclotomic_number>(*variable, dimension));
}

bool is_valid_perm_symmetry_proc(const std::string& text, int rank)
{
    const perm_symmetry_type symmetry{ZEM_string(text.c_str())};
    return !symmetry.error && symmetry.n_indices == rank;
}

bool perm_symmetry_is_active_proc(const std::string& variable_name, int rank)
{
    const var_symtab::var_symtabelt* list = configuration_variable(list_name(variable_name, rank));
    return list && list->type == tp_string_list();
}

bool transformation_is_active_proc(int dimension)
{
    return dimension >= 1 && dimension <= transformation_name_mappings.count();
}

std::string list_name(const std::string& name, int number) { return name + "_" + std::to_string(number); }
