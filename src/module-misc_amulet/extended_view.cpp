#include "module-misc_amulet/extended_view.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstring>
#include <memory>

#include "module-collections/linkedlist.h"
#include "module-collections/set.h"
#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/window_parts.h"
#include "module-misc_amulet/wrapper.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"

int sortfunc(const ZEM_string& a, const ZEM_string& b) { return std::strcmp(a, b); }

namespace {

// The names of the built-ins of one argument of type `type`, sorted.
ZEM_linkedlist<ZEM_string> offered_functions(const ZEM_type& type)
{
    ZEM_linkedlist<ZEM_string> offered;
    const ZEM_set<ZEM_string> names = global_functions.all_funcs();
    for (ZEM_iterator<ZEM_string> name(names.create_iter_at_begin()); name; name++) {
        const func_symtab::func_symtabelt* entry = global_functions.lookup(*name);
        if (!entry) continue;
        if (entry->kind != 1) {
            message("[zem_object_window] user defined function not implemented");
            continue;
        }
        const builtin_func_definition& definition = *entry->definition;
        if (definition.nargs == 1 && definition.arg_types[0] == type) offered.add_at_tail(*name);
    }
    offered.sort(sortfunc);
    return offered;
}

QWidget* button_panel(const ZEM_object& value)
{
    auto* panel = new QWidget;
    auto* buttons = new QVBoxLayout(panel);
    // As wide as the button area, as high as its buttons.
    buttons->setSizeConstraint(QLayout::SetMaximumSize);
    const Am_ZEM_object copy(new Am_ZEM_object_Data(value));
    const ZEM_linkedlist<ZEM_string> names = offered_functions(value.type());
    for (ZEM_iterator<ZEM_string> name(names.create_iter_at_begin()); name; name++) {
        QPushButton* button = gray_button(QString::fromUtf8((*name).c_str()));
        button->setProperty(ZEM_OBJECT, copy);
        QObject::connect(button, &QPushButton::clicked, button, [button] { am_window_do_func(button); });
        buttons->addWidget(button);
    }
    return panel;
}

// The value's vertical scroll bar stands on the left: the area's own bar stays
// hidden and a bar beside it follows and drives it.
QWidget* value_area_with_bar_on_the_left(const ZEM_object& value)
{
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    QScrollArea* area = scrolling_area(value.create_view());
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* own = area->verticalScrollBar();
    auto* left = new QScrollBar(Qt::Vertical);
    QObject::connect(own, &QScrollBar::rangeChanged, left, [own, left](int min, int max) {
        left->setRange(min, max);
        left->setPageStep(own->pageStep());
        left->setVisible(max > min);
    });
    QObject::connect(left, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
    QObject::connect(own, &QScrollBar::valueChanged, left, &QScrollBar::setValue);
    left->setVisible(false);
    row->addWidget(left);
    row->addWidget(area, 1);
    return holder;
}

}

QWidget* zem_extended_view(const ZEM_object& value)
{
    auto* outer = new QWidget;
    auto* row = new QHBoxLayout(outer);
    row->setContentsMargins(0, 0, 0, 0);

    row->addWidget(value_area_with_bar_on_the_left(value), 7);

    QScrollArea* button_area = scrolling_area(button_panel(value));
    set_fill(button_area->widget(), motif_gray);
    button_area->setWidgetResizable(true);
    button_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    row->addWidget(button_area, 3);
    return outer;
}

void am_window_do_func_proc(QPushButton* button)
{
    const ZEM_string name(button->text().toUtf8().constData());
    const Am_ZEM_object argument(button->property(ZEM_OBJECT));
    const func_symtab::func_symtabelt* entry = global_functions.lookup(name);
    if (!entry) return;
    if (entry->kind != 1) {
        message("[am_window_do_func] user defined function not implemented");
        return;
    }
    const builtin_func_definition& definition = *entry->definition;
    if (definition.nargs != 1) {
        message("[am_window_do_func] hmm.., function signature has been changed (a)");
        return;
    }
    if (!(definition.arg_types[0] == argument.value().type())) {
        message("[am_window_do_func] hmm.., function signature has been changed (b)");
        return;
    }
    const ZEM_object* args[] = {&argument.value()};
    if (definition.result_type == tp_void()) {
        definition.call_proc(1, args);
        return;
    }
    const std::unique_ptr<ZEM_object> result(definition.call_func(1, args));
    if (result) zem_object_window(*result, "untitled");
}

void am_window_do_func(QPushButton* button) { showing_failures([button] { am_window_do_func_proc(button); }); }
