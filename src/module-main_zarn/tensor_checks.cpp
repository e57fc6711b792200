#include "module-main_zarn/tensor_checks.h"

#include <QLineEdit>
#include <QSpinBox>

#include "groups/group.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensorprog.h"
#include "module-matrix/matrix.h"
#include "module-tensor/perm_symmetry.h"
#include "numbers/scalar_instances.h"

namespace {


// The number in the partner number input; 0, which no check accepts, without one.
int number_in(const QObject& self, const char* key)
{
    const QSpinBox* number = partner<QSpinBox>(self, key);
    return number ? number->value() : 0;
}

bool partner_is_valid(const QObject& self, const char* key)
{
    const QObject* input = partner<QObject>(self, key);
    return input && input->property(CONTAINS_VALID_VALUE).toBool();
}

// The variable the input's text maps to at the dimension, or null.
const var_symtab::var_symtabelt* mapped_variable(const per_dimension_mapping& mapping, const QObject& input)
{
    const ZEM_string* name = mapping.lookup(number_in(input, DIMENSION_EDITOR), ZEM_string(text_of(input).c_str()));
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

bool is_valid_point_group_proc(const QObject& self)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(group_name_mappings, self);
    return variable && is_point_group(variable->type);
}

bool is_valid_transformation_proc(const QObject& self)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(transformation_name_mappings, self);
    return variable && is_square_matrix(*variable, number_in(self, DIMENSION_EDITOR));
}

bool is_valid_perm_symmetry_proc(const QObject& self)
{
    const perm_symmetry_type symmetry{ZEM_string(text_of(self).c_str())};
    return !symmetry.error && symmetry.n_indices == number_in(self, RANK_EDITOR);
}

QColor color_of_text_editor_proc(const QObject& self)
{
    return self.property(CONTAINS_VALID_VALUE).toBool() ? white : invalid_red;
}

bool view_is_active_proc(const QObject& self) { return partner_is_valid(self, POINT_GROUP_TEXT_EDITOR); }

bool execute_is_active_proc(const QObject& self)
{
    return partner_is_valid(self, PERM_SYMMETRY_EDITOR) && partner_is_valid(self, POINT_GROUP_TEXT_EDITOR) &&
           partner_is_valid(self, TRANSFORMATION_TEXT_EDITOR);
}

bool perm_symmetry_is_active_proc(const QObject& self)
{
    const std::string stem = self.property(VARIABLE_NAME).toString().toStdString();
    const var_symtab::var_symtabelt* list = configuration_variable(list_name(stem, number_in(self, RANK_EDITOR)));
    return list && list->type == tp_string_list();
}

bool transformation_is_active_proc(const QObject& self)
{
    const int dimension = number_in(self, DIMENSION_EDITOR);
    return dimension >= 1 && dimension <= transformation_name_mappings.count();
}

void is_valid_point_group(QWidget* self) { self->setProperty(CONTAINS_VALID_VALUE, is_valid_point_group_proc(*self)); }

void is_valid_transformation(QWidget* self)
{
    self->setProperty(CONTAINS_VALID_VALUE, is_valid_transformation_proc(*self));
}

void is_valid_perm_symmetry(QWidget* self)
{
    self->setProperty(CONTAINS_VALID_VALUE, is_valid_perm_symmetry_proc(*self));
}

void color_of_text_editor(QWidget* self) { set_base_colour(self, color_of_text_editor_proc(*self)); }

void view_is_active(QWidget* self) { self->setEnabled(view_is_active_proc(*self)); }
void execute_is_active(QWidget* self) { self->setEnabled(execute_is_active_proc(*self)); }
void perm_symmetry_is_active(QWidget* self) { self->setEnabled(perm_symmetry_is_active_proc(*self)); }
void transformation_is_active(QWidget* self) { self->setEnabled(transformation_is_active_proc(*self)); }

std::string list_name(const std::string& name, int number) { return name + "_" + std::to_string(number); }
