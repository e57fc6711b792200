#include "module-main_zarn/tensorprog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

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

constexpr int half_width = 185;

// A number input with its prompt in front.
QSpinBox* number_input(QWidget*& widget, const char* prompt, int lowest, int highest, int value)
{
    widget = new QWidget;
    widget->setFixedWidth(half_width);
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
    input->setFixedWidth(half_width);
    return input;
}

QHBoxLayout* row_of(QWidget* left, QWidget* right)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(left);
    row->addWidget(right);
    row->addStretch(1);
    return row;
}

std::string text_of(const QLineEdit* input) { return input->text().toStdString(); }

void do_execute_proc(bool pseudo, const execute_command& command)
{
    const tensor_result result = invariant_tensor_request(
        pseudo, {text_of(command.point_group_text_editor), text_of(command.perm_symmetry_editor),
                 text_of(command.transformation_text_editor), command.dimension_editor->value(),
                 command.rank_editor->value()});
    if (command.result_stacker) add_to_stacker(command.result_stacker, *result.value, result.comment.c_str());
}

// The two buttons' methods: a request under the workbench's failure guard.
void do_execute_tensor(const execute_command& command)
{
    workbench_action([&] { do_execute_tensor_proc(command); });
}

void do_execute_pseudo_tensor(const execute_command& command)
{
    workbench_action([&] { do_execute_pseudo_tensor_proc(command); });
}

class tensor_window : public QWidget {
public:
    explicit tensor_window(QWidget* stacker)
    {
        set_up_window(this, "Tensor");

        QWidget* dimension_widget;
        QWidget* rank_widget;
        rank_editor = number_input(rank_widget, "rank", 1, 9999, 2);
        dimension_editor = number_input(dimension_widget, "dimension", 1, group_name_mappings.count(), 3);
        point_group_text_editor = text_input("point group");
        perm_symmetry_editor = text_input("perm symmetry");
        transformation_text_editor = text_input("basis transformation");

        QPushButton* point_group = gray_button("Point group", half_width);
        view_point_group = gray_button("View point group", half_width);
        perm_symmetry = gray_button("Perm. symmetry", half_width);
        basis_transformation = gray_button("Basis transformation", half_width);
        tensor = gray_button("Tensor", half_width);
        pseudo_tensor = gray_button("Pseudo tensor", half_width);
        QPushButton* close = gray_button("Close", half_width);

        auto* column = new QVBoxLayout(this);
        column->setSpacing(10);
        column->setContentsMargins(10, 10, 10, 10);
        column->setSizeConstraint(QLayout::SetFixedSize);
        column->addLayout(row_of(dimension_widget, rank_widget));
        column->addLayout(row_of(point_group, point_group_text_editor));
        column->addWidget(view_point_group, 0, Qt::AlignLeft);
        column->addLayout(row_of(perm_symmetry, perm_symmetry_editor));
        column->addLayout(row_of(basis_transformation, transformation_text_editor));
        column->addLayout(row_of(tensor, pseudo_tensor));
        column->addWidget(close, 0, Qt::AlignLeft);
        setGeometry(100, 100, 400, sizeHint().height());
        setFixedWidth(400);

        connect(point_group, &QPushButton::clicked, this,
                [this] { workbench_action([this] { choose_point_group(); }); });
        connect(view_point_group, &QPushButton::clicked, this,
                [this] { workbench_action([this] { do_view_pointgroup_proc(); }); });
        connect(perm_symmetry, &QPushButton::clicked, this,
                [this] { workbench_action([this] { choose_perm_symmetry(); }); });
        connect(basis_transformation, &QPushButton::clicked, this,
                [this] { workbench_action([this] { choose_transformation(); }); });
        const execute_command execute{point_group_text_editor, perm_symmetry_editor, transformation_text_editor,
                                      rank_editor, dimension_editor, stacker};
        connect(tensor, &QPushButton::clicked, this, [execute] { do_execute_tensor(execute); });
        connect(pseudo_tensor, &QPushButton::clicked, this, [execute] { do_execute_pseudo_tensor(execute); });
        connect(close, &QPushButton::clicked, this, &QWidget::close);

        const auto check = [this] { workbench_action([this] { recompute(); }, true, work_kind::quick); };
        for (QLineEdit* input : {point_group_text_editor, perm_symmetry_editor, transformation_text_editor})
            connect(input, &QLineEdit::textChanged, this, check);
        for (QSpinBox* number : {dimension_editor, rank_editor}) connect(number, &QSpinBox::valueChanged, this, check);
        recompute();
    }

private:
    // Judges the three inputs, colours them and switches the buttons.
    void recompute()
    {
        const int dimension = dimension_editor->value();
        const int rank = rank_editor->value();
        const bool point_group_valid = is_valid_point_group_proc(text_of(point_group_text_editor), dimension);
        const bool perm_symmetry_valid = is_valid_perm_symmetry_proc(text_of(perm_symmetry_editor), rank);
        const bool transformation_valid =
            is_valid_transformation_proc(text_of(transformation_text_editor), dimension);
        show_validity(point_group_text_editor, point_group_valid);
        show_validity(perm_symmetry_editor, perm_symmetry_valid);
        show_validity(transformation_text_editor, transformation_valid);
        view_point_group->setEnabled(point_group_valid);
        const bool execute_is_active = perm_symmetry_valid && point_group_valid && transformation_valid;
        tensor->setEnabled(execute_is_active);
        pseudo_tensor->setEnabled(execute_is_active);
        perm_symmetry->setEnabled(perm_symmetry_is_active_proc("perm_symmetry", rank));
        basis_transformation->setEnabled(transformation_is_active_proc(dimension));
    }

    static void show_validity(QLineEdit* input, bool valid)
    {
        input->setProperty("CONTAINS_VALID_VALUE", valid);
        show_validity_colour(input, valid);
    }

    static void write(QLineEdit* input, const std::optional<std::string>& chosen)
    {
        if (chosen) input->setText(QString::fromStdString(*chosen));
    }

    void choose_point_group()
    {
        write(point_group_text_editor,
              do_choose_pointgroup_or_pointgroup_class_proc("point_group", dimension_editor->value()));
    }
    void choose_perm_symmetry()
    {
        write(perm_symmetry_editor, do_choose_rank_and_permsymm_proc("perm_symmetry", rank_editor->value()));
    }
    void choose_transformation()
    {
        write(transformation_text_editor,
              do_choose_basis_transformation_proc("Basis transformation", "basis_transformation",
                                                  dimension_editor->value()));
    }

    void do_view_pointgroup_proc()
    {
        const std::string text = text_of(point_group_text_editor);
        const int dimension = dimension_editor->value();
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

    QSpinBox* dimension_editor;
    QSpinBox* rank_editor;
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

QWidget* tensorprog(QWidget* stacker)
{
    auto* window = new tensor_window(stacker);
    window->show();
    return window;
}
