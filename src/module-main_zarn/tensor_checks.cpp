#include "module-main_zarn/tensor_checks.h"

#include "groups/group.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_tens.h"
#include "module-matrix/matrix.h"
#include "module-tensor/perm_symmetry.h"
#include "numbers/scalar_instances.h"

namespace {

// The variable a name maps to at a dimension, or null.
const var_symtab::var_symtabelt* mapped_variable(const per_dimension_mapping& mapping, const std::string& text,
                                                 int dimension)
{
    const ZEM_string* name = mapping.lookup(dimension, ZEM_string(text.c_str()));
    return name ? configuration_variable(name->c_str()) : nullptr;
}

bool is_square_matrix(const var_symtab::var_symtabelt& variable, int dimension)
{
    bool square = false;
    visit_scalar_instance(variable.type, tp_matrix, [&](auto tag) {
        const auto& m = static_cast<const ZEM_matrix<typename decltype(tag)::type>&>(*variable.object);
        square = m.columns() == dimension && m.rows() == dimension;
    });
    return square;
}

}

ZEM_type matrix_group_of(const ZEM_type& scalar) { return tp_group(tp_matrix(scalar)); }

bool is_point_group(const ZEM_type& type)
{
    return is_scalar_instance(type, matrix_group_of);
}

bool is_valid_point_group_proc(const std::string& text, int dimension)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(group_name_mappings, text, dimension);
    return variable && is_point_group(variable->type);
}

bool is_valid_transformation_proc(const std::string& text, int dimension)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(transformation_name_mappings, text, dimension);
    return variable && is_square_matrix(*variable, dimension);
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
