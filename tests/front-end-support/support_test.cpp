#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/dynarray.h"
#include "front-end-support/general.h"
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

TEST(Idents, EqualTextsShareOneIdentifierAndKeepTheirWholeText)
{
    std::string long_text(5000, 'x');
    long_text += "end";
    tIdent a = MakeIdent("alpha", 5);
    tIdent l = MakeIdent(long_text.c_str(), static_cast<int>(long_text.size()));
    EXPECT_EQ(MakeIdent("alphabet", 5), a);
    EXPECT_NE(MakeIdent("alpha2", 6), a);
    EXPECT_EQ(MakeIdent("", 0), NoIdent);
    EXPECT_EQ(MakeIdent(long_text.c_str(), static_cast<int>(long_text.size())), l);
    std::vector<char> buffer(long_text.size() + 1);
    GetString(l, buffer.data());
    EXPECT_EQ(std::string(buffer.data()), long_text);
    EXPECT_EQ(GetStringRef(a), "alpha");
}

TEST(Sets, PrintedFormAndTakingElementsInOrder)
{
    tSet set;
    MakeSet(&set, 40);
    EXPECT_TRUE(IsEmpty(&set));
    EXPECT_EQ(written([&](std::FILE* f) { WriteSet(f, &set); }), "{}");
    Include(&set, 7);
    Include(&set, 2);
    EXPECT_EQ(written([&](std::FILE* f) { WriteSet(f, &set); }), "{ 2 7}");
    tSet other;
    MakeSet(&other, 40);
    Include(&other, 40);
    Include(&other, 32);
    Union(&set, &other);
    EXPECT_TRUE(IsElement(32, &set));
    EXPECT_FALSE(IsElement(31, &set));
    static std::vector<int> seen;
    seen.clear();
    ForallDo(&set, [](int e) { seen.push_back(e); });
    EXPECT_EQ(seen, (std::vector<int>{2, 7, 32, 40}));
    for (int expected : {2, 7, 32, 40}) EXPECT_EQ(Extract(&set), expected);
    EXPECT_TRUE(IsEmpty(&set));
    ReleaseSet(&set);
    ReleaseSet(&other);
}

TEST(Positions, OrderAndPrintedForm)
{
    struct Case {
        tPosition a, b;
        int order;
    };
    for (const Case& c : std::vector<Case>{{{3, 9}, {4, 1}, -1}, {{4, 1}, {3, 9}, 1}, {{4, 2}, {4, 1}, 1},
                                           {{4, 1}, {4, 1}, 0}, {{70000, 1}, {4464, 1}, 1}})
        EXPECT_EQ(Compare(c.a, c.b), c.order) << c.a.Line << ',' << c.a.Column;
    EXPECT_EQ(written([](std::FILE* f) { WritePosition(f, {12, 5}); }), "  12,  5");
    EXPECT_EQ(written([](std::FILE* f) { WritePosition(f, {70000, 1234}); }), "70000,1234");
}

TEST(General, PowersOfTwo)
{
    for (auto [x, k] : std::vector<std::pair<unsigned long, int>>{{0, 0}, {1, 0}, {2, 1}, {64, 6}, {65, 6}, {~0UL, 63}})
        EXPECT_EQ(Log2(x), k) << x;
    EXPECT_EQ(Exp2(0), 1UL);
    EXPECT_EQ(Exp2(31), 2147483648UL);
}

TEST(DynArray, CountsAreRoundedAndExtensionKeepsTheContents)
{
    struct Case {
        unsigned long size, count, rounded;
    };
    for (const Case& c : std::vector<Case>{{1, 5, 8}, {2, 5, 6}, {3, 5, 5}, {4, 5, 5}, {12, 3, 3}})
        EXPECT_EQ(RoundedCount(c.count, c.size), c.rounded) << c.size;
    for (auto [size, aligned] : std::vector<std::pair<unsigned long, unsigned long>>{{3, 4}, {6, 8}, {12, 16}})
        EXPECT_EQ(AlignedSize(size), aligned);

    char* array = nullptr;
    unsigned long count = 5;
    MakeArray(&array, &count, 1);
    ASSERT_EQ(count, 8UL);
    for (unsigned long i = 0; i < count; ++i) array[i] = static_cast<char>('a' + i);
    ExtendArray(&array, &count, 1);
    EXPECT_EQ(count, 16UL);
    EXPECT_EQ(std::string(array, 8), "abcdefgh");
    ReleaseArray(&array, &count, 1);
    EXPECT_EQ(array, nullptr);
}

// Carriage returns before line feeds are dropped, wherever the reads split the
// file; any other carriage return stays.
TEST(Source, CarriageReturnsBeforeLineFeedsAreDropped)
{
    struct Case {
        std::string file, read;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", "a\nb\n"}, {"a\rb", "a\rb"}, {"a\r", "a\r"}, {"\r\r\n", "\r\n"}, {"\r\n\r\n", "\n\n"}, {"", ""},
    };
    for (const Case& c : cases) {
        for (int block : {1, 2, 3, 64}) {
            char path[] = "/tmp/zarn-source-XXXXXX";
            int fd = mkstemp(path);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(write(fd, c.file.data(), c.file.size()), static_cast<ssize_t>(c.file.size()));
            close(fd);
            int source = BeginSource(path);
            std::string read;
            std::vector<char> buffer(static_cast<std::size_t>(block));
            for (int n; (n = GetLine(source, buffer.data(), block)) > 0;)
                read.append(buffer.data(), static_cast<std::size_t>(n));
            CloseSource(source);
            unlink(path);
            EXPECT_EQ(read, c.read) << "block " << block;
        }
    }
    EXPECT_LT(BeginSource("/nonexistent/zarn/file"), 0);
}
