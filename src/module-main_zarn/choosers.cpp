#include "module-main_zarn/choosers.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSpinBox>
#include <vector>

#include "module-collections/linkedlist.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_checks.h"
#include "module-main_zarn/tensorprog.h"

namespace {

std::vector<std::string> strings_of(const ZEM_object& list)
{
    std::vector<std::string> strings;
    for (const ll_node<ZEM_string>* node = static_cast<const ZEM_linkedlist<ZEM_string>&>(list).head; node;
         node = node->next)
        strings.emplace_back(node->elt.c_str());
    return strings;
}

std::string variable_name_of(const QObject& command)
{
    return command.property(VARIABLE_NAME).toString().toStdString();
}

int number_of(const QObject& command, const char* key) { return partner<QSpinBox>(command, key)->value(); }

// A chooser run from a button: its choice, if any, goes into the button's input under `key`.
template <class Chooser>
void choose_into(const QObject& command, const char* key, Chooser&& chooser)
{
    workbench_action([&] {
        if (const std::optional<std::string> chosen = chooser())
            partner<QLineEdit>(command, key)->setText(QString::fromStdString(*chosen));
    });
}

}

std::vector<chooser_entry> entries_of(const ZEM_object& list, bool lone_label_fails)
{
    std::vector<chooser_entry> entries;
    ZEM_iterator<ZEM_string> walk(static_cast<const ZEM_linkedlist<ZEM_string>&>(list).create_iter_at_begin());
    while (walk) {
        chooser_entry entry{(*walk).c_str(), {}};
        walk++;
        if (!walk && !lone_label_fails) break;
        entry.name = (*walk).c_str();
        walk++;
        entries.push_back(entry);
    }
    return entries;
}

std::optional<std::string> wait_for_choice(
    const std::string& title, const std::vector<chooser_entry>& entries,
    const std::function<std::optional<std::string>(const chooser_entry&)>& choose)
{
    std::vector<std::string> labels;
    for (const chooser_entry& e : entries) labels.push_back(e.label);
    std::optional<std::string> chosen;
    ask_selection(title, labels, [&](int k) {
        chosen = choose(entries[std::size_t(k)]);
        return chosen.has_value();
    });
    return chosen;
}

std::optional<std::string> do_choose_pointgroup_or_pointgroup_class_proc(const std::string& name, int dimension)
{
    const std::string list = list_name(name, dimension);
    const std::string type_fault =
        "\"" + list + "\" should be of type linkedlist<string> or group<matrix<int / fraction / cyclotomic>>";
    if (const var_symtab::var_symtabelt* variable = configuration_variable(list)) {
        if (!(variable->type == tp_string_list())) configuration_error(type_fault);
        return wait_for_choice("point group", entries_of(*variable->object), [dimension](const chooser_entry& e) {
            return do_choose_pointgroup_or_pointgroup_class_proc(e.name, dimension);
        });
    }
    const ZEM_string* group_name = group_name_mappings.lookup(dimension, ZEM_string(name.c_str()));
    if (!group_name) configuration_error(type_fault);
    const var_symtab::var_symtabelt* group = configuration_variable(group_name->c_str());
    if (!group || !is_point_group(group->type)) configuration_error("cannot locate \"" + list + "\"");
    return name;
}

std::optional<std::string> do_choose_basis_transformation_proc(const std::string& label, const std::string& name,
                                                               int dimension)
{
    const std::string list = list_name(name, dimension);
    if (const var_symtab::var_symtabelt* variable = configuration_variable(list)) {
        if (!(variable->type == tp_string_list())) return std::nullopt;
        return wait_for_choice("Basis transformation", entries_of(*variable->object),
                               [dimension](const chooser_entry& e) {
                                   return do_choose_basis_transformation_proc(e.label, e.name, dimension);
                               });
    }
    if (!transformation_name_mappings.lookup(dimension, ZEM_string(label.c_str()))) return std::nullopt;
    return label;
}

std::optional<std::string> do_choose_rank_and_permsymm_proc(const std::string& name, int rank)
{
    const std::string list = list_name(name, rank);
    const var_symtab::var_symtabelt* variable = configuration_variable(list);
    if (!variable) configuration_error("cannot locate \"" + list + "\"");
    if (!(variable->type == tp_string_list()))
        configuration_error("\"" + list + "\" should be of type linkedlist<string>");
    std::vector<chooser_entry> symmetries;
    for (const std::string& symmetry : strings_of(*variable->object)) symmetries.push_back({symmetry, symmetry});
    return wait_for_choice("Permutation symmetry", symmetries, do_select_perm_symmetry_proc);
}

std::optional<std::string> do_select_perm_symmetry_proc(const chooser_entry& choice) { return choice.label; }

void do_choose_pointgroup_or_pointgroup_class(const QObject& command)
{
    choose_into(command, POINT_GROUP_TEXT_EDITOR, [&] {
        return do_choose_pointgroup_or_pointgroup_class_proc(variable_name_of(command),
                                                              number_of(command, DIMENSION_EDITOR));
    });
}

void do_choose_basis_transformation(const QObject& command)
{
    const auto* button = qobject_cast<const QAbstractButton*>(&command);
    const std::string label = button ? button->text().toStdString() : std::string();
    choose_into(command, TRANSFORMATION_TEXT_EDITOR, [&] {
        return do_choose_basis_transformation_proc(label, variable_name_of(command),
                                                   number_of(command, DIMENSION_EDITOR));
    });
}

void do_choose_rank_and_permsymm(const QObject& command)
{
    choose_into(command, PERM_SYMMETRY_EDITOR, [&] {
        return do_choose_rank_and_permsymm_proc(variable_name_of(command), number_of(command, RANK_EDITOR));
    });
}
