// A chooser's pop-up of many entries, from the call until it is shown and
// painted, then closed: "wide" labels are cut to the screen's width as the
// pop-up is built, "narrow" ones fit as they are.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

#include "module-misc_amulet/alerts.h"
#include "module-object/error.h"

namespace {

// `count` labels of `bytes` bytes each, in words, each label its own.
std::vector<std::string> labels(std::size_t count, std::size_t bytes)
{
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < count; ++k) {
        std::string label = "class " + std::to_string(k);
        while (label.size() < bytes) label += " word";
        label.resize(bytes);
        entries.push_back(label);
    }
    return entries;
}

void show_popup(benchmark::State& state)
{
    const std::vector<std::string> entries = labels(std::size_t(state.range(0)), std::size_t(state.range(1)));
    qt_alert_seam dialogs;
    alert_seam* previous = install_alert_seam(&dialogs);
    for (auto _ : state) {
        QTimer::singleShot(0, [] {
            auto* popup = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!popup) return;
            popup->repaint();
            popup->reject();
        });
        if (ask_selection("point group", entries, [](int) { return true; }) != -1)
            state.SkipWithError("the pop-up was not closed");
    }
    install_alert_seam(previous);
}

}

BENCHMARK(show_popup)->Name("popup/wide")->Args({2000, 300})->Unit(benchmark::kMillisecond);
BENCHMARK(show_popup)->Name("popup/narrow")->Args({2000, 12})->Unit(benchmark::kMillisecond);
