#include "module-main_zarn/choosers.h"

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


// The value that ended a level's wait, on the level; none for "cancel".
constexpr const char* chosen_value = "chosen_value";

// A choice: `text` goes into the command's input under `editor_key`, and the
// pop-up holding the command, if any, ends with it.
void write_choice(const QObject& command, const char* editor_key, const char* window_key, const std::string& text)
{
    partner<QLineEdit>(command, editor_key)->setText(QString::fromStdString(text));
    if (QObject* window = partner<QObject>(command, window_key))
        finish_pop_up_waiting(*window, QString::fromStdString(text));
}

// A pop-up of the list's entries for a chooser of pairs: each entry carries the
// command's partners under `keys`, its name and the level under `window_key`,
// and its press runs `choose`.
// When a choice ended it, the level holding the command ends with the same value.
void pop_up_entries(const QObject& command, const ZEM_object& list, const char* title, const char* window_key,
                    std::initializer_list<const char*> keys, void (*choose)(const QObject&),
                    void (*cancel)(const QObject&))
{
    selection_level level(window_key);
    for (const chooser_entry& entry : entries_of(list)) {
        QObject* item = level.add_entry(entry.label);
        item->setProperty(VARIABLE_NAME, QString::fromStdString(entry.name));
        for (const char* key : keys) set_partner(item, key, partner<QObject>(command, key));
    }
    const QVariant chosen = level.pop_up_and_wait(title, choose, cancel);
    if (QObject* window = partner<QObject>(command, window_key); window && chosen.isValid())
        finish_pop_up_waiting(*window, chosen);
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

void finish_pop_up_waiting(QObject& window, const QVariant& value) { window.setProperty(chosen_value, value); }

selection_level::selection_level(const char* window_key, const char* entry_key)
    : entry_key_(entry_key ? entry_key : window_key)
{
    set_partner(&window_, window_key, &window_);
}

QObject* selection_level::add_entry(const std::string& label)
{
    auto* entry = new QObject(&window_);
    entry->setProperty("text", QString::fromStdString(label));
    set_partner(entry, entry_key_, &window_);
    entries_.push_back(entry);
    return entry;
}

QVariant selection_level::pop_up_and_wait(const std::string& title, const std::function<void(QObject&)>& choose,
                                          const std::function<void(QObject&)>& cancel)
{
    std::vector<std::string> labels;
    for (const QObject* entry : entries_) labels.push_back(entry->property("text").toString().toStdString());
    const int pressed = ask_selection(title, labels, [&](int k) {
        choose(*entries_[std::size_t(k)]);
        return window_.property(chosen_value).isValid();
    });
    // "cancel" and a close through the frame alike.
    if (pressed < 0) cancel(window_);
    return window_.property(chosen_value);
}

void do_choose_pointgroup_or_pointgroup_class_proc(const QObject& command)
{
    const std::string name = variable_name_of(command);
    const int dimension = number_of(command, DIMENSION_EDITOR);
    const std::string list = list_name(name, dimension);
    const std::string type_fault =
        "\"" + list + "\" should be of type linkedlist<string> or group<matrix<int / fraction / cyclotomic>>";
    if (const var_symtab::var_symtabelt* variable = configuration_variable(list)) {
        if (!(variable->type == tp_string_list())) configuration_error(type_fault);
        // An entry's press runs the procedure itself, so that a fault ends every level.
        pop_up_entries(command, *variable->object, "point group", POINTGROUP_SELECTION_WINDOW,
                       {POINT_GROUP_TEXT_EDITOR, DIMENSION_EDITOR}, do_choose_pointgroup_or_pointgroup_class_proc,
                       do_cancel_pointgroup_or_pointgroup_class);
        return;
    }
    const ZEM_string* group_name = group_name_mappings.lookup(dimension, ZEM_string(name.c_str()));
    if (!group_name) configuration_error(type_fault);
    const var_symtab::var_symtabelt* group = configuration_variable(group_name->c_str());
    if (!group || !is_point_group(group->type)) configuration_error("cannot locate \"" + list + "\"");
    write_choice(command, POINT_GROUP_TEXT_EDITOR, POINTGROUP_SELECTION_WINDOW, name);
}

void do_cancel_pointgroup_or_pointgroup_class_proc(const QObject& source)
{
    if (QObject* window = partner<QObject>(source, POINTGROUP_SELECTION_WINDOW)) finish_pop_up_waiting(*window, {});
}

void do_choose_basis_transformation_proc(const QObject& command)
{
    const int dimension = number_of(command, DIMENSION_EDITOR);
    const std::string label = label_of(command);
    const std::string list = list_name(variable_name_of(command), dimension);
    if (const var_symtab::var_symtabelt* variable = configuration_variable(list)) {
        if (variable->type == tp_string_list())
            pop_up_entries(command, *variable->object, "Basis transformation", TRANSFORMATION_SELECTION_WINDOW,
                           {TRANSFORMATION_TEXT_EDITOR, DIMENSION_EDITOR}, do_choose_basis_transformation_proc,
                           do_cancel_transformation);
        return;
    }
    if (transformation_name_mappings.lookup(dimension, ZEM_string(label.c_str())))
        write_choice(command, TRANSFORMATION_TEXT_EDITOR, TRANSFORMATION_SELECTION_WINDOW, label);
}

void do_cancel_transformation_proc(const QObject& source)
{
    if (QObject* window = partner<QObject>(source, TRANSFORMATION_SELECTION_WINDOW)) finish_pop_up_waiting(*window, {});
}

void do_choose_rank_and_permsymm_proc(const QObject& command)
{
    const std::string list = list_name(variable_name_of(command), number_of(command, RANK_EDITOR));
    const var_symtab::var_symtabelt* variable = configuration_variable(list);
    if (!variable) configuration_error("cannot locate \"" + list + "\"");
    if (!(variable->type == tp_string_list()))
        configuration_error("\"" + list + "\" should be of type linkedlist<string>");
    // Its cancel is the point-group chooser's, under that chooser's key.
    selection_level level(POINTGROUP_SELECTION_WINDOW, PERM_SYMMETRY_SELECTION_WINDOW);
    for (const std::string& symmetry : strings_of(*variable->object))
        set_partner(level.add_entry(symmetry), PERM_SYMMETRY_EDITOR, partner<QObject>(command, PERM_SYMMETRY_EDITOR));
    level.pop_up_and_wait("Permutation symmetry", do_select_perm_symmetry, do_cancel_pointgroup_or_pointgroup_class);
}

void do_select_perm_symmetry_proc(const QObject& command)
{
    write_choice(command, PERM_SYMMETRY_EDITOR, PERM_SYMMETRY_SELECTION_WINDOW, label_of(command));
}

// The methods, each under the workbench's failure guard.

void do_choose_pointgroup_or_pointgroup_class(const QObject& command)
{
    guarded_method<do_choose_pointgroup_or_pointgroup_class_proc>(command);
}
void do_cancel_pointgroup_or_pointgroup_class(const QObject& source)
{
    guarded_method<do_cancel_pointgroup_or_pointgroup_class_proc>(source);
}
void do_choose_basis_transformation(const QObject& command)
{
    guarded_method<do_choose_basis_transformation_proc>(command);
}
void do_cancel_transformation(const QObject& source) { guarded_method<do_cancel_transformation_proc>(source); }
void do_choose_rank_and_permsymm(const QObject& command) { guarded_method<do_choose_rank_and_permsymm_proc>(command); }
void do_select_perm_symmetry(const QObject& command) { guarded_method<do_select_perm_symmetry_proc>(command); }
