#include "module-main_zarn/tensorprog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "module-main_zarn/choosers.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_checks.h"
#include "module-main_zarn/tensor_request.h"
#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/window_parts.h"
#include "module-object/error.h"

namespace {

// A number input with its prompt in front.
QSpinBox* number_input(QWidget*& widget, const char* prompt, int lowest, int highest, int value)
{
    widget = new QWidget;
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(prompt));
    auto* spin = new QSpinBox;
    spin->setObjectName(prompt);
    spin->setRange(lowest, std::max(lowest, highest));
    spin->setValue(value);
    QPalette palette = spin->palette();
    palette.setColor(QPalette::Base, white);
    spin->setPalette(palette);
    row->addWidget(spin, 1);
    return spin;
}

QLineEdit* text_input(const char* name)
{
    auto* input = new QLineEdit;
    input->setObjectName(name);
    return input;
}

// Every part is half the row wide, less the spacing: (width - 30) / 2 in a
// window of any width; a part alone keeps an empty half beside it (a widget:
// no spacing goes next to a stretch). No part takes more height than it asks
// for, so that the window's height is that of its rows, whatever is asked of it.
QHBoxLayout* row_of(QWidget* left, QWidget* right = new QWidget)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    for (QWidget* part : {left, right}) {
        part->setSizePolicy(part->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        row->addWidget(part, 1);
    }
    return row;
}


void do_execute_proc(bool pseudo, const execute_command& command)
{
    const tensor_result result = invariant_tensor_request(
        pseudo, {text_of(*command.point_group_text_editor), text_of(*command.perm_symmetry_editor),
                 text_of(*command.transformation_text_editor), command.dimension_editor->value(),
                 command.rank_editor->value()});
    if (command.result_stacker) add_to_stacker(command.result_stacker, *result.value, result.comment.c_str());
}

// What the "Tensor" and "Pseudo tensor" buttons carry under their slot keys.
execute_command execute_command_of(const QObject& button)
{
    return {partner<QLineEdit>(button, POINT_GROUP_TEXT_EDITOR),
            partner<QLineEdit>(button, PERM_SYMMETRY_EDITOR),
            partner<QLineEdit>(button, TRANSFORMATION_TEXT_EDITOR),
            partner<QSpinBox>(button, RANK_EDITOR),
            partner<QSpinBox>(button, DIMENSION_EDITOR),
            partner<QWidget>(button, RESULT_STACKER)};
}

// The buttons' methods: each under the workbench's failure guard.
void do_execute_tensor(const QObject& button)
{
    workbench_action([&] { do_execute_tensor_proc(execute_command_of(button)); });
}

void do_execute_pseudo_tensor(const QObject& button)
{
    workbench_action([&] { do_execute_pseudo_tensor_proc(execute_command_of(button)); });
}

void do_view_pointgroup(const QObject& button)
{
    workbench_action([&] { do_view_pointgroup_proc(button); });
}

void do_close_tensor_window(const QObject& button) { do_close_tensor_window_proc(button); }

void set_partners(QObject* self, std::initializer_list<std::pair<const char*, QObject*>> partners)
{
    for (const auto& [key, widget] : partners) set_partner(self, key, widget);
}

class tensor_window : public QWidget {
public:
    explicit tensor_window(QWidget* stacker)
    {
        set_up_window(this, "Tensor");

        QWidget* dimension_widget;
        QWidget* rank_widget;
        QSpinBox* rank_editor = number_input(rank_widget, "rank", 1, 9999, 2);
        QSpinBox* dimension_editor = number_input(dimension_widget, "dimension", 1, group_name_mappings.count(), 3);
        point_group_text_editor = text_input("point group");
        perm_symmetry_editor = text_input("perm symmetry");
        transformation_text_editor = text_input("basis transformation");
        set_partner(point_group_text_editor, DIMENSION_EDITOR, dimension_editor);
        set_partner(perm_symmetry_editor, RANK_EDITOR, rank_editor);
        set_partner(transformation_text_editor, DIMENSION_EDITOR, dimension_editor);

        QPushButton* point_group = gray_button("Point group");
        view_point_group = gray_button("View point group");
        perm_symmetry = gray_button("Perm. symmetry");
        basis_transformation = gray_button("Basis transformation");
        tensor = gray_button("Tensor");
        pseudo_tensor = gray_button("Pseudo tensor");
        QPushButton* close = gray_button("Close");
        point_group->setProperty(VARIABLE_NAME, "point_group");
        set_partners(point_group,
                     {{DIMENSION_EDITOR, dimension_editor}, {POINT_GROUP_TEXT_EDITOR, point_group_text_editor}});
        set_partners(view_point_group,
                     {{POINT_GROUP_TEXT_EDITOR, point_group_text_editor}, {DIMENSION_EDITOR, dimension_editor}});
        perm_symmetry->setProperty(VARIABLE_NAME, "perm_symmetry");
        set_partners(perm_symmetry, {{PERM_SYMMETRY_EDITOR, perm_symmetry_editor}, {RANK_EDITOR, rank_editor}});
        basis_transformation->setProperty(VARIABLE_NAME, "basis_transformation");
        set_partners(basis_transformation,
                     {{TRANSFORMATION_TEXT_EDITOR, transformation_text_editor}, {DIMENSION_EDITOR, dimension_editor}});
        for (QPushButton* execute : {tensor, pseudo_tensor}) {
            set_partners(execute, {{POINT_GROUP_TEXT_EDITOR, point_group_text_editor},
                                   {PERM_SYMMETRY_EDITOR, perm_symmetry_editor},
                                   {DIMENSION_EDITOR, dimension_editor},
                                   {RANK_EDITOR, rank_editor},
                                   {TRANSFORMATION_TEXT_EDITOR, transformation_text_editor}});
            set_partner(execute, RESULT_STACKER, stacker);
        }
        set_partner(close, TENSOR_WINDOW, this);

        auto* column = new QVBoxLayout(this);
        column->setSpacing(10);
        column->setContentsMargins(10, 10, 10, 10);
        // The height follows the contents, the width the user.
        column->setSizeConstraint(QLayout::SetMinAndMaxSize);
        column->addLayout(row_of(dimension_widget, rank_widget));
        column->addLayout(row_of(point_group, point_group_text_editor));
        column->addLayout(row_of(view_point_group));
        column->addLayout(row_of(perm_symmetry, perm_symmetry_editor));
        column->addLayout(row_of(basis_transformation, transformation_text_editor));
        column->addLayout(row_of(tensor, pseudo_tensor));
        column->addLayout(row_of(close));
        setGeometry(100, 100, 400, sizeHint().height());

        const auto run_on_click = [this](QPushButton* button, void (*method)(const QObject&)) {
            connect(button, &QPushButton::clicked, this, [button, method] { method(*button); });
        };
        run_on_click(point_group, do_choose_pointgroup_or_pointgroup_class);
        run_on_click(view_point_group, do_view_pointgroup);
        run_on_click(perm_symmetry, do_choose_rank_and_permsymm);
        run_on_click(basis_transformation, do_choose_basis_transformation);
        run_on_click(tensor, do_execute_tensor);
        run_on_click(pseudo_tensor, do_execute_pseudo_tensor);
        run_on_click(close, do_close_tensor_window);

        const auto check = [this] { workbench_action([this] { recompute(); }, true, work_kind::quick); };
        for (QLineEdit* input : {point_group_text_editor, perm_symmetry_editor, transformation_text_editor})
            connect(input, &QLineEdit::textChanged, this, check);
        for (QSpinBox* number : {dimension_editor, rank_editor}) connect(number, &QSpinBox::valueChanged, this, check);
        recompute();
    }

private:
    // Every formula of the window, the inputs' validity before what reads it.
    void recompute()
    {
        is_valid_point_group(point_group_text_editor);
        is_valid_perm_symmetry(perm_symmetry_editor);
        is_valid_transformation(transformation_text_editor);
        for (QLineEdit* input : {point_group_text_editor, perm_symmetry_editor, transformation_text_editor})
            color_of_text_editor(input);
        view_is_active(view_point_group);
        execute_is_active(tensor);
        execute_is_active(pseudo_tensor);
        perm_symmetry_is_active(perm_symmetry);
        transformation_is_active(basis_transformation);
    }

    QLineEdit* point_group_text_editor;
    QLineEdit* perm_symmetry_editor;
    QLineEdit* transformation_text_editor;
    QPushButton* view_point_group;
    QPushButton* perm_symmetry;
    QPushButton* basis_transformation;
    QPushButton* tensor;
    QPushButton* pseudo_tensor;
};

}

void do_execute_tensor_proc(const execute_command& command) { do_execute_proc(false, command); }
void do_execute_pseudo_tensor_proc(const execute_command& command) { do_execute_proc(true, command); }

void do_view_pointgroup_proc(const QObject& command)
{
    const std::string text = text_of(*partner<QLineEdit>(command, POINT_GROUP_TEXT_EDITOR));
    const int dimension = partner<QSpinBox>(command, DIMENSION_EDITOR)->value();
    const auto fail = [](const char* number) {
        ZEM_FAIL(std::string("[do_view_pointgroup] cannot find group (") + number + "), please report..");
    };
    if (dimension < 1 || dimension > group_name_mappings.count()) fail("1");
    const ZEM_string* name = group_name_mappings.lookup(dimension, ZEM_string(text.c_str()));
    if (!name) fail("2");
    const var_symtab::var_symtabelt* group = configuration_variable(name->c_str());
    if (!group) fail("3");
    zarn_object_window(*group->object, text.c_str());
}

void do_close_tensor_window_proc(const QObject& command)
{
    if (QWidget* window = partner<QWidget>(command, TENSOR_WINDOW)) window->close();
}

QWidget* tensorprog(QWidget* stacker)
{
    auto* window = new tensor_window(stacker);
    window->setObjectName(TENSOR_WINDOW);
    window->show();
    return window;
}
