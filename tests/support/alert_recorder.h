// Records every alert instead of showing it, for as long as it lives.
#pragma once

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

    std::vector<std::string> alerts;

private:
    alert_seam* previous_;
};
