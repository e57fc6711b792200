// Growing arrays of plain records: the caller keeps the pointer and the element
// count, the library makes, doubles and frees the block in the front end's pool
// (Alloc, Free). Out of memory is a line on the standard error stream and a
// result that the caller tests: a null array from MakeArray, false from
// ExtendArray, whose array stays as it was.
#pragma once

#include <cstring>
#include <type_traits>

// An element size of 8 or more raised to a multiple of 8, a smaller one to the
// next power of two.
unsigned long AlignedSize(unsigned long size);
// The count raised so that the block is a multiple of 4 bytes: a multiple of 4
// for elements of one byte, an even count for elements of two.
unsigned long RoundedCount(unsigned long count, unsigned long size);
// A block of count * size bytes; on shortage null, after "<who>: out of memory"
// on the standard error stream.
void* yyArrayBlock(unsigned long count, unsigned long size, const char* who);
void yyReleaseBlock(void* block, unsigned long count, unsigned long size);

template <class T>
void MakeArray(T** array, unsigned long* count, unsigned long size)
{
    static_assert(std::is_trivially_copyable_v<T>);
    *count = RoundedCount(*count, size);
    // Null when there is no room.
    *array = static_cast<T*>(yyArrayBlock(*count, AlignedSize(size), "MakeArray"));
}

// Doubles the array, keeping its contents at the start; whether it could. An
// array that cannot grow keeps its block, its contents and its count.
template <class T>
[[nodiscard]] bool ExtendArray(T** array, unsigned long* count, unsigned long size)
{
    static_assert(std::is_trivially_copyable_v<T>);
    void* block = yyArrayBlock(2 * *count, AlignedSize(size), "ExtendArray");
    if (!block) return false;
    std::memcpy(block, static_cast<void*>(*array), *count * AlignedSize(size));
    yyReleaseBlock(static_cast<void*>(*array), *count, AlignedSize(size));
    *array = static_cast<T*>(block);
    *count *= 2;
    return true;
}

template <class T>
void ReleaseArray(T** array, unsigned long* count, unsigned long size)
{
    yyReleaseBlock(static_cast<void*>(*array), *count, AlignedSize(size));
    *array = nullptr;
}
