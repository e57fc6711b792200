// Answers the real modal pop-ups the way a user does: one button per turn of
// the event loop, pressed in whichever pop-up is then in front ("(frame)"
// closes it through its frame), noting at each press the front pop-up's title
// and how many pop-ups are open.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/widget_support.h"

class popup_driver {
public:
    explicit popup_driver(std::deque<QString> presses)
        : presses_(std::move(presses)), previous_(install_alert_seam(&dialogs_)) { next(); }
    ~popup_driver() { install_alert_seam(previous_); }
    popup_driver(const popup_driver&) = delete;
    popup_driver& operator=(const popup_driver&) = delete;

    static int open_popups()
    {
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) open += w->isVisible() && qobject_cast<QDialog*>(w);
        return open;
    }

    // "title n" per press: the front pop-up and the number open.
    std::vector<std::string> seen;

private:
    void next()
    {
        if (presses_.empty()) return;
        QTimer::singleShot(0, [this] {
            QWidget* front = QApplication::activeModalWidget();
            if (!front) return;
            seen.push_back(front->windowTitle().toStdString() + " " + std::to_string(open_popups()));
            const QString label = presses_.front();
            presses_.pop_front();
            next();
            label == "(frame)" ? void(front->close()) : button(front, label)->click();
        });
    }

    std::deque<QString> presses_;
    qt_alert_seam dialogs_;
    alert_seam* previous_;
};
