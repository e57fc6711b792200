#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/dynarray.h"
#include "front-end-support/general.h"
#include "front-end-support/idents.h"
#include "front-end-support/memory.h"
#include "front-end-support/positions.h"
#include "front-end-support/sets.h"
#include "front-end-support/source.h"
#include "front-end-support/stringmem.h"
#include "front-end-support/system.h"
#include "support/child_process.h"
#include "support/failing_allocation.h"

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

// The library keeps its state in globals; what resets it runs in a child
// process, which ends with status 0 when every check held.
#define EXPECT_IN_CHILD(checks) EXPECT_EXIT(_exit((checks) ? 0 : 1), testing::ExitedWithCode(0), "")

TEST(Support, PowersAlignmentAndMemory)
{
    const std::pair<unsigned long, int> logs[] = {{0, 0}, {1, 0}, {64, 6}, {65, 6}, {~0UL, 63}};
    for (auto [x, log] : logs) EXPECT_EQ(Log2(x), log) << x;
    EXPECT_EQ(Exp2(0), 1UL);
    EXPECT_EQ(Exp2(31), 1UL << 31);
    EXPECT_EQ(yyAlignMasks[1], ~0UL);
    EXPECT_EQ(yyAlignMasks[4], ~3UL);
    EXPECT_EQ(yyAlignMasks[8], ~7UL);
    const std::pair<unsigned long, unsigned long> sizes[] = {{1, 1}, {3, 4}, {6, 8}, {8, 8}, {12, 16}};
    for (auto [size, aligned] : sizes) EXPECT_EQ(AlignedSize(size), aligned) << size;

    // Equal rounded sizes share a free list; every block keeps 8-byte alignment.
    // Free blocks that the tests before left would serve some of these requests.
    EXPECT_IN_FRESH_PROCESS([] {
        char* bytes = nullptr;
        unsigned long count = 5;
        MakeArray(&bytes, &count, 1);
        EXPECT_EQ(count, 8UL);
        ReleaseArray(&bytes, &count, 1);
        void* small = Alloc(1);
        Free(1, small);
        EXPECT_EQ(Alloc(0), small);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Alloc(0)) % 8, 0U);
        void* large = Alloc(100);
        Free(100, large);
        EXPECT_EQ(Alloc(100), large);
        // The tail of a larger free block beyond the request serves the next one.
        void* split = Alloc(200);
        Free(200, split);
        EXPECT_EQ(Alloc(130), split);
        EXPECT_EQ(Alloc(64), static_cast<char*>(split) + 136);
        unsigned long used = MemoryUsed;
        void* huge = Alloc(20000);
        EXPECT_EQ(MemoryUsed, used + 20000);
        Free(20000, huge);
        return !testing::Test::HasFailure();  // the expectations above, as checked there
    });
    EXPECT_IN_CHILD((InitMemory(), MemoryUsed == 0 && Alloc(10240) && MemoryUsed == 10240));
}

// Equal texts are one identifier kept whole; the table doubles without losing
// a text; the store lists every string.
TEST(Support, IdentifiersAndStrings)
{
    const std::string long_text = std::string(5000, 'x') + "end";
    const int length = static_cast<int>(long_text.size());
    tIdent a = MakeIdent("alpha", 5), l = MakeIdent(long_text.c_str(), length);
    EXPECT_EQ(MakeIdent("", 0), NoIdent);
    EXPECT_EQ(MakeIdent("alphabet", 5), a);
    EXPECT_NE(MakeIdent("alpha2", 6), a);
    EXPECT_EQ(MakeIdent(long_text.c_str(), length), l);
    tIdent newest = MakeIdent("a new text", 10);
    EXPECT_EQ(MaxIdent(), newest);
    std::vector<char> buffer(long_text.size() + 1);
    GetString(l, buffer.data());
    EXPECT_EQ(std::string(buffer.data()), long_text);
    EXPECT_EQ(written([&](std::FILE* f) { WriteIdent(f, a); }), "alpha");

    tStringRef s = PutString("abc", 3);
    EXPECT_EQ(LengthSt(s), 3);
    EXPECT_TRUE(IsEqualSt(s, "abcd"));
    EXPECT_FALSE(IsEqualSt(s, "abd"));
    EXPECT_EQ(written([&](std::FILE* f) { WriteString(f, s); }), "abc");
    testing::internal::CaptureStdout();
    WriteStringMemory();
    WriteIdents();
    WriteHashTable();
    const std::string listing = testing::internal::GetCapturedStdout();
    char numbered[16];
    std::snprintf(numbered, sizeof numbered, "%5d alpha\n", a);
    const char* const parts[] = {numbered, " abc\n", "\n    0    1 \n", " Bytes\n", "\nIdents = "};
    for (const char* part : parts)
        EXPECT_NE(listing.find(part), std::string::npos) << part;

    auto doubled = [] {
        InitIdents();
        InitStringMemory();
        bool kept = MakeIdent("", 0) == NoIdent && MaxIdent() == 1;
        for (int i = 2; i <= 1100; ++i) {
            std::string text = std::to_string(i);
            kept &= MakeIdent(text.c_str(), static_cast<int>(text.size())) == i;
        }
        char text[8];
        GetString(1023, text);
        kept &= std::string(text) == "1023";
        GetString(1100, text);
        return kept && std::string(text) == "1100" && MakeIdent("1024", 4) == 1024;
    };
    EXPECT_IN_CHILD(doubled());
}

// Without room from the system, the string store, the identifier table and the
// growing arrays stay as they were (texts, counts, contents) and say so by their
// results; with room again they go on. Identifiers go on past 32767.
TEST(Support, ShortOfMemoryEverythingStaysAsItWas)
{
    auto short_of_memory = [] {
        InitMemory();
        InitStringMemory();
        const tIdent count = MaxIdent();
        refuse_system_allocations(true);
        bool kept = PutString("abc", 3) == nullptr && MakeIdent("no room", 7) == 0 && MaxIdent() == count;
        refuse_system_allocations(false);
        // A size that would wrap round when aligned is no small block.
        kept &= Alloc(~0UL) == nullptr;
        InitIdents();
        kept &= MakeIdent("abc", 3) == 2;
        const std::string longer(30000, 'y');
        refuse_system_allocations(true);
        kept &= PutString(longer.c_str(), 30000) == nullptr && MakeIdent("abc", 3) == 2;
        refuse_system_allocations(false);
        // The first growth of the table makes an array, the next ones extend it.
        testing::internal::CaptureStderr();
        for (tIdent i = 3; i <= 40000; ++i) {
            const std::string text = std::to_string(i);
            const bool full = i == 1024 || i == 2048;
            if (full) refuse_system_allocations(true);
            kept &= MakeIdent(text.c_str(), static_cast<int>(text.size())) == (full ? 0 : i);
            kept &= MaxIdent() == (full ? i - 1 : i);
            refuse_system_allocations(false);
            if (full) kept &= MakeIdent(text.c_str(), static_cast<int>(text.size())) == i;
        }
        kept &= testing::internal::GetCapturedStderr() == "MakeArray: out of memory\nExtendArray: out of memory\n";
        char text[8];
        for (tIdent i : {2, 1023, 2047, 32767, 32768, 40000}) {
            GetString(i, text);
            kept &= text == (i == 2 ? std::string("abc") : std::to_string(i));
        }
        return kept && MakeIdent("32768", 5) == 32768;
    };
    EXPECT_IN_FRESH_PROCESS(short_of_memory);
}

namespace {

bool below_10(int e) { return e < 10; }
bool is_3(int e) { return e == 3; }

}

TEST(Support, SetsAndPositions)
{
    tSet set, other;
    MakeSet(&set, 40);
    MakeSet(&other, 40);
    EXPECT_EQ(set.LastBitset, 1);
    EXPECT_TRUE(IsEmpty(&set));
    Include(&set, 3);
    Include(&set, 35);
    EXPECT_EQ(Minimum(&set), 3);
    EXPECT_EQ(Maximum(&set), 35);
    EXPECT_EQ(Card(&set), 2);
    AssignElmt(&other, 40);
    EXPECT_TRUE(IsElement(40, &other));
    EXPECT_FALSE(IsElement(41, &other));
    EXPECT_EQ(Maximum(&other), 40);
    Union(&other, &set);
    EXPECT_EQ(written([&](std::FILE* f) { WriteSet(f, &other); }), "{ 3 35 40}");
    EXPECT_TRUE(IsSubset(&set, &other));
    EXPECT_FALSE(IsSubset(&other, &set));
    Difference(&other, &set);
    EXPECT_EQ(Card(&other), 1);
    SymDiff(&other, &set);
    Intersection(&other, &set);
    EXPECT_TRUE(IsEqual(&other, &set));
    EXPECT_TRUE(Exists(&set, is_3) && Exists1(&set, is_3) && !Forall(&set, below_10));
    Exclude(&other, 35);
    EXPECT_TRUE(Forall(&other, below_10));
    Complement(&set);
    EXPECT_EQ(Card(&set), 39);
    EXPECT_FALSE(IsElement(35, &set));
    EXPECT_EQ(Extract(&set), 0);
    EXPECT_EQ(Minimum(&set), 1);
    Assign(&other, &set);
    EXPECT_TRUE(IsEqual(&other, &set));
    AssignEmpty(&other);
    EXPECT_EQ(Extract(&other), 0);
    // Reading takes what writing gives; numbers out of range are left out.
    char text[] = "set { 2 7 99 2}";
    std::FILE* in = fmemopen(text, sizeof text - 1, "r");
    ReadSet(in, &other);
    std::fclose(in);
    EXPECT_EQ(written([&](std::FILE* f) { WriteSet(f, &other); }), "{ 2 7}");
    EXPECT_EQ(Card(&other), 2);
    InitSets();
    ReleaseSet(&set);
    ReleaseSet(&other);

    EXPECT_EQ(written([](std::FILE* f) { WritePosition(f, {12, 5}); }), "  12,  5");
    EXPECT_EQ(written([](std::FILE* f) { WritePosition(f, {70000, 1234}); }), "70000,1234");
    EXPECT_EQ(Compare({3, 9}, {4, 1}), -1);
    EXPECT_EQ(Compare({70000, 1}, {4464, 1}), 1);
}

TEST(Support, SystemWrappers)
{
    const std::string path = testing::TempDir() + "zarn_system_" + std::to_string(getpid());
    int out = OpenOutput(path.c_str());
    EXPECT_EQ(Write(out, "abc", 3), 3);
    EXPECT_FALSE(IsCharacterSpecial(out));
    Close(out);
    int in = OpenInput(path.c_str());
    char buffer[8];
    EXPECT_EQ(Read(in, buffer, 8), 3);
    EXPECT_EQ(Read(in, buffer, 8), 0);
    Close(in);
    unlink(path.c_str());
    EXPECT_LT(OpenInput(path.c_str()), 0);
    EXPECT_EQ(ErrNum(), ENOENT);
    int device = OpenInput("/dev/null");
    EXPECT_TRUE(IsCharacterSpecial(device));
    Close(device);

    EXPECT_EQ(GetArgCount(), 0);
    char program[] = "zarn", option[] = "-x";
    char* argv[] = {program, option};
    PutArgs(2, argv);
    GetArgument(1, buffer);
    EXPECT_EQ(std::string(buffer), "-x");
    GetArgument(2, buffer);
    EXPECT_EQ(std::string(buffer), "");
    PutArgs(0, nullptr);
    std::free(SysAlloc(16));
    EXPECT_GE(Time(), 0);
    EXPECT_EQ(System("exit 3") >> 8, 3);
    EXPECT_EXIT(Exit(5), testing::ExitedWithCode(5), "");
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
