// Records every alert, question and beep instead of showing it, for as long as
// it lives; questions take their answers from the queues a test fills.
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
    // An empty queue closes the question unanswered.
    int ask_choice(const std::string& title, const std::vector<std::string>& buttons) override
    {
        questions.push_back(title);
        question_buttons = buttons;
        return next(choices, -1);
    }
    std::optional<std::string> ask_text(const std::string& prompt, const std::string&) override
    {
        prompts.push_back(prompt);
        return next(texts, std::optional<std::string>());
    }
    void beep() override { ++beeps; }

    std::vector<std::string> alerts;
    std::vector<std::string> questions;
    std::vector<std::string> question_buttons;
    std::vector<std::string> prompts;
    int beeps = 0;
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
