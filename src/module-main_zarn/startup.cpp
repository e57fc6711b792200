#include "module-main_zarn/startup.h"

#include <QApplication>
#include <QWidget>
#include <sys/mman.h>

#include <csignal>
#include <cstdlib>
#include <iostream>

#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_chartab.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/main_window.h"
#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/view.h"
#include "module-object/error.h"
#include "module-object/string.h"

const char* configuration_path()
{
    const char* path = std::getenv("ZARN_CONFIG");
    return path ? path : "/zarn/data/zarn_config";
}

bool start_up(commandfile_runner run, const char* config_file)
{
    // A write past the file-size limit then fails and is reported, instead of
    // ending the program with a file half-written.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        if (run(config_file) != 0)
            ZEM_FAIL("cannot read configuration file");
        init_tensor();
        init_character_table();
        return true;
    } catch (const ZEM_string& failure) {
        std::cerr << failure.c_str() << std::flush;
    } catch (const configuration_fault& fault) {
        std::cerr << fault.text << '\n' << std::flush;
    }
    return false;
}

namespace {

// The toolkit maps its platform plugin, connects to the display and builds its
// keymap as it starts; where one of these fails for want of address space it
// aborts, or waits for ever for its own event reader. So it starts only with
// room for that, with a margin.
bool room_to_start()
{
    constexpr std::size_t room = std::size_t(16) << 20;
    void* block = ::mmap(nullptr, room, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return false;
    ::munmap(block, room);
    return true;
}

}

int zarn_main(int argc, char** argv, commandfile_runner run)
{
    if (!room_to_start()) {
        std::cerr << "run-time exception: out of memory\n" << std::flush;
        return EXIT_FAILURE;
    }
    prepare_threads();
    guarded_application application(argc, argv);
    qt_alert_seam dialogs;
    install_alert_seam(&dialogs);
    hold_alert_reserve();
    prepare_alerts();
    install_views();
    int status = EXIT_FAILURE;
    if (start_up(run, configuration_path())) {
        QApplication::setQuitOnLastWindowClosed(false);
        create_main_window(program_name(argc > 0 ? argv[0] : ""))->show();
        status = QApplication::exec();
    }
    install_alert_seam(nullptr);
    return status;
}
