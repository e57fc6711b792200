#include "module-misc_amulet/alerts.h"

#include <QMessageBox>

void qt_alert_seam::show_alert(const std::string& text)
{
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
