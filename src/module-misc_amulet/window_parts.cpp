#include "module-misc_amulet/window_parts.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

void set_partner(QObject* object, const char* key, QObject* partner)
{
    object->setProperty(key, QVariant::fromValue(QPointer<QObject>(partner)));
}

namespace {

// Lives as the follower's child and watches the source: Qt drops the watch
// with whichever of the two goes first.
class slot_follower : public QObject {
public:
    slot_follower(QObject* follower, const char* key, QObject* source) : QObject(follower), key_(key), source_(source)
    {
        source->installEventFilter(this);
        copy();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == source_ && event->type() == QEvent::DynamicPropertyChange &&
            static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == key_)
            copy();
        return false;
    }

private:
    void copy() { parent()->setProperty(key_.constData(), source_->property(key_.constData())); }

    QByteArray key_;
    QObject* source_;
};

}

void follow_slot(QObject* follower, const char* key, QObject* source) { new slot_follower(follower, key, source); }

void set_fill(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Button, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

std::string label_of(const QObject& command) { return command.property("text").toString().toStdString(); }

std::string text_of(const QObject& input)
{
    const auto* line = qobject_cast<const QLineEdit*>(&input);
    return line ? line->text().toStdString() : std::string();
}

void set_base_colour(QWidget* input, const QColor& colour)
{
    QPalette palette = input->palette();
    palette.setColor(QPalette::Base, colour);
    input->setPalette(palette);
}

void set_up_window(QWidget* window, const QString& title)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    window->setWindowIconText(title);
    set_fill(window, motif_gray);
}

QPushButton* gray_button(const QString& label, int width)
{
    auto* button = new QPushButton(label);
    if (width > 0) button->setFixedWidth(width);
    set_fill(button, motif_gray);
    button->setAutoDefault(false);
    return button;
}

QScrollArea* scrolling_area(QWidget* view)
{
    auto* area = new QScrollArea;
    set_fill(area, motif_gray);
    area->setWidgetResizable(true);
    area->setWidget(view);
    set_fill(area->viewport(), white);
    set_fill(view, white);
    return area;
}

cursor_shown::cursor_shown(Qt::CursorShape shape, bool only_over_another)
    : pushed_(!only_over_another || QApplication::overrideCursor())
{
    if (pushed_) QApplication::setOverrideCursor(shape);
}

cursor_shown::~cursor_shown()
{
    if (pushed_) QApplication::restoreOverrideCursor();
}
