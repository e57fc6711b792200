// The general built-in: the procedure exit.
#include <cstdlib>

#include "module-object/string.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/exec.h"

namespace {

// Ends the run as any normal termination does: exit handlers and static
// destructors run, the statements after the call do not. The run's own last
// lines come first, as at the end of its file.
void zem_exit(int, const ZEM_object**)
{
    report_withheld_messages();
    std::exit(0);
}

builtin_func_definition f_zem_exit(ZEM_string("exit"), ZEM_string("exit the program"),
                                   ZEM_string("the procedure exit terminates the program normally"), zem_exit, 0,
                                   nullptr);

}
