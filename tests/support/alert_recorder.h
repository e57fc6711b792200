// Records every alert, question and beep instead of showing it, for as long as
// it lives; questions take their answers from the queues a test fills, and an
// empty queue closes a question unanswered.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "module-object/error.h"

class alert_recorder : public alert_seam {
public:
    alert_recorder() : previous_(install_alert_seam(this)) {}
    ~alert_recorder() override { install_alert_seam(previous_); }
    alert_recorder(const alert_recorder&) = delete;
    alert_recorder& operator=(const alert_recorder&) = delete;

    void show_alert(const std::string& text) override { alerts.push_back(text); }
    int ask_choice(const std::string& title, const std::vector<std::string>&) override
    {
        alerts.push_back("? " + title);
        return next(choices, -1);
    }
    std::optional<std::string> ask_text(const std::string& prompt, const std::string&) override
    {
        alerts.push_back("? " + prompt);
        return next(texts, std::optional<std::string>());
    }
    void beep() override { alerts.push_back("(beep)"); }

    // Alerts as shown; questions as "? " and their title, beeps as "(beep)".
    std::vector<std::string> alerts;
    std::deque<int> choices;
    std::deque<std::optional<std::string>> texts;

private:
    template <class T>
    static T next(std::deque<T>& queue, T none)
    {
        if (queue.empty()) return none;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }

    alert_seam* previous_;
};
