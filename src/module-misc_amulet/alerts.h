// The program's alerts and questions: real modal dialogs.
#pragma once

#include <QApplication>
#include <vector>

#include "module-object/error.h"

// The program's application. An exception that a handler of the toolkit lets
// out (std::bad_alloc, where memory runs out while a dialog is drawn) goes no
// further than the event it was handling, since the toolkit cannot pass one
// on: it ends the alert or question waiting, whose seam then fails with it,
// or, with none waiting, it is shown as a failure of a window's work is.
class guarded_application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

class qt_alert_seam : public alert_seam {
public:
    void show_alert(const std::string& text) override;
    int ask_choice(const std::string& title, const std::vector<std::string>& buttons) override;
    // The choosers' pop-up at 300, 200: the entries stacked in a panel, "cancel"
    // to its right.
    int ask_selection(const std::string& title, const std::vector<std::string>& entries,
                      const std::function<bool(int)>& pressed) override;
    std::optional<std::string> ask_text(const std::string& prompt, const std::string& initial) override;
    void beep() override;
};

// Run before the application is built. The toolkit's threads (its event
// reader among them) get small stacks: with the default, as large as the stack
// limit, they fail to start where address space is short, and the toolkit
// then waits for them for ever. Every thread allocates from the one heap, and
// the thread that helps the toolkit paint is kept once the toolkit starts it.
void prepare_threads();

// Lays out and paints an alert once, out of sight, so that the fonts the
// alerts need are loaded while memory is plentiful, not by the first alert,
// which may come when it has run out.
void prepare_alerts();

// What a button of a real question may run instead of answering by itself;
// its command is the button.
using question_method = void (*)(QObject* command);

// While it lives, the buttons of the next real question run these methods,
// one per button in order, and each button holds the question under the
// property `window_key`. A recorder of questions leaves them unused.
class question_methods {
public:
    question_methods(std::vector<question_method> methods, const char* window_key);
    ~question_methods();
    question_methods(const question_methods&) = delete;
    question_methods& operator=(const question_methods&) = delete;
};

// Ends the wait of a real question as its button numbered `answer` does.
void finish_pop_up_waiting(QObject* question, int answer);
