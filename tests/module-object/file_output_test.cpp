#include "module-object/file_output.h"

#include <sys/stat.h>
#include <sys/xattr.h>
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

// An extended attribute's value, or "(none)".
std::string attribute(const fs::path& path, const char* name)
{
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none)" : value.substr(0, std::size_t(size));
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
    EXPECT_TRUE(
        under_file_size_limit(1000, [&] { return write_whole_file(dir / "new", big, replace) == cannot_write; }));
    EXPECT_FALSE(fs::exists(dir / "new"));
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
    make(dir / "write-only", 0200);
    make(dir / "write-only-linked", 0200);
    fs::create_hard_link(dir / "write-only-linked", dir / "write-only-twin");
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
        // Only root may read it to check.
        {true, dir / "write-only", replace, none, dir / "write-only", root ? "new" : "(none)"},
        {true, dir / "write-only-linked", replace, none, dir / "write-only-twin", root ? "new" : "(none)"},
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
    for (const char* name : {"read-only", "write-only", "write-only-linked", "sealed/writable", "linked", "theirs"}) {
        struct stat file;
        ASSERT_EQ(::stat((dir / name).c_str(), &file), 0);
        const std::string n = name;
        EXPECT_EQ(file.st_mode & 07777, n == "read-only" ? 0444u : n.starts_with("write-only") ? 0200u : 0640u) << n;
        EXPECT_EQ(file.st_nlink, n.ends_with("linked") ? 2u : 1u) << name;
        EXPECT_EQ(file.st_uid, root && n != "linked" ? unprivileged_user : ::geteuid()) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop"));
    fs::permissions(sealed, fs::perms::all);
    fs::remove_all(dir);
}

// A file the user may write but not read, which must be written in place (in a
// read-only directory, with a second link, another owner's), has no old bytes
// to put back: a text past the file-size limit is refused before its first byte,
// while one that just fits is written.
TEST(FileOutput, AWriteOnlyFileInPlaceTakesNoTextPastTheLimit)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    const fs::path dir = fresh_directory("zarn_file_in_place_"), sealed = dir / "sealed";
    const std::string old = "old contents\n";
    fs::create_directory(sealed);
    auto make = [&](const fs::path& path, int mode, bool given) {
        std::ofstream(path, std::ios::binary) << old;
        fs::permissions(path, fs::perms(mode));
        EXPECT_TRUE(!given || give_to_unprivileged_user(path.c_str()));
    };
    make(sealed / "write-only", 0200, true);
    EXPECT_TRUE(give_to_unprivileged_user(sealed.c_str()));
    fs::permissions(sealed, fs::perms(0555));
    make(dir / "linked", 0200, true);
    fs::create_hard_link(dir / "linked", dir / "twin");
    make(dir / "theirs", 0602, false);

    for (const fs::path& file : {sealed / "write-only", dir / "linked", dir / "theirs"}) {
        for (const std::size_t length : {std::size_t(2049), std::size_t(2048)}) {
            const std::string text(length, 'n');
            const auto expected = length > 2048 ? file_write_failure::cannot_write : file_write_failure::none;
            EXPECT_TRUE(as_unprivileged_user([&] {
                return under_file_size_limit(2048, [&] {
                    return write_whole_file(file, text, file_write_mode::replace) == expected;
                });
            })) << file << " " << length;
            EXPECT_EQ(contents(file), length > 2048 ? old : text) << file << " " << length;
        }
    }
    fs::permissions(sealed, fs::perms::all);
    fs::remove_all(dir);
}

// A file replaced keeps its extended attributes, its access control list among
// them, so that the user it lets write the file still may; and gains none, not
// even the directory's default access control list.
TEST(FileOutput, ReplacedFileKeepsItsExtendedAttributes)
{
    const fs::path dir = fresh_directory("zarn_file_attributes_"), file = dir / "file", plain = dir / "plain";
    std::ofstream(file, std::ios::binary) << "old";
    std::ofstream(plain, std::ios::binary) << "old";
    fs::permissions(file, fs::perms(0644));
    fs::permissions(plain, fs::perms(0640));
    if (::setxattr(file.c_str(), "user.note", "kept", 4, 0) != 0) GTEST_SKIP() << "no user attributes here";
    // An access control list as the kernel stores it (little-endian): version 2, then the owner, the
    // unprivileged user and the mask rw-, the group and others r--, each as tag, bits and user or group.
    std::string acl = {2, 0, 0, 0};
    const unsigned entries[][3] = {{0x01, 6, ~0u}, {0x02, 6, unprivileged_user}, {0x04, 4, ~0u}, {0x10, 6, ~0u},
                                   {0x20, 4, ~0u}};
    for (const auto& [tag, bits, id] : entries)
        for (const unsigned word : {tag | bits << 16, id})
            for (int k = 0; k < 4; ++k) acl.push_back(char(word >> 8 * k));
    const bool with_acl = ::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0 &&
                          ::setxattr(dir.c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) == 0;
    const fs::perms mode = fs::status(file).permissions();
    using enum file_write_failure;

    EXPECT_EQ(write_whole_file(file, "new", file_write_mode::replace), none);
    EXPECT_EQ(contents(file), "new");
    EXPECT_EQ(attribute(file, "user.note"), "kept");
    EXPECT_EQ(fs::status(file).permissions(), mode);
    if (with_acl) {
        EXPECT_EQ(attribute(file, "system.posix_acl_access"), acl);
        EXPECT_TRUE(
            as_unprivileged_user([&] { return write_whole_file(file, "theirs", file_write_mode::replace) == none; }));
        EXPECT_EQ(contents(file), "theirs");
        EXPECT_EQ(write_whole_file(plain, "new", file_write_mode::replace), none);
        EXPECT_EQ(contents(plain), "new");
        EXPECT_LT(::getxattr(plain.c_str(), "system.posix_acl_access", nullptr, 0), 0);
        EXPECT_EQ(fs::status(plain).permissions(), fs::perms(0640));
    }
    fs::remove_all(dir);
}
