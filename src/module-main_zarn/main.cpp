#include "module-main_zarn/startup.h"
#include "module-zem_language/exec.h"

int main(int argc, char** argv) { return zarn_main(argc, argv, exec_zem_commandfile); }
