// The program's alerts: real modal message boxes.
#pragma once

#include "module-object/error.h"

class qt_alert_seam : public alert_seam {
public:
    void show_alert(const std::string& text) override;
};
