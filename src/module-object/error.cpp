#include "module-object/error.h"

#include <cstring>
#include <iostream>
#include <string_view>

#include "module-object/string.h"

void _zem_error_(const char*, int, const char* message)
{
    // Building the text would need the memory that has run out.
    static const char out_of_memory[] = "run-time exception: out of memory\n";
    if (message && std::strcmp(message, "out of memory") == 0) throw ZEM_string::borrowed(out_of_memory);
    throw ZEM_string("run-time exception: ") + ZEM_string(message) + ZEM_string("\n");
}

void _zem_error_(const char* file, int line, const std::string& message)
{
    _zem_error_(file, line, message.c_str());
}

bool failed_with(const ZEM_string& failure, const char* message)
{
    const std::string_view text = failure.c_str(), prefix = "run-time exception: ";
    return text.starts_with(prefix) && text.ends_with('\n') &&
           text.substr(prefix.size(), text.size() - prefix.size() - 1) == message;
}

alert_seam::~alert_seam() = default;

// Without anyone to answer, every question is closed unanswered.
int alert_seam::ask_choice(const std::string&, const std::vector<std::string>&) { return -1; }
std::optional<std::string> alert_seam::ask_text(const std::string&, const std::string&) { return std::nullopt; }

int alert_seam::ask_selection(const std::string& title, const std::vector<std::string>& entries,
                              const std::function<bool(int)>& pressed)
{
    std::vector<std::string> buttons = entries;
    buttons.push_back("cancel");
    for (;;) {
        const int k = ask_choice(title, buttons);
        if (k < 0 || k >= int(entries.size())) return -1;
        if (pressed(k)) return k;
    }
}

void alert_seam::beep() {}

namespace {

class stderr_alerts : public alert_seam {
public:
    void show_alert(const std::string& text) override { std::cerr << text << std::flush; }
};

stderr_alerts fallback_alerts;
alert_seam* current_alerts = &fallback_alerts;

}

alert_seam* install_alert_seam(alert_seam* seam)
{
    alert_seam* previous = current_alerts;
    current_alerts = seam ? seam : &fallback_alerts;
    return previous;
}

void message(const char* text) { current_alerts->show_alert(text ? text : ""); }

int ask_choice(const std::string& title, const std::vector<std::string>& buttons)
{
    return current_alerts->ask_choice(title, buttons);
}

int ask_selection(const std::string& title, const std::vector<std::string>& entries,
                  const std::function<bool(int)>& pressed)
{
    return current_alerts->ask_selection(title, entries, pressed);
}

std::optional<std::string> ask_text(const std::string& prompt, const std::string& initial)
{
    return current_alerts->ask_text(prompt, initial);
}

void beep() { current_alerts->beep(); }
