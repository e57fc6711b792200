#include "front-end-support/stringmem.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "front-end-support/memory.h"

namespace {

using length_field = std::int32_t;
constexpr unsigned long BlockSize = 20480;

// Each block begins with the previous block and the end of its stored strings
// (filled in when the block is left for a new one).
struct block_header {
    block_header* previous;
    char* end;
};

block_header* BlockList = nullptr;
char* MemoryFreePtr = nullptr;
unsigned long MemorySpaceLeft = 0;
long MemorySize = 0;

// The length field and the text, raised to an even size.
unsigned long needed(int length) { return (static_cast<unsigned long>(length) + sizeof(length_field) + 1) & ~1UL; }

// Links a block for at least `need` bytes in front; false, with the store as it
// was, when there is no room for one.
bool new_block(unsigned long need)
{
    unsigned long room = std::max(need, BlockSize);
    auto* block = static_cast<block_header*>(Alloc(room + sizeof(block_header)));
    if (!block) return false;
    if (BlockList) {
        std::uintptr_t free_address = (reinterpret_cast<std::uintptr_t>(MemoryFreePtr) + 7) & ~std::uintptr_t(7);
        auto free_start = reinterpret_cast<char*>(free_address);
        if (free_start + 8 <= MemoryFreePtr + MemorySpaceLeft)
            Free(static_cast<unsigned long>(MemoryFreePtr + MemorySpaceLeft - free_start) & ~7UL, free_start);
        BlockList->end = MemoryFreePtr;
    }
    block->previous = BlockList;
    block->end = nullptr;
    BlockList = block;
    MemoryFreePtr = reinterpret_cast<char*>(block + 1);
    MemorySpaceLeft = room;
    return true;
}

}

tStringRef PutString(const char* text, int length)
{
    unsigned long need = needed(length);
    if (need > MemorySpaceLeft && !new_block(need)) return nullptr;
    char* string = MemoryFreePtr;
    length_field stored = length;
    std::memcpy(string, &stored, sizeof stored);
    std::memcpy(string + sizeof stored, text, static_cast<std::size_t>(length));
    MemoryFreePtr += need;
    MemorySpaceLeft -= need;
    MemorySize += static_cast<long>(need);
    return string;
}

int LengthSt(tStringRef string)
{
    length_field length;
    std::memcpy(&length, string, sizeof length);
    return length;
}

std::string_view StText(tStringRef string)
{
    return {string + sizeof(length_field), static_cast<std::size_t>(LengthSt(string))};
}

void StGetString(tStringRef string, char* buffer)
{
    std::string_view text = StText(string);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
}

bool IsEqualSt(tStringRef string, const char* text)
{
    std::string_view stored = StText(string);
    return std::memcmp(stored.data(), text, stored.size()) == 0;
}

void WriteString(std::FILE* file, tStringRef string)
{
    std::string_view text = StText(string);
    std::fwrite(text.data(), 1, text.size(), file);
}

void WriteStringMemory()
{
    for (block_header* block = BlockList; block; block = block->previous) {
        const char* end = block == BlockList ? MemoryFreePtr : block->end;
        for (const char* string = reinterpret_cast<char*>(block + 1); string < end;
             string += needed(LengthSt(string))) {
            std::printf("%8lx ", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(string)));
            WriteString(stdout, string);
            std::printf("\n");
        }
    }
    std::printf("\n%5ld Bytes\n", MemorySize);
}

void InitStringMemory()
{
    BlockList = nullptr;
    MemoryFreePtr = nullptr;
    MemorySpaceLeft = 0;
    MemorySize = 0;
}
