// Growing arrays of plain records: the caller keeps the pointer and the element
// count, the library makes, doubles and frees the block in the front end's pool
// (Alloc, Free). Out of memory ends the program with a message, so a caller
// never sees a null array.
#pragma once

#include <cstring>
#include <type_traits>

// An element size of 8 or more raised to a multiple of 8, a smaller one to the
// next power of two.
unsigned long AlignedSize(unsigned long size);
// The count raised so that the block is a multiple of 4 bytes: a multiple of 4
// for elements of one byte, an even count for elements of two.
unsigned long RoundedCount(unsigned long count, unsigned long size);
// A block of count * size bytes; on shortage writes "<who>: out of memory" to
// the standard error stream and ends the program.
void* yyArrayBlock(unsigned long count, unsigned long size, const char* who);
void yyReleaseBlock(void* block, unsigned long count, unsigned long size);

template <class T>
void MakeArray(T** array, unsigned long* count, unsigned long size)
{
    static_assert(std::is_trivially_copyable_v<T>);
    *count = RoundedCount(*count, size);
    *array = static_cast<T*>(yyArrayBlock(*count, AlignedSize(size), "MakeArray"));
}

// Doubles the array, keeping its contents at the start.
template <class T>
void ExtendArray(T** array, unsigned long* count, unsigned long size)
{
    static_assert(std::is_trivially_copyable_v<T>);
    void* block = yyArrayBlock(2 * *count, AlignedSize(size), "ExtendArray");
    std::memcpy(block, static_cast<void*>(*array), *count * AlignedSize(size));
    yyReleaseBlock(static_cast<void*>(*array), *count, AlignedSize(size));
    *array = static_cast<T*>(block);
    *count *= 2;
}

template <class T>
void ReleaseArray(T** array, unsigned long* count, unsigned long size)
{
    yyReleaseBlock(static_cast<void*>(*array), *count, AlignedSize(size));
    *array = nullptr;
}
