// Screenshots go beside the test program, never into the directory the tests
// are run from (a run from the source tree would leave them there).
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

inline bool save_screenshot(QWidget* widget, const char* name)
{
    return widget->grab().save(QDir(QCoreApplication::applicationDirPath()).filePath(name));
}
