// Whole sessions on the shipped configuration: the main window, a workbench
// opened from it, several requests (one failing), leafing through the deck and
// writing pages to a file, which must read exactly as the user expects; and
// start-up failures. Buttons and rows are pressed with the mouse where they are
// shown, and what the user must read has to be in sight or within scrolling reach.
#include "support/mouse.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "module-main_zarn/chartabprog.h"
#include "module-main_zarn/config_support.h"
#include "module-main_zarn/main_window.h"
#include "module-main_zarn/startup.h"
#include "module-main_zarn/tensorprog.h"
#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/widget_support.h"
#include "module-misc_amulet/window_parts.h"
#include "module-zem_language/exec.h"
#include "support/alert_recorder.h"
#include "support/file_size_limit.h"
#include "support/memory_limit.h"
#include "support/screenshot.h"
#include "support/shipped_config.h"

namespace {

struct Session : testing::Test {
    test_configuration mappings;  // empties the name mappings afterwards
    alert_recorder user;
    std::unique_ptr<QWidget> main;
    QWidget* bench = nullptr;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("zarn_e2e_" + std::to_string(getpid()) + ".txt");
    // The prompts of "To file": the file name, then the overwrite question.
    const std::string name = "? Please enter file name", asked = "? " + file.string();

    void SetUp() override
    {
        ASSERT_TRUE(start_up(exec_zem_commandfile, shipped_config_path().c_str()));
        main.reset(create_main_window("zarn"));
        main->show();
    }
    void TearDown() override
    {
        close_windows(main.get());
        main.reset();
        const ZEM_set<ZEM_string> names = global_objects.all_vars();
        std::unique_ptr<ZEM_iterator_impl<ZEM_string>> name(names.create_iter_at_begin());
        for (; *name; ++*name) global_objects.remove(**name);
        std::filesystem::remove(file);
    }

    void open(const char* workbench)
    {
        click(button(main.get(), workbench));
        ASSERT_TRUE(bench = window_titled(workbench));
    }
    // Presses a button of the workbench, answering its pop-ups with `choices`.
    void press(const char* label, std::initializer_list<int> choices = {})
    {
        user.choices.assign(choices);
        click(button(bench, label));
    }
    // Presses the rows of the character list at these list positions.
    void press_rows(std::initializer_list<int> positions)
    {
        const std::vector<character_row*> rows = dynamic_cast<chartab_window&>(*bench).group()->rows();
        for (int p : positions) click(rows[std::size_t(p - 1)]->button());
    }
    // Types the request's point group (if any), rank and symmetry.
    void type(const char* group, int rank, const char* symmetry)
    {
        bench->findChild<QSpinBox*>("rank")->setValue(rank);
        for (const auto& [input, text] : {std::pair("point group", group), {"perm symmetry", symmetry}}) {
            auto* editor = bench->findChild<QLineEdit*>(input);
            if (text) editor->selectAll(), QTest::keyClicks(editor, text);
        }
    }
    // Leafs through the deck by `directions` ("p", "n"), then "To file" on the page on show,
    // with `answer` to the overwrite question, if one comes.
    void to_file(const std::string& directions, std::initializer_list<int> answer = {})
    {
        QWidget* deck = main_stacker(main.get());
        for (char d : directions) click(button(deck, d == 'p' ? "Previous" : "Next"));
        expect_whole(deck->findChild<QStackedWidget*>()->currentWidget());
        user.texts = {file.string()};
        user.choices.assign(answer);
        click(button(deck, "To file"));
    }
    // Every line under `widget` can be read whole.
    static void expect_whole(QWidget* widget)
    {
        for (QLabel* label : widget->findChildren<QLabel*>())
            EXPECT_TRUE(can_be_seen(label, true)) << label->text().toStdString();
    }
};

TEST_F(Session, TensorRequestsLeafedThroughAndWrittenToAFile)
{
    open("Tensor");
    // cubic, then m-3m; "(0 1)"; "identity".
    press("Point group", {6, 4});
    press("Perm. symmetry", {1});
    press("Basis transformation", {0});
    press("Tensor");
    // Parts of different sizes under one bracket parse, but cannot be swapped.
    type(nullptr, 3, "(0 (1 2))");
    press("Tensor");
    type("4mm", 1, "0");
    press("Pseudo tensor");
    // The hexagonal axes in a Cartesian basis, over cyclotomic numbers.
    type("6mm", 2, "(0 1)");
    press("Basis transformation", {1});
    press("Tensor");

    to_file("pp");
    to_file("n", {1});
    to_file("n", {1});
    const std::string free = "\".\nThe number of free parameters is ";
    EXPECT_EQ(contents(file),
              "The point group used was \"m-3m\".\nIts basis was transformed by \"identity" + free + "1.\n\n"
              "tensor<symbolic_number<fraction>>(\n  dim = 3 rank = 2\n  permutation symmetry: \"(0 1)\"\n"
              "  xx = yy = zz = a\n  xy = xz = yx = yz = zx = zy = 0\n)\n\n"
              "The point group used was \"4mm\".\nIts basis was transformed by \"identity" + free + "0.\n\n"
              "pseudo_tensor<symbolic_number<fraction>>(\n  dim = 3 rank = 1\n"
              "  permutation symmetry: \"0\"\n  x = y = z = 0\n)\n\n"
              "The point group used was \"6mm\".\nIts basis was transformed by \"hexagonal to Cartesian" +
                  free + "2.\n\n"
              "tensor<symbolic_number<cyclotomic>>(\n  dim = 3 rank = 2\n  permutation symmetry: \"(0 1)\"\n"
              "  xx = yy = b\n  xy = xz = yx = yz = zx = zy = 0\n  zz = a\n)\n\n");
    EXPECT_EQ(user.alerts, (std::vector<std::string>{"? point group", "? point group", "? Permutation symmetry",
                                                     "? Basis transformation", "(beep)",
                                                     "run-time exception: [permswap] |swap1| not eq. to |swap2|\n",
                                                     "? Basis transformation", name, name, asked, name, asked}));
}

// Each chooser's "cancel", and a close through its frame, leave the input as chosen before.
TEST_F(Session, CancelledChoosersLeaveTheirInputs)
{
    open("Tensor");
    press("Point group", {6, 4});
    press("Perm. symmetry", {1});
    press("Basis transformation", {0});
    // cubic, its "cancel", then the classes' "cancel"; cubic, then both closed.
    press("Point group", {6, 5, 7});
    press("Point group", {6});
    press("Perm. symmetry", {3});
    press("Perm. symmetry");
    press("Basis transformation", {2});
    press("Basis transformation");
    std::string texts;
    for (const char* input : {"point group", "perm symmetry", "basis transformation"})
        texts += bench->findChild<QLineEdit*>(input)->text().toStdString() + ";";
    EXPECT_EQ(texts, "m-3m;(0 1);identity;");
    const std::string group = "? point group", symmetry = "? Permutation symmetry",
                      transformation = "? Basis transformation";
    EXPECT_EQ(user.alerts, (std::vector<std::string>{group, group, symmetry, transformation, group, group, group,
                                                     group, group, group, symmetry, symmetry, transformation,
                                                     transformation}));
}

TEST_F(Session, CharacterOperationsLeafedThroughAndWrittenToAFile)
{
    open("Character");
    auto* window = dynamic_cast<chartab_window*>(bench);
    ASSERT_TRUE(window);
    const auto choose = [&](std::initializer_list<int> positions) {
        press("Reset character list");
        press_rows(positions);
    };
    // point groups of dimension 3, trigonal, 3m1.
    press("Point group", {0, 4, 4});
    press("Accept character table");
    choose({5});
    press("Decompose");
    choose({2});
    press("Symmetric square");
    // 2 to the 40th does not fit.
    window->n_editor()->setValue(40);
    press("Power");
    choose({6, 1});
    press("Copy");

    // The decomposition first, then overwritten by the copy, which the
    // decomposition follows again.
    to_file("p");
    to_file("n", {0});
    to_file("p", {1});
    EXPECT_EQ(contents(file),
              "1: [ Row 1 of 3m ]\n2: [ Symmetric square(2), n = 2 ]   (3m)\n\n\n"
              "linkedlist<character>(\n1: character(3 1 0)\n2: character(1 -1 1)\n)\n\n\n"
              "[ Decompose(5), n = 2 ]   (3m)linkedlist<cyclotomic>(\n1: 0\n2: 1\n3: 1\n)\n\n\n");
    const std::string table = "? character table";
    const std::string overflow = "run-time exception: [ZEM_fraction] overflow\n";
    EXPECT_EQ(user.alerts, (std::vector<std::string>{table, table, table, overflow, name, name, asked, name, asked}));
}

TEST_F(Session, RowsOfTheCharacterListCanBeSeenAndPressedAsSoonAsTheyAreAdded)
{
    open("Character");
    auto* window = dynamic_cast<chartab_window*>(bench);
    ASSERT_TRUE(window);
    QTest::keyClicks(window->chartab_text_editor(), "3m");
    press("Accept character table");
    press_rows({3, 1});
    press("Add");
    const std::vector<character_row*> rows = window->group()->rows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(lines(rows.back()), QStringList({"6", "character(2 0 2)", "[ Add(3, 1), n = 2 ]   (3m)"}));
    for (character_row* row : rows) expect_whole(row);
    QWidget* list = window->group()->parentWidget()->parentWidget();
    const QString shot = "character_list_" + QApplication::platformName() + ".png";
    EXPECT_TRUE(save_screenshot(list, shot.toUtf8().constData()));
    EXPECT_TRUE(user.alerts.empty());
}

TEST_F(Session, TheMainDecksToWindowOpensThePlainWindowAndTensorNamesItsWorkbench)
{
    open("Tensor");
    EXPECT_EQ(bench->objectName(), TENSOR_WINDOW);
    QWidget* deck = main_stacker(main.get());
    add_to_stacker(deck, ZEM_string("shown"), nullptr);
    click(button(deck, "To window"));
    QWidget* window = window_titled("window");
    ASSERT_TRUE(window);
    EXPECT_FALSE(qobject_cast<QMainWindow*>(window));
    EXPECT_EQ(partner<QWidget>(*button(window, "Close"), ZARN_OBJECT_WINDOW), window);
    EXPECT_EQ(lines(window), QStringList{"shown"});
}

int errors_in_file(const char*) { return 2; }
int good_file(const char*) { return 0; }

TEST(Startup, FailuresGoToTheErrorStreamAndStopStartUp)
{
    // Reading stops on its last byte, which leaves the comment open, not cut.
    const std::string open_comment = testing::TempDir() + "open_comment_" + std::to_string(getpid());
    std::ofstream(open_comment, std::ios::binary) << "/*" << std::string(std::size_t(max_read_messages), '\xff');
    const struct { commandfile_runner run; const char* path; bool character_mapping; bool started;
                   const char* error_text; } cases[] = {
        {errors_in_file, "no/such/config", true, false, "run-time exception: cannot read configuration file\n"},
        {exec_zem_commandfile, "no/such/config", true, false,
         "   0,  0: Scanner: cannot open input file\n"
         "run-time exception: scanner failed: cannot open input file no/such/config\n"},
        {good_file, "no/such/config", false, false,
         "configuration error, \"character_table_name_mapping\" is not defined\n"},
        {good_file, "no/such/config", true, true, ""},
        // A device is read as an empty file.
        {exec_zem_commandfile, "/dev/null", true, true, ""},
        {exec_zem_commandfile, open_comment.c_str(), true, false, "run-time exception: unclosed comment\n"},
    };
    for (const auto& c : cases) {
        test_configuration config;
        alert_recorder alerts;
        if (c.character_mapping) config.set_list("character_table_name_mapping", {});
        testing::internal::CaptureStderr();
        EXPECT_EQ(start_up(c.run, c.path), c.started);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.error_text);
    }
    std::filesystem::remove(open_comment);
}

// Without room for the toolkit to start (it would abort, or wait for ever for
// its own event reader), the program ends at once as a failed start-up does,
// saying that memory has run out.
TEST(StartupDeathTest, WithoutRoomForTheToolkitTheProgramEndsSayingSo)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto short_of_memory = [] {
        limit_growth(8 << 20);
        char name[] = "zarn";
        char* argv[] = {name, nullptr};
        std::exit(zarn_main(1, argv, exec_zem_commandfile) == EXIT_FAILURE ? 0 : 2);
    };
    EXPECT_EXIT(short_of_memory(), testing::ExitedWithCode(0), "run-time exception: out of memory");
}

// Start-up turns the file-size signal away: a statement writing past the limit
// is reported and the run goes on, and neither a file with a second link, nor
// a file replaced, nor a new file is left half-written.
TEST(Startup, WritesPastTheFileSizeLimitFailAndLoseNothing)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("zarn_file_size_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"linked", "replaced"}) std::ofstream(dir / name) << "old\n";
    fs::create_hard_link(dir / "linked", dir / "twin");
    std::vector<std::string> reported;
    {
        std::ofstream config(dir / "config");
        for (const char* name : {"linked", "replaced", "new"}) {
            config << "file(\"" << std::string(5000, 'x') << "\" \"" << (dir / name).string() << "\");\n";
            reported.push_back("\ncannot write " + (dir / name).string());
        }
    }
    EXPECT_TRUE(under_file_size_limit(2048, [&] {
        test_configuration mappings;
        mappings.set_list("character_table_name_mapping", {});
        alert_recorder user;
        const bool started = start_up(exec_zem_commandfile, (dir / "config").c_str());
        struct sigaction now = {};
        ::sigaction(SIGXFSZ, nullptr, &now);
        return started && now.sa_handler == SIG_IGN && user.alerts == reported;
    }));
    for (const char* name : {"linked", "twin", "replaced"}) {
        std::ifstream in(dir / name);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old\n") << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4) << "nothing new left";
    fs::remove_all(dir);
}

TEST(MainWindow, OpensAtItsPlaceAndSize)
{
    std::unique_ptr<QWidget> window(create_main_window("zarn"));
    window->show();
    EXPECT_EQ(window->geometry(), QRect(50, 50, 800, 600));
    EXPECT_TRUE(save_screenshot(window.get(), "main_window.png"));
    window.release()->close();
}

TEST(MainWindow, QuitOrClosingTheWindowEndsTheEventLoop)
{
    // As the program runs: the loop does not end by itself with its last window.
    QApplication::setQuitOnLastWindowClosed(false);
    for (const bool quit : {true, false}) {
        QPointer<QWidget> window = create_main_window("zarn");
        window->show();
        QTimer give_up;
        give_up.setSingleShot(true);
        QObject::connect(&give_up, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        give_up.start(5000);
        QTimer::singleShot(0, window, [&] { quit ? click(button(window, "Quit")) : void(window->close()); });
        EXPECT_EQ(QApplication::exec(), 0) << quit;
        if (window) window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QApplication::setQuitOnLastWindowClosed(true);
}

TEST(MainWindow, ShrinksBackAfterGrowing)
{
    std::unique_ptr<QWidget> window(create_main_window("zarn"));
    add_to_stacker(main_stacker(window.get()), ZEM_string(std::string(300, 'x').c_str()), "a wide page");
    EXPECT_EQ(width_after_growing(window.get()), 800);
    window.release()->close();
}

}
