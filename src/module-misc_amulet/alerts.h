// The program's alerts and questions: real modal dialogs.
#pragma once

#include "module-object/error.h"

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
