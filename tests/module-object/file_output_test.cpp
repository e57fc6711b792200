#include "module-object/file_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "support/child_process.h"
#include "support/file_size_limit.h"

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

fs::path fresh_directory(const std::string& name)
{
    const fs::path dir = fs::temp_directory_path() / (name + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

}

// A file is either the old one or the whole new one; a failed append leaves
// the old length; each failure says which step failed.
TEST(FileOutput, NoFileIsLeftHalfWritten)
{
    const fs::path dir = fresh_directory("zarn_file_output_");
    const std::string old = "old contents\n", big(100000, 'x'), file = dir / "file", link = dir / "link";
    auto reset = [&] { std::ofstream(file, std::ios::binary) << old; };
    using enum file_write_failure;
    using enum file_write_mode;

    reset();
    fs::permissions(file, fs::perms(0640));
    fs::create_symlink(file, link);
    EXPECT_EQ(write_whole_file(link, "new", replace), none);
    EXPECT_EQ(contents(file), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(write_whole_file(file, "+", append), none);
    EXPECT_EQ(contents(file), "new+");

    for (const file_write_mode mode : {replace, append}) {
        reset();
        EXPECT_TRUE(under_file_size_limit(1000, [&] { return write_whole_file(file, big, mode) == cannot_write; }));
        EXPECT_EQ(contents(file), old);
    }
    // A file with a second link is written in place; its old bytes go back.
    fs::create_hard_link(file, dir / "twin");
    reset();
    EXPECT_TRUE(under_file_size_limit(1000, [&] { return write_whole_file(file, big, replace) == cannot_write; }));
    EXPECT_EQ(contents(dir / "twin"), old);
    fs::remove(dir / "twin");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2) << "no new file left beside";

    const std::string missing = dir / "no" / "file";
    EXPECT_EQ(write_whole_file(missing, "x", replace), cannot_create);
    EXPECT_EQ(write_whole_file(dir / "absent", "x", append), cannot_create);
    EXPECT_FALSE(fs::exists(dir / "absent"));
    EXPECT_EQ(write_failure_text(cannot_create, missing), "cannot create " + missing);
    EXPECT_EQ(write_failure_text(cannot_write, "f"), "cannot write f");
    fs::remove_all(dir);
}

// Whether a file may be written is asked of the file itself, before anything
// is written: a read-only file is refused, while a writable file in a
// read-only directory is written. A second link, another owner and the mode
// stay; symbolic links lead to the file they name, and a loop is refused.
TEST(FileOutput, WritesWhatTheUserMayWriteAndKeepsLinksOwnersAndModes)
{
    const fs::path dir = fresh_directory("zarn_file_rights_"), sealed = dir / "sealed";
    const std::string old = "old contents\n";
    const bool root = ::geteuid() == 0;
    auto make = [&](const fs::path& path, int mode, bool given = true) {
        std::ofstream(path, std::ios::binary) << old;
        fs::permissions(path, fs::perms(mode));
        EXPECT_TRUE(!given || give_to_unprivileged_user(path.c_str()));
    };
    fs::permissions(dir, fs::perms::all);
    fs::create_directory(sealed);
    make(dir / "read-only", 0444);
    make(sealed / "writable", 0640);
    EXPECT_TRUE(give_to_unprivileged_user(sealed.c_str()));
    fs::permissions(sealed, fs::perms(0555));
    make(dir / "linked", 0640, false);
    fs::create_hard_link(dir / "linked", dir / "second");
    make(dir / "theirs", 0640);
    fs::create_symlink("made.txt", dir / "dangling");
    fs::create_symlink("loop", dir / "loop");
    using enum file_write_failure;
    using enum file_write_mode;

    const struct { bool unprivileged; fs::path file; file_write_mode mode; file_write_failure failure; fs::path shown;
                   std::string written; } cases[] = {
        {true, dir / "read-only", replace, cannot_create, dir / "read-only", old},
        {true, dir / "read-only", append, cannot_create, dir / "read-only", old},
        {true, sealed / "writable", replace, none, sealed / "writable", "new"},
        {false, dir / "linked", replace, none, dir / "second", "new"},
        {false, dir / "theirs", replace, none, dir / "theirs", "new"},
        {false, dir / "dangling", replace, none, dir / "made.txt", "new"},
        {false, dir / "loop", replace, cannot_create, dir / "loop", "(none)"},
    };
    for (const auto& c : cases) {
        auto write = [&] { return write_whole_file(c.file, "new", c.mode) == c.failure; };
        EXPECT_TRUE(c.unprivileged ? as_unprivileged_user(write) : write()) << c.file;
        EXPECT_EQ(contents(c.shown), c.written) << c.file;
    }
    for (const char* name : {"read-only", "sealed/writable", "linked", "theirs"}) {
        struct stat file;
        ASSERT_EQ(::stat((dir / name).c_str(), &file), 0);
        EXPECT_EQ(file.st_mode & 07777, std::string(name) == "read-only" ? 0444u : 0640u) << name;
        EXPECT_EQ(file.st_nlink, std::string(name) == "linked" ? 2u : 1u) << name;
        EXPECT_EQ(file.st_uid, root && std::string(name) != "linked" ? unprivileged_user : ::geteuid()) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop"));
    fs::permissions(sealed, fs::perms::all);
    fs::remove_all(dir);
}
