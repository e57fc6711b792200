#include "module-object/file_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "support/file_size_limit.h"

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

}

// A file is either the old one or the whole new one; a failed append leaves
// the old length; each failure says which step failed.
TEST(FileOutput, NoFileIsLeftHalfWritten)
{
    const fs::path dir = fs::temp_directory_path() / ("zarn_file_output_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2) << "no new file left beside";

    const std::string missing = dir / "no" / "file";
    EXPECT_EQ(write_whole_file(missing, "x", replace), cannot_create);
    EXPECT_EQ(write_whole_file(dir / "absent", "x", append), cannot_create);
    EXPECT_FALSE(fs::exists(dir / "absent"));
    EXPECT_EQ(write_failure_text(cannot_create, missing), "cannot create " + missing);
    EXPECT_EQ(write_failure_text(cannot_write, "f"), "cannot write f");
    fs::remove_all(dir);
}
