#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/idents.h"
#include "front-end-support/positions.h"
#include "front-end-support/sets.h"
#include "front-end-support/source.h"

namespace {

// What `write` puts on a C stream.
template <class Write>
std::string written(Write&& write)
{
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    write(stream);
    std::fclose(stream);
    std::string result(text, size);
    std::free(text);
    return result;
}

}

// Messages print identifiers, sets and positions: equal texts are one
// identifier kept whole, and positions widen rather than wrap.
TEST(Support, IdentifiersSetsAndPositions)
{
    const std::string long_text = std::string(5000, 'x') + "end";
    const int length = static_cast<int>(long_text.size());
    tIdent a = MakeIdent("alpha", 5), l = MakeIdent(long_text.c_str(), length);
    EXPECT_EQ(MakeIdent("alphabet", 5), a);
    EXPECT_NE(MakeIdent("alpha2", 6), a);
    EXPECT_EQ(MakeIdent(long_text.c_str(), length), l);
    std::vector<char> buffer(long_text.size() + 1);
    GetString(l, buffer.data());
    EXPECT_EQ(std::string(buffer.data()), long_text);

    tSet set;
    MakeSet(&set, 40);
    for (int e : {7, 2}) Include(&set, e);
    EXPECT_EQ(written([&](std::FILE* f) { WriteSet(f, &set); }), "{ 2 7}");
    ReleaseSet(&set);

    EXPECT_EQ(written([](std::FILE* f) { WritePosition(f, {12, 5}); }), "  12,  5");
    EXPECT_EQ(written([](std::FILE* f) { WritePosition(f, {70000, 1234}); }), "70000,1234");
    EXPECT_EQ(Compare({70000, 1}, {4464, 1}), 1);
}

// Carriage returns before line feeds are dropped, wherever the reads split the
// file; any other carriage return stays.
TEST(Source, CarriageReturnsBeforeLineFeedsAreDropped)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"a\rb", "a\rb"}, {"a\r", "a\r"}, {"\r\r\n", "\r\n"}, {"\r\n\r\n", "\n\n"}};
    for (const auto& c : cases) {
        for (int block : {1, 2, 3, 64}) {
            char path[] = "/tmp/zarn-source-XXXXXX";
            int fd = mkstemp(path);
            ASSERT_EQ(write(fd, c.first.data(), c.first.size()), static_cast<ssize_t>(c.first.size()));
            close(fd);
            int source = BeginSource(path);
            std::string read;
            std::vector<char> buffer(static_cast<std::size_t>(block));
            for (int n; (n = GetLine(source, buffer.data(), block)) > 0;)
                read.append(buffer.data(), static_cast<std::size_t>(n));
            CloseSource(source);
            unlink(path);
            EXPECT_EQ(read, c.second) << "block " << block;
        }
    }
}
