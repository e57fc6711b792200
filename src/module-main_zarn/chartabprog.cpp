#include "module-main_zarn/chartabprog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
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
#include "module-misc_amulet/wrapper.h"
#include "module-object/text_stream.h"
#include "module-scalar/integer.h"
#include "module-zem_language/symtab.h"

namespace {

// A command's method: its procedure under the workbench's failure guard.
template <void (*proc)(QObject&)>
void run_method(QObject& command)
{
    guarded_method<proc>(command, false);
}

void install_method(QAbstractButton* button, void (*method)(QObject&))
{
    QObject::connect(button, &QAbstractButton::clicked, button, [button, method] { method(*button); });
}

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

bool names_character_table(const ZEM_string& name)
{
    const var_symtab::var_symtabelt* variable = mapped_variable(name).variable;
    return variable && variable->type == tp_character_table();
}

[[noreturn]] void cannot_find(const char* callback, lacking what)
{
    const std::string text = std::string("[") + callback + "] cannot find character table (" +
                             std::to_string(static_cast<int>(what)) + "), please report..";
    ZEM_FAIL(text);
}


const ZEM_object& held(const QVariant& slot) { return Am_ZEM_object_Data::Narrow(slot)->value(); }

// A row whose items take fixed parts of its width, less an offset, left to
// right with a spacing of 10; what they leave stays empty at the right. The
// widths follow the row both ways: its minimum is the width at which every
// item still gets its own minimum, never the width it has now. An item that
// grows vertically takes the row's height, the others their own.
class fraction_row : public QLayout {
public:
    fraction_row() { setSpacing(10); }
    ~fraction_row() override
    {
        for (const part& p : parts_) delete p.item;
    }

    void add(QWidget* widget, int numerator, int denominator, int less = 0)
    {
        addChildWidget(widget);
        parts_.push_back({new QWidgetItem(widget), numerator, denominator, less});
        invalidate();
    }
    void addItem(QLayoutItem* item) override { parts_.push_back({item, 1, 1, 0}); }
    int count() const override { return int(parts_.size()); }
    QLayoutItem* itemAt(int k) const override { return k >= 0 && k < count() ? parts_[std::size_t(k)].item : nullptr; }
    QLayoutItem* takeAt(int k) override
    {
        if (k < 0 || k >= count()) return nullptr;
        QLayoutItem* item = parts_[std::size_t(k)].item;
        parts_.erase(parts_.begin() + k);
        return item;
    }
    Qt::Orientations expandingDirections() const override
    {
        Qt::Orientations directions = Qt::Horizontal;
        for (const part& p : parts_) directions |= p.item->expandingDirections() & Qt::Vertical;
        return directions;
    }
    QSize sizeHint() const override { return size_for(&QLayoutItem::sizeHint); }
    QSize minimumSize() const override { return size_for(&QLayoutItem::minimumSize); }

    void setGeometry(const QRect& rect) override
    {
        QLayout::setGeometry(rect);
        int x = rect.x();
        for (const part& p : parts_) {
            const int width = std::max(0, rect.width() * p.numerator / p.denominator - p.less);
            const int height = p.item->expandingDirections() & Qt::Vertical
                                   ? rect.height()
                                   : std::min(rect.height(), p.item->sizeHint().height());
            p.item->setGeometry(QRect(x, rect.y(), width, height));
            x += width + spacing();
        }
    }

private:
    struct part {
        QLayoutItem* item;
        int numerator;
        int denominator;
        int less;
    };

    // The narrowest row that gives every item this much.
    QSize size_for(QSize (QLayoutItem::*size)() const) const
    {
        QSize row(0, 0);
        for (const part& p : parts_) {
            const QSize wanted = (p.item->*size)();
            row.setWidth(std::max(row.width(), ((wanted.width() + p.less) * p.denominator + p.numerator - 1) /
                                                   p.numerator));
            row.setHeight(std::max(row.height(), wanted.height()));
        }
        return row;
    }

    std::vector<part> parts_;
};

fraction_row* new_row(QVBoxLayout* column)
{
    auto* row = new fraction_row;
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
    text_stream comment;
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


// The pop-up for a list of labels and names: one command per pair, each
// carrying the text input and this pop-up. The name that ended its wait, or
// none when the user cancelled.
QVariant pop_up_character_tables(const ZEM_object& list, QObject* text_editor)
{
    selection_level level(CHARTAB_SELECTION_WINDOW);
    // The name after the last label is read without a test: an odd list fails here.
    for (const chooser_entry& entry : entries_of(list, true)) {
        QObject* command = level.add_entry(entry.label);
        command->setProperty(CHARTAB_VARIABLE_NAME, QByteArray(entry.name.c_str()));
        set_partner(command, CHARTAB_TEXT_EDITOR, text_editor);
    }
    return level.pop_up_and_wait("character table", do_choose_character_table_proc, do_cancel_character_table);
}

}

void chartabprog(QWidget* stacker)
{
    (new chartab_window(stacker))->show();
}

// The character list

character_row::character_row(QObject* group, int position, const ZEM_character& character,
                             const ZEM_string& comment)
    : comment_(comment)
{
    setProperty(STORED_CHARACTER, Am_ZEM_object(new Am_ZEM_object_Data(character)));
    auto* parts = new QHBoxLayout(this);
    parts->setContentsMargins(0, 0, 0, 0);
    parts->setSpacing(10);
    button_ = gray_button("");
    button_->setObjectName(CHARACTER_BUTTON);
    button_->setFixedWidth(40);
    button_->setProperty(CHARACTER_ARG_NUM, 0);
    follow_slot(this, CHARACTER_ARG_NUM, button_);
    set_partner(button_, CHARACTER_GROUP, group);
    button_->installEventFilter(this);
    install_method(button_, do_select_character);
    parts->addWidget(button_);
    parts->addWidget(ZEM_int(position).create_view());
    parts->addWidget(character.create_view());
    auto* text = new QLabel(QString::fromUtf8(comment.c_str()));
    text->setObjectName(CHARACTER_COMMENT);
    text->setTextFormat(Qt::PlainText);
    parts->addWidget(text);
    parts->addStretch(1);
}

int character_row::arg_num() const { return property(CHARACTER_ARG_NUM).toInt(); }

const ZEM_character& character_row::stored_character() const
{
    return static_cast<const ZEM_character&>(held(property(STORED_CHARACTER)));
}

bool character_row::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == button_ && event->type() == QEvent::DynamicPropertyChange &&
        static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == CHARACTER_ARG_NUM)
        label_of_character_selection_button(*button_);
    return QWidget::eventFilter(watched, event);
}

character_group::character_group()
{
    setProperty(CHARACTER_ARG_NUM, 0);
    setProperty(CHARTAB_NAME, QByteArray(""));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

bool character_group::event(QEvent* event)
{
    if (event->type() == QEvent::DynamicPropertyChange) emit changed();
    return QWidget::event(event);
}

int character_group::arg_num() const { return property(CHARACTER_ARG_NUM).toInt(); }

ZEM_string character_group::chartab_name() const
{
    return ZEM_string(property(CHARTAB_NAME).toByteArray().constData());
}

bool character_group::has_character_table() const { return Am_ZEM_object::Test(property(SELECTED_CHARACTER_TABLE)); }

const ZEM_character_table& character_group::get_chartab_from_group() const
{
    return static_cast<const ZEM_character_table&>(held(property(SELECTED_CHARACTER_TABLE)));
}

std::vector<character_row*> character_group::rows() const
{
    std::vector<character_row*> found;
    for (int k = 0; k < layout()->count(); ++k) found.push_back(static_cast<character_row*>(layout()->itemAt(k)->widget()));
    return found;
}

void character_group::add_to_character_group(const ZEM_character& character, const ZEM_string& comment)
{
    layout()->addWidget(new character_row(this, layout()->count() + 1, character, comment));
    emit changed();
}

void character_group::clear_character_group()
{
    for (character_row* row : rows()) delete row;
    setProperty(CHARACTER_ARG_NUM, 0);
}

void character_group::get_characters_from_group(pointer_to_objects<ZEM_character>& characters,
                                                 pointer_to_objects<int>& positions) const
{
    const int count = arg_num();
    characters = pointer_to_objects<ZEM_character>(count);
    positions = pointer_to_objects<int>(count);
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

void do_select_character_proc(QObject& command)
{
    const int a = command.property(CHARACTER_ARG_NUM).toInt();
    auto* group = partner<QObject>(command, CHARACTER_GROUP);
    const int count = group->property(CHARACTER_ARG_NUM).toInt();
    // The row first, so that the group's followers see the choice complete.
    if (a == 0) {
        command.setProperty(CHARACTER_ARG_NUM, count + 1);
        group->setProperty(CHARACTER_ARG_NUM, count + 1);
    } else if (a == count) {
        command.setProperty(CHARACTER_ARG_NUM, 0);
        group->setProperty(CHARACTER_ARG_NUM, count - 1);
    }
}

void do_reset_character_list_proc(QObject& command)
{
    auto* group = partner<character_group>(command, CHARACTER_GROUP);
    for (character_row* row : group->rows())
        row->findChild<QObject*>(CHARACTER_BUTTON)->setProperty(CHARACTER_ARG_NUM, 0);
    group->setProperty(CHARACTER_ARG_NUM, 0);
}

void do_select_character(QObject& command) { run_method<do_select_character_proc>(command); }
void do_reset_character_list(QObject& command) { run_method<do_reset_character_list_proc>(command); }

QString label_of_character_selection_button_proc(const QObject& command)
{
    const int k = command.property(CHARACTER_ARG_NUM).toInt();
    return k >= 1 ? QString::number(k) : QString();
}

void label_of_character_selection_button(QAbstractButton& button)
{
    button.setText(label_of_character_selection_button_proc(button));
}

// The window

chartab_window::chartab_window(QWidget* stacker)
{
    set_up_window(this, "Character");
    setGeometry(100, 100, 800, 600);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->setContentsMargins(10, 10, 10, 10);

    // Buttons and inputs are a quarter of their row wide, the two panes share the work row.
    fraction_row* chooser_row = new_row(column);
    QPushButton* point_group = gray_button("Point group");
    text_editor_ = new QLineEdit;
    text_editor_->setObjectName(CHARTAB_TEXT_EDITOR);
    chooser_row->add(point_group, 1, 4);
    chooser_row->add(text_editor_, 1, 4);

    fraction_row* table_row = new_row(column);
    QPushButton* view = gray_button("View character table");
    QPushButton* accept = gray_button("Accept character table");
    auto* n_input = new QWidget;
    auto* n_parts = new QHBoxLayout(n_input);
    n_parts->setContentsMargins(0, 0, 0, 0);
    n_parts->addWidget(new QLabel("n"));
    n_editor_ = new QSpinBox;
    n_editor_->setRange(INT_MIN, INT_MAX);
    n_editor_->setValue(2);
    set_fill(n_editor_, white);
    n_parts->addWidget(n_editor_, 1);
    table_row->add(view, 1, 4);
    table_row->add(accept, 1, 4);
    table_row->add(n_input, 1, 4);

    fraction_row* work_row = new_row(column);
    group_ = new character_group;
    group_->setObjectName(CHARACTER_GROUP);
    operation_pane_ = create_operations(group_, stacker, n_editor_);
    work_row->add(scrolling_area(group_), 3, 5, 15);
    work_row->add(operation_pane_, 2, 5, 15);
    column->setStretchFactor(work_row, 1);

    fraction_row* bottom_row = new_row(column);
    QPushButton* reset = gray_button("Reset character list");
    QPushButton* close = gray_button("Close");
    bottom_row->add(reset, 1, 4);
    bottom_row->add(close, 1, 4);

    point_group->setProperty(CHARTAB_VARIABLE_NAME, QByteArray("character_table_list"));
    set_partner(point_group, CHARTAB_TEXT_EDITOR, text_editor_);
    install_method(point_group, do_choose_character_table);
    set_partner(view, CHARTAB_TEXT_EDITOR, text_editor_);
    install_method(view, do_view_character_table);
    set_partner(accept, CHARTAB_TEXT_EDITOR, text_editor_);
    set_partner(accept, CHARACTER_GROUP, group_);
    install_method(accept, do_accept_character_table);
    set_partner(reset, CHARACTER_GROUP, group_);
    install_method(reset, do_reset_character_list);
    set_partner(close, CHARACTER_WINDOW, this);
    install_method(close, do_close_character_window);

    // The text input's validity, then what follows from it.
    const auto judge = [this, view, accept] {
        is_valid_character_table(*text_editor_);
        chtab_color_of_text_editor(*text_editor_);
        for (QPushButton* button : {view, accept}) view_chartable_is_active(*button);
    };
    connect(text_editor_, &QLineEdit::textChanged, this, judge);
    judge();
}

QList<QPushButton*> chartab_window::operations() const
{
    return operation_pane_->widget()->findChildren<QPushButton*>();
}

void do_close_character_window_proc(QObject& command)
{
    // The window deletes itself once closed, its parts with it.
    if (QWidget* window = partner<QWidget>(command, CHARACTER_WINDOW)) window->close();
}

void do_close_character_window(QObject& command) { run_method<do_close_character_window_proc>(command); }

// The chooser and its checks

bool is_valid_character_table_proc(const QLineEdit& text_editor)
{
    return names_character_table(ZEM_string(text_of(text_editor).c_str()));
}

QColor chtab_color_of_text_editor_proc(const QObject& text_editor)
{
    return text_editor.property(CHTAB_CONTAINS_VALID_VALUE).toBool() ? white : invalid_red;
}

bool view_chartable_is_active_proc(const QObject& command)
{
    const QObject* text_editor = partner<QObject>(command, CHARTAB_TEXT_EDITOR);
    return text_editor && text_editor->property(CHTAB_CONTAINS_VALID_VALUE).toBool();
}

void is_valid_character_table(QLineEdit& text_editor)
{
    text_editor.setProperty(CHTAB_CONTAINS_VALID_VALUE, is_valid_character_table_proc(text_editor));
}

void chtab_color_of_text_editor(QWidget& text_editor)
{
    set_base_colour(&text_editor, chtab_color_of_text_editor_proc(text_editor));
}

void view_chartable_is_active(QAbstractButton& command) { command.setEnabled(view_chartable_is_active_proc(command)); }

void do_choose_character_table_proc(QObject& command)
{
    const QByteArray name = command.property(CHARTAB_VARIABLE_NAME).toByteArray();
    auto* text_editor = partner<QLineEdit>(command, CHARTAB_TEXT_EDITOR);
    QObject* selection_window = partner<QObject>(command, CHARTAB_SELECTION_WINDOW);
    const ZEM_string looked_for(name.constData());
    bool handled = false;
    const var_symtab::var_symtabelt* list = global_objects.lookup(looked_for);

    if (character_table_mapping.lookup(looked_for)) {
        if (!names_character_table(looked_for)) configuration_error("cannot locate \"" + name.toStdString() + "\"");
        handled = true;
        text_editor->setText(QString::fromUtf8(name));
        if (selection_window) finish_pop_up_waiting(*selection_window, name);
    }

    if (list && list->object && list->type == tp_string_list()) {
        handled = true;
        const QVariant chosen = pop_up_character_tables(*list->object, text_editor);
        // A final choice closes every open pop-up, innermost first.
        if (chosen.isValid() && selection_window) finish_pop_up_waiting(*selection_window, chosen);
    }

    if (!handled)
        configuration_error("\"" + name.toStdString() + "\" should be of type linkedlist<string> or character_table");
}

void do_cancel_character_table_proc(QObject& command)
{
    if (QObject* window = partner<QObject>(command, CHARTAB_SELECTION_WINDOW)) finish_pop_up_waiting(*window, {});
}

void do_choose_character_table(QObject& command) { run_method<do_choose_character_table_proc>(command); }
void do_cancel_character_table(QObject& command) { run_method<do_cancel_character_table_proc>(command); }

void do_view_character_table_proc(QObject& command)
{
    const QByteArray name = partner<QLineEdit>(command, CHARTAB_TEXT_EDITOR)->text().toUtf8();
    const looked_up found = mapped_variable(ZEM_string(name.constData()));
    const var_symtab::var_symtabelt* table = found.variable;
    // A variable without a value is as good as none.
    if (!table || !table->object) cannot_find("do_view_pointgroup", table ? lacking::variable : found.first_lacking);
    zarn_object_window(*table->object, name.constData());
}

void do_view_character_table(QObject& command) { run_method<do_view_character_table_proc>(command); }

// Accepting a table

void do_accept_character_table_proc(QObject& command)
{
    const ZEM_string name(text_of(*partner<QLineEdit>(command, CHARTAB_TEXT_EDITOR)).c_str());
    auto* group = partner<character_group>(command, CHARACTER_GROUP);
    // Every look-up comes first, so that a failed accept leaves the list and its name alone.
    const looked_up looked = mapped_variable(name);
    if (!looked.variable || !looked.variable->object) cannot_find("do_accept_pointgroup", looked.first_lacking);
    const auto* found = dynamic_cast<const ZEM_character_table*>(looked.variable->object);
    if (!found) cannot_find("do_accept_pointgroup", lacking::table);
    const ZEM_character_table table = *found;

    group->clear_character_group();
    for (int i = 1; i <= table.rows(); ++i) {
        text_stream comment;
        comment << "[ Row " << i << " of " << name.c_str() << " ]";
        group->add_to_character_group(table.row(i), ZEM_string(comment.str().c_str()));
    }
    group->add_to_character_group(table.determinant_character(),
                                  ZEM_string("[ Determinant character of ") + name + ZEM_string(" ]"));
    group->add_to_character_group(table.vector_character(), ZEM_string("[ Vector character of ") + name + ZEM_string(" ]"));
    group->setProperty(CHARTAB_NAME, QByteArray(name.c_str()));
    group->setProperty(SELECTED_CHARACTER_TABLE, Am_ZEM_object(new Am_ZEM_object_Data(table)));
}

void do_accept_character_table(QObject& command) { run_method<do_accept_character_table_proc>(command); }

// The operations

namespace {

// An operation button's method: the operation under the workbench's failure guard.
void do_character_operation(QObject& command) { run_method<do_character_operation_proc>(command); }

}

QScrollArea* create_operations(character_group* group, QWidget* stacker, QSpinBox* n_editor)
{
    auto* buttons = new QWidget;
    auto* column = new QVBoxLayout(buttons);
    for (const char* const* label = op_names; *label; ++label) {
        QPushButton* button = gray_button(*label);
        set_partner(button, CHARACTER_GROUP, group);
        set_partner(button, CHARTAB_STACKER, stacker);
        set_partner(button, CHARTAB_N_EDITOR, n_editor);
        QObject::connect(button, &QPushButton::clicked, button, [button] { do_character_operation(*button); });
        const auto recompute = [button] { operation_is_active(*button); };
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

bool operation_is_active_proc(const QObject& command)
{
    const operation* op = operation_named(label_of(command));
    const auto* group = partner<character_group>(command, CHARACTER_GROUP);
    const auto* n_editor = partner<QSpinBox>(command, CHARTAB_N_EDITOR);
    if (!op || !group || !n_editor) return false;
    const int count = group->arg_num();
    if (count == 0 || !group->has_character_table()) return false;
    // Only the table's own rows are irreducible: they hold the first list positions.
    bool irreducible = false;
    if (op->rule == arguments::one_irreducible) {
        pointer_to_objects<ZEM_character> characters;
        pointer_to_objects<int> positions;
        group->get_characters_from_group(characters, positions);
        irreducible = positions[0] <= group->get_chartab_from_group().rows();
    }
    return takes(op->rule, count, n_editor->value(), irreducible);
}

void operation_is_active(QAbstractButton& button) { button.setEnabled(operation_is_active_proc(button)); }

void do_character_operation_proc(QObject& command)
{
    if (!operation_is_active_proc(command)) return;
    auto& group = *partner<character_group>(command, CHARACTER_GROUP);
    const std::string label = label_of(command);
    const int count = group.arg_num();
    const ZEM_character_table table = group.get_chartab_from_group();
    const int n = partner<QSpinBox>(command, CHARTAB_N_EDITOR)->value();
    pointer_to_objects<ZEM_character> c;
    pointer_to_objects<int> positions;
    group.get_characters_from_group(c, positions);

    text_stream comment;
    comment << "[ " << label << "(";
    for (int a = 0; a < count; ++a) comment << (a ? ", " : "") << positions[a];
    comment << "), n = " << n << " ]" << "   (" << group.chartab_name().c_str() << ")";
    operation_named(label)->action(
        {table, c, count, n, comment.str(), group, partner<QWidget>(command, CHARTAB_STACKER)});
}
