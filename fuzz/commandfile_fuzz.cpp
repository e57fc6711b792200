// Runs arbitrary bytes as a command file through the whole pipeline: scanner,
// parser, checks, code generation, the stack machine and the built-ins.
//
// The run is kept from reaching outside the fuzzer: it works in a scratch
// directory of its own, emptied before every input together with the variable
// table, so an input behaves the same alone as in a long run; `exit` is taken
// out of the function table (a call to it then fails the checks as any unknown
// procedure does); inputs naming an absolute path or a parent directory are
// skipped, so `file` and `include` touch only the scratch directory. Alerts are
// recorded, never shown, and forgotten with each input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "module-object/error.h"
#include "module-zem_language/exec.h"
#include "module-zem_language/symtab.h"
#include "support/alert_recorder.h"

namespace {

namespace fs = std::filesystem;

// Installed for the whole run; questions go unanswered.
alert_recorder* alerts = nullptr;

fs::path scratch;

void remove_scratch() { fs::remove_all(scratch); }

void forget_variables()
{
    const ZEM_set<ZEM_string> names = global_objects.all_vars();
    for (ZEM_iterator<ZEM_string> it(names.create_iter_at_begin()); it; it++) global_objects.remove(*it);
}

// Each input runs in the scratch directory, where a crash also ends the run,
// so where findings go is made absolute (by default the starting directory).
void absolute_findings(int* argc, char*** argv)
{
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    const std::string start = (fs::current_path() / "").string();
    bool has_prefix = false;
    for (int k = 0; k < *argc; ++k) {
        std::string text = (*argv)[k];
        for (const std::string flag : {"-artifact_prefix=", "-exact_artifact_path="}) {
            if (!text.starts_with(flag)) continue;
            has_prefix = has_prefix || flag == "-artifact_prefix=";
            if (text.size() > flag.size() && text[flag.size()] != '/') text.insert(flag.size(), start);
        }
        texts.push_back(text);
    }
    if (!has_prefix) texts.push_back("-artifact_prefix=" + start);
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(texts.size());
    *argv = pointers.data();
}

void empty_scratch()
{
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) fs::remove_all(entry.path());
}

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    absolute_findings(argc, argv);
    alerts = new alert_recorder;
    global_functions.remove(ZEM_string("exit"));

    std::string pattern = (fs::temp_directory_path() / "zarn_fuzz_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    scratch = pattern;
    std::atexit(remove_scratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (text.find("\"/") != text.npos || text.find("..") != text.npos) return -1;

    empty_scratch();
    forget_variables();
    alerts->alerts.clear();
    std::ofstream(scratch / "input.zem", std::ios::binary).write(text.data(), static_cast<std::streamsize>(size));
    const fs::path start = fs::current_path();
    fs::current_path(scratch);
    try {
        exec_zem_commandfile("input.zem");
    } catch (const ZEM_string&) {
        // A file that cannot be read, or a comment left open, fails the whole run:
        // an answer, not a fault.
    }
    fs::current_path(start);
    return 0;
}
