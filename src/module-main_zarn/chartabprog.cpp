#include "module-main_zarn/chartabprog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>
#include <sstream>
#include <string>

#include "module-collections/linkedlist.h"
#include "module-main_zarn/choosers.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_chartab.h"
#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/window_parts.h"
#include "module-scalar/integer.h"
#include "module-zem_language/symtab.h"

namespace {

// What the look-up of a table's name lacked first; the messages show its number.
enum class lacking { mapping_entry = 1, variable = 2, table = 3 };

struct looked_up {
    // Null unless the mapping and the variable were found.
    const var_symtab::var_symtabelt* variable;
    lacking first_lacking;
};

looked_up mapped_variable(const ZEM_string& name)
{
    const ZEM_string* variable = character_table_mapping.lookup(name);
    if (!variable) return {nullptr, lacking::mapping_entry};
    const var_symtab::var_symtabelt* found = global_objects.lookup(*variable);
    return {found, found ? lacking::table : lacking::variable};
}

[[noreturn]] void cannot_find(const char* callback, lacking what)
{
    const std::string text = std::string("[") + callback + "] cannot find character table (" +
                             std::to_string(static_cast<int>(what)) + "), please report..";
    ZEM_FAIL(text);
}

QHBoxLayout* new_row(QVBoxLayout* column)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    column->addLayout(row);
    return row;
}

// One press of an operation button: the accepted table, the chosen characters
// in argument order, n, and where results go.
struct press {
    const ZEM_character_table& table;
    const pointer_to_objects<ZEM_character>& c;
    int count;
    int n;
    const std::string& comment;
    character_group& group;
    QWidget* stacker;  // null once the main window has gone

    void new_row(const ZEM_character& result) const
    {
        group.add_to_character_group(result, ZEM_string(comment.c_str()));
    }
    void new_page(const ZEM_object& value, const std::string& page_comment) const
    {
        if (stacker) add_to_stacker(stacker, value, page_comment.c_str());
    }
};

// Which choices an operation takes: the count of chosen characters, n, and
// whether the first one is irreducible (a row of the table itself).
enum class arguments { several, one, one_and_positive_n, one_irreducible, any };

bool takes(arguments rule, int count, int n, bool irreducible)
{
    switch (rule) {
    case arguments::several: return count > 1;
    case arguments::one: return count == 1;
    case arguments::one_and_positive_n: return count == 1 && n > 0;
    case arguments::one_irreducible: return count == 1 && irreducible;
    case arguments::any: return count > 0;
    }
    return false;
}

using binary_operation = ZEM_character (ZEM_character_table::*)(const ZEM_character&, const ZEM_character&) const;

// From the left, in argument order.
ZEM_character fold(const press& p, binary_operation op)
{
    ZEM_character result = p.c[0];
    for (int k = 1; k < p.count; ++k) result = (p.table.*op)(result, p.c[k]);
    return result;
}

// One character as itself, several as a list; the comment lists them in list order.
void copy(const press& p)
{
    std::ostringstream comment;
    p.group.get_comment_from_group(comment);
    comment << "\n\n";
    if (p.count == 1) return p.new_page(p.c[0], comment.str());
    ZEM_linkedlist<ZEM_character> list;
    for (int k = 0; k < p.count; ++k) list.add_at_tail(p.c[k]);
    p.new_page(list, comment.str());
}

// The operations' labels, from the top; a null entry ends them.
constexpr const char* op_names[] = {"Add", "Product", "Power", "Decompose", "Symmetric square",
                                    "Anti symmetric square", "Physical representation", "Copy", nullptr};

struct operation {
    const char* label;
    arguments rule;
    void (*action)(const press&);
};

// What the operation of each label takes and does.
const operation operation_table[] = {
    {op_names[0], arguments::several,
     [](const press& p) { p.new_row(fold(p, &ZEM_character_table::character_add)); }},
    {op_names[1], arguments::several,
     [](const press& p) { p.new_row(fold(p, &ZEM_character_table::character_product)); }},
    {op_names[2], arguments::one_and_positive_n,
     [](const press& p) { p.new_row(p.table.character_power(p.c[0], p.n)); }},
    {op_names[3], arguments::one, [](const press& p) { p.new_page(p.table.decompose(p.c[0]), p.comment); }},
    {op_names[4], arguments::one,
     [](const press& p) { p.new_row(p.table.character_symmetric_square(p.c[0])); }},
    {op_names[5], arguments::one,
     [](const press& p) { p.new_row(p.table.character_anti_symmetric_square(p.c[0])); }},
    {op_names[6], arguments::one_irreducible,
     [](const press& p) { p.new_row(p.table.character_physical_representation(p.c[0])); }},
    {op_names[7], arguments::any, copy},
};
static_assert(std::size(operation_table) + 1 == std::size(op_names));

// The first operation of that label, compared as a whole; null for none.
const operation* operation_named(const std::string& label)
{
    for (const operation& op : operation_table)
        if (label == op.label) return &op;
    return nullptr;
}

}

bool is_valid_character_table(const ZEM_string& name)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(name).variable;
    return variable && variable->type == tp_character_table();
}

void chartabprog(QWidget* stacker)
{
    (new chartab_window(stacker))->show();
}

// The character list

character_row::character_row(int position, const ZEM_character& character, const ZEM_string& comment)
    : stored_character_(character), comment_(comment)
{
    auto* parts = new QHBoxLayout(this);
    parts->setContentsMargins(0, 0, 0, 0);
    parts->setSpacing(10);
    button_ = gray_button("");
    button_->setFixedWidth(40);
    parts->addWidget(button_);
    parts->addWidget(ZEM_int(position).create_view());
    parts->addWidget(character.create_view());
    auto* text = new QLabel(QString::fromUtf8(comment.c_str()));
    text->setTextFormat(Qt::PlainText);
    parts->addWidget(text);
    parts->addStretch(1);
}

void character_row::set_arg_num(int k)
{
    arg_num_ = k;
    button_->setText(k > 0 ? QString::number(k) : QString());
}

character_group::character_group()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

std::vector<character_row*> character_group::rows() const
{
    std::vector<character_row*> found;
    for (int k = 0; k < layout()->count(); ++k) found.push_back(static_cast<character_row*>(layout()->itemAt(k)->widget()));
    return found;
}

void character_group::add_to_character_group(const ZEM_character& character, const ZEM_string& comment)
{
    auto* row = new character_row(layout()->count() + 1, character, comment);
    connect(row->button(), &QPushButton::clicked, this, [this, row] { do_select_character(row); });
    layout()->addWidget(row);
    emit changed();
}

void character_group::clear_character_group()
{
    for (character_row* row : rows()) delete row;
    arg_num_ = 0;
    emit changed();
}

void character_group::do_reset_character_list()
{
    for (character_row* row : rows()) row->set_arg_num(0);
    arg_num_ = 0;
    emit changed();
}

void character_group::do_select_character(character_row* row)
{
    if (row->arg_num() == 0) {
        row->set_arg_num(++arg_num_);
    } else if (row->arg_num() == arg_num_) {
        row->set_arg_num(0);
        --arg_num_;
    } else {
        return;
    }
    emit changed();
}

void character_group::get_characters_from_group(pointer_to_objects<ZEM_character>& characters,
                                                 pointer_to_objects<int>& positions) const
{
    characters = pointer_to_objects<ZEM_character>(arg_num_);
    positions = pointer_to_objects<int>(arg_num_);
    int p = 1;
    for (const character_row* row : rows()) {
        if (const int a = row->arg_num(); a > 0) {
            characters[a - 1] = row->stored_character();
            positions[a - 1] = p;
        }
        ++p;
    }
}

void character_group::get_comment_from_group(std::ostream& out) const
{
    int k = 1;
    for (const character_row* row : rows())
        if (row->arg_num() > 0) out << k++ << ": " << row->comment().c_str() << "\n";
}

void character_group::set_character_table(const ZEM_string& name, const ZEM_character_table& table)
{
    chartab_name_ = name;
    selected_character_table_ = table;
    emit changed();
}

// The window

chartab_window::chartab_window(QWidget* stacker)
{
    set_up_window(this, "Character");
    setGeometry(100, 100, 800, 600);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->setContentsMargins(10, 10, 10, 10);

    QHBoxLayout* chooser_row = new_row(column);
    auto* point_group = gray_button("Point group");
    text_editor_ = new QLineEdit;
    chooser_row->addWidget(point_group);
    chooser_row->addWidget(text_editor_);
    chooser_row->addStretch(1);

    QHBoxLayout* table_row = new_row(column);
    view_button_ = gray_button("View character table");
    accept_button_ = gray_button("Accept character table");
    n_input_ = new QWidget;
    auto* n_parts = new QHBoxLayout(n_input_);
    n_parts->setContentsMargins(0, 0, 0, 0);
    n_parts->addWidget(new QLabel("n"));
    n_editor_ = new QSpinBox;
    n_editor_->setRange(INT_MIN, INT_MAX);
    n_editor_->setValue(2);
    set_fill(n_editor_, white);
    n_parts->addWidget(n_editor_, 1);
    table_row->addWidget(view_button_);
    table_row->addWidget(accept_button_);
    table_row->addWidget(n_input_);
    table_row->addStretch(1);

    QHBoxLayout* work_row = new_row(column);
    group_ = new character_group;
    character_pane_ = scrolling_area(group_);
    operation_pane_ = create_operations(group_, stacker, n_editor_);
    work_row->addWidget(character_pane_);
    work_row->addWidget(operation_pane_);
    work_row->addStretch(1);
    column->setStretchFactor(work_row, 1);

    QHBoxLayout* bottom_row = new_row(column);
    auto* reset = gray_button("Reset character list");
    auto* close = gray_button("Close");
    bottom_row->addWidget(reset);
    bottom_row->addWidget(close);
    bottom_row->addStretch(1);

    quarter_wide_ = {point_group, view_button_, accept_button_, reset, close};

    connect(point_group, &QPushButton::clicked, this,
            [this] { workbench_action([this] { do_choose_character_table("character_table_list"); }, false); });
    connect(view_button_, &QPushButton::clicked, this,
            [this] { workbench_action([this] { do_view_character_table(); }, false); });
    connect(accept_button_, &QPushButton::clicked, this,
            [this] { workbench_action([this] { do_accept_character_table(); }, false); });
    connect(reset, &QPushButton::clicked, group_, &character_group::do_reset_character_list);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(text_editor_, &QLineEdit::textChanged, this, &chartab_window::recompute_validity);
    recompute_validity();
}

void chartab_window::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int inner = width() - 20;
    for (QPushButton* button : quarter_wide_) button->setFixedWidth(inner / 4);
    text_editor_->setFixedWidth(inner / 4);
    n_input_->setFixedWidth(inner / 4);
    character_pane_->setFixedWidth(inner * 6 / 10 - 15);
    operation_pane_->setFixedWidth(inner * 4 / 10 - 15);
}

void chartab_window::recompute_validity()
{
    const bool valid = is_valid_character_table(ZEM_string(text_editor_->text().toUtf8().constData()));
    show_validity_colour(text_editor_, valid);
    view_button_->setEnabled(valid);
    accept_button_->setEnabled(valid);
}

QList<QPushButton*> chartab_window::operations() const
{
    return operation_pane_->widget()->findChildren<QPushButton*>();
}

// The chooser

std::optional<ZEM_string> chartab_window::do_choose_character_table(const ZEM_string& name)
{
    bool handled = false;
    std::optional<ZEM_string> chosen;
    const var_symtab::var_symtabelt* list = global_objects.lookup(name);

    if (character_table_mapping.lookup(name)) {
        const var_symtab::var_symtabelt* table = mapped_variable(name).variable;
        if (!table || !(table->type == tp_character_table()))
            configuration_error(std::string("cannot locate \"") + name.c_str() + "\"");
        handled = true;
        text_editor_->setText(QString::fromUtf8(name.c_str()));
        chosen = name;
    }

    if (list && list->object && list->type == tp_string_list()) {
        handled = true;
        // The name after the last label is read without a test: an odd list fails here.
        const auto choose = [this](const chooser_entry& e) -> std::optional<std::string> {
            const std::optional<ZEM_string> name = do_choose_character_table(ZEM_string(e.name.c_str()));
            if (!name) return std::nullopt;
            return name->c_str();
        };
        const std::optional<std::string> deeper =
            wait_for_choice("character table", entries_of(*list->object, true), choose);
        if (deeper) chosen = ZEM_string(deeper->c_str());
    }

    if (!handled)
        configuration_error(std::string("\"") + name.c_str() +
                            "\" should be of type linkedlist<string> or character_table");
    return chosen;
}

void chartab_window::do_view_character_table()
{
    const QByteArray name = text_editor_->text().toUtf8();
    const looked_up found = mapped_variable(ZEM_string(name.constData()));
    const var_symtab::var_symtabelt* table = found.variable;
    // A variable without a value is as good as none.
    if (!table || !table->object) cannot_find("do_view_pointgroup", table ? lacking::variable : found.first_lacking);
    zarn_object_window(*table->object, name.constData());
}

void chartab_window::do_accept_character_table()
{
    const ZEM_string name(text_editor_->text().toUtf8().constData());
    // Every look-up comes first, so that a failed accept leaves the list and its name alone.
    const looked_up looked = mapped_variable(name);
    if (!looked.variable || !looked.variable->object) cannot_find("do_accept_pointgroup", looked.first_lacking);
    const auto* found = dynamic_cast<const ZEM_character_table*>(looked.variable->object);
    if (!found) cannot_find("do_accept_pointgroup", lacking::table);
    const ZEM_character_table table = *found;

    group_->clear_character_group();
    for (int i = 1; i <= table.rows(); ++i) {
        std::ostringstream comment;
        comment << "[ Row " << i << " of " << name.c_str() << " ]";
        group_->add_to_character_group(table.row(i), ZEM_string(comment.str().c_str()));
    }
    group_->add_to_character_group(table.determinant_character(),
                                   ZEM_string("[ Determinant character of ") + name + ZEM_string(" ]"));
    group_->add_to_character_group(table.vector_character(), ZEM_string("[ Vector character of ") + name + ZEM_string(" ]"));
    group_->set_character_table(name, table);
}

// The operations

namespace {

// An operation button's method: the operation under the workbench's failure guard.
void do_character_operation(const operation_command& command)
{
    workbench_action([&] { do_character_operation_proc(command); }, false);
}

}

QScrollArea* create_operations(character_group* group, QWidget* stacker, QSpinBox* n_editor)
{
    auto* buttons = new QWidget;
    auto* column = new QVBoxLayout(buttons);
    for (const char* const* label = op_names; *label; ++label) {
        QPushButton* button = gray_button(*label);
        const operation_command command{*label, group, stacker, n_editor};
        QObject::connect(button, &QPushButton::clicked, button, [command] { do_character_operation(command); });
        const auto recompute = [button, command] { button->setEnabled(operation_is_active_proc(command)); };
        QObject::connect(group, &character_group::changed, button, recompute);
        QObject::connect(n_editor, &QSpinBox::valueChanged, button, recompute);
        recompute();
        column->addWidget(button);
    }
    column->addStretch(1);
    auto* pane = new QScrollArea;
    set_fill(pane, motif_gray);
    pane->setWidgetResizable(true);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setWidget(buttons);
    set_fill(buttons, white);
    return pane;
}

bool operation_is_active_proc(const operation_command& command)
{
    const operation* op = operation_named(command.label);
    const character_group& group = *command.group;
    const int count = group.arg_num();
    if (!op || count == 0 || !group.has_character_table()) return false;
    // Only the table's own rows are irreducible: they hold the first list positions.
    bool irreducible = false;
    if (op->rule == arguments::one_irreducible) {
        pointer_to_objects<ZEM_character> characters;
        pointer_to_objects<int> positions;
        group.get_characters_from_group(characters, positions);
        irreducible = positions[0] <= group.get_chartab_from_group().rows();
    }
    return takes(op->rule, count, command.n_editor->value(), irreducible);
}

void do_character_operation_proc(const operation_command& command)
{
    if (!operation_is_active_proc(command)) return;
    character_group& group = *command.group;
    const int count = group.arg_num();
    const ZEM_character_table table = group.get_chartab_from_group();
    const int n = command.n_editor->value();
    pointer_to_objects<ZEM_character> c;
    pointer_to_objects<int> positions;
    group.get_characters_from_group(c, positions);

    std::ostringstream comment;
    comment << "[ " << command.label << "(";
    for (int a = 0; a < count; ++a) comment << (a ? ", " : "") << positions[a];
    comment << "), n = " << n << " ]" << "   (" << group.chartab_name().c_str() << ")";
    operation_named(command.label)->action({table, c, count, n, comment.str(), group, command.stacker});
}
