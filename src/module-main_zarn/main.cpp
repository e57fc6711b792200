#include "module-main_zarn/startup.h"
#include "module-object/error.h"

// Defined by the command language's file runner; weak so that the program links
// while that runner is not part of the build, and then says so at start-up.
[[gnu::weak]] int exec_zem_commandfile(const char* path);

namespace {

int run_configuration(const char* path)
{
    if (!exec_zem_commandfile)
        _zem_error_("module-main_zarn/main", __LINE__, "the command language cannot run files in this build");
    return exec_zem_commandfile(path);
}

}

int main(int argc, char** argv) { return zarn_main(argc, argv, run_configuration); }
