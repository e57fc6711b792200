#include "module-main_zarn/tensorprog.h"

QWidget* tensorprog(QWidget*) { return nullptr; }
