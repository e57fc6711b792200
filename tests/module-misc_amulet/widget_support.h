// Finding the parts of the program's widgets the way a user sees them.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QThread>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <string>

inline QAbstractButton* button(QWidget* owner, const QString& text)
{
    for (auto* b : owner->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// The texts of the labels under `widget`, one per printed line.
inline QStringList lines(const QWidget* widget)
{
    QStringList texts;
    for (auto* label : widget ? widget->findChildren<QLabel*>() : QList<QLabel*>()) texts << label->text();
    return texts;
}

// The one open window with this title, or null.
inline QWidget* window_titled(const QString& title)
{
    QList<QWidget*> found;
    for (auto* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title) found << w;
    return found.size() == 1 ? found.front() : nullptr;
}

// What a file holds, "(none)" if it cannot be read.
inline std::string contents(const std::filesystem::path& file)
{
    std::ifstream in(file);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

// Closes every open window but `kept`; those that delete themselves on closing are gone afterwards.
inline void close_windows(const QWidget* kept = nullptr)
{
    for (auto* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != kept) w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The width a window comes back to after it was made 1600 wide and then given
// its old size again, as a user drags its frame.
inline int width_after_growing(QWidget* window)
{
    // The event loop runs until `done`, two seconds at most.
    const auto wait_for = [](const auto& done) {
        for (QDeadlineTimer deadline(2000); !done() && !deadline.hasExpired(); QThread::msleep(5))
            QApplication::processEvents();
    };
    window->show();
    wait_for([&] { return window->windowHandle() && window->windowHandle()->isExposed(); });
    const QSize old = window->size();
    for (const QSize size : {QSize(1600, old.height()), old}) {
        window->resize(size);
        wait_for([&] { return window->size() == size; });
    }
    return window->width();
}
