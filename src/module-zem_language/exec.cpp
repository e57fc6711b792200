#include "module-zem_language/exec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "front-end-support/system.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-zem_language/codegen.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/parser.h"
#include "module-zem_language/scanner.h"
#include "module-zem_language/semantics.h"

namespace {

void yyExit() { Exit(1); }

[[noreturn]] void yyAbort(const char* routine)
{
    std::fprintf(stderr, "Error: module exec, routine %s failed\n", routine);
    exec_Exit();
    std::exit(1);
}

// Every fatal fault of the scanner, after its own line on the error stream,
// becomes a failure of the statement (or of the start-up) that ran the file.
[[noreturn]] void my_scanner_exit()
{
    ZEM_FAIL(std::string("scanner failed: ") + ScannerFault());
}

int nested_command_files = 0;

// The include instruction runs its file through this runner.
[[maybe_unused]] const command_file_runner include_runner = install_command_file_runner(exec_zem_expanded_commandfile);

// Counts the command files running, the count falling again however a run ends.
class nesting {
public:
    nesting()
    {
        if (nested_command_files == max_nested_command_files)
            ZEM_FAIL("[exec_zem_commandfile] too many nested include files");
        ++nested_command_files;
    }
    nesting(const nesting&) = delete;
    nesting& operator=(const nesting&) = delete;
    ~nesting() { --nested_command_files; }
};

struct release_at_end {
    explicit release_at_end(tTree root) : root(root) {}
    release_at_end(const release_at_end&) = delete;
    release_at_end& operator=(const release_at_end&) = delete;
    ~release_at_end()
    {
        if (TreeRoot == root) TreeRoot = NoTree;
        ReleaseTree(root);
    }

    tTree root;
};

// Shows the first max_shown_alerts alerts of a run and withholds the rest;
// the max_read_messages-th stops the file being read, and with it the run.
class alert_limit : public alert_seam {
public:
    alert_limit() : previous_(install_alert_seam(this)) {}
    ~alert_limit() override { install_alert_seam(previous_); }
    alert_limit(const alert_limit&) = delete;
    alert_limit& operator=(const alert_limit&) = delete;

    void show_failure(const std::string& text) override
    {
        // Withheld among the messages, a failure would go unseen.
        if (stopped_ || shown_ >= max_shown_alerts) write_to_error_stream(text.c_str());
        show_alert(text);
    }
    void show_alert(const std::string& text) override
    {
        // What follows the stop (the parser on the statement it cut, say) says
        // nothing of the file, and would make the counts disagree with the bound.
        if (stopped_) {
            StopReading();
            return;
        }
        if (shown_ < max_shown_alerts) {
            ++shown_;
            previous_->show_alert(text);
        } else {
            ++withheld_;
        }
        // Tried again until a file is being read: messages may come from checking a statement.
        if (shown_ + withheld_ >= max_read_messages) stopped_ = StopReading();
    }
    int ask_choice(const std::string& title, const std::vector<std::string>& buttons) override
    {
        return previous_->ask_choice(title, buttons);
    }
    int ask_selection(const std::string& title, const std::vector<std::string>& entries,
                      const std::function<bool(int)>& pressed) override
    {
        return previous_->ask_selection(title, entries, pressed);
    }
    std::optional<std::string> ask_text(const std::string& prompt, const std::string& initial) override
    {
        return previous_->ask_text(prompt, initial);
    }
    void beep() override { previous_->beep(); }

    bool stopped() const { return stopped_; }

    // The lines more, once the run is over or the program ends, shown as
    // every alert is, and only once.
    void report()
    {
        install_alert_seam(previous_);
        if (std::exchange(reported_, true)) return;
        try {
            if (withheld_ > 0) message((std::to_string(withheld_) + " more messages not shown").c_str());
            if (stopped_)
                message(("too many messages: reading stopped after " + std::to_string(max_read_messages)).c_str());
        } catch (const std::bad_alloc&) {
            // The run is over and counted: its failure, not this one, is what goes on.
            write_to_error_stream("run-time exception: out of memory\n");
        }
    }

private:
    alert_seam* previous_;
    int shown_ = 0;
    int withheld_ = 0;
    bool stopped_ = false;
    bool reported_ = false;
};

// Leaves every file of the run once its reading has stopped, so that nothing
// more is read or run; `errors` is the count of the file that stopped.
struct reading_stopped {
    int errors;
};

// The limit of the outermost run, which the files it includes share.
alert_limit* run_alerts = nullptr;

int run_command_file(const char* path)
{
    int nerr = 0;
    Scanner_Exit = my_scanner_exit;
    nesting depth;
    const std::size_t open_files = OpenFiles();
    int syntax_errors = 0;
    try {
        failing_as_out_of_memory([&] {
            BeginFile(path);
            BeginTree();
            syntax_errors = Parser();
        });
    } catch (...) {
        AbandonFiles(open_files);
        throw;
    }
    // Nothing refers to the tree once its statements have run (instructions
    // copy names and types), so the run frees it; it keeps the root itself,
    // since an include parses another file into TreeRoot meanwhile.
    const release_at_end tree{TreeRoot};
    if (syntax_errors == 0 && !run_alerts->stopped()) exec_zem_statements(tree.root, &nerr);
    CloseTree();
    // Stopped while this file was read, or one it includes that failed instead of ending.
    if (run_alerts->stopped()) throw reading_stopped{std::max(syntax_errors + nerr, 1)};
    return syntax_errors + nerr;
}

}

void (*exec_Exit)() = yyExit;

void Beginexec() {}
void Closeexec() {}

int exec_zem_commandfile(const char* path)
{
    if (run_alerts) return run_command_file(path);
    alert_limit limit;
    run_alerts = &limit;
    try {
        int errors = 0;
        try {
            errors = run_command_file(path);
        } catch (const reading_stopped& stop) {
            errors = stop.errors;
        }
        run_alerts = nullptr;
        limit.report();
        return errors;
    } catch (...) {
        run_alerts = nullptr;
        limit.report();
        throw;
    }
}

int exec_zem_expanded_commandfile(const char* path) { return exec_zem_commandfile(path); }

void report_withheld_messages()
{
    if (run_alerts) run_alerts->report();
}

// A loop along the list, so a file of many statements needs no deeper stack.
void exec_zem_statements(Tree_Node* list, int* nerr)
{
    for (; list->Kind == kstatements_1; list = list->statements_1.statements)
        exec_zem_statement(list->statements_1.statement, nerr);
    if (list->Kind != kstatements_2) yyAbort("exec_zem_statements");
}

void exec_zem_statement(Tree_Node* statement, int* nerr)
{
    if (*nerr != 0) return;
    try {
        // What it held is freed by the time the failure arrives, so the alerts have room.
        failing_as_out_of_memory([&] {
            BeginSemantics();
            Semantics(statement);
            *nerr += semantic_errors;
            if (*nerr == 0) {
                // Declared in this order, the machine goes before the list, also when a failure unwinds.
                icode_instr_list code;
                ZEM_vm machine;
                gen_i_code(statement, &code);
                machine.execute(code);
            }
            CloseSemantics();
        });
    } catch (const ZEM_string& failure) {
        *nerr += 1;
        failure_message(failure.c_str());
        message("OK, resuming main loop");
    }
}
