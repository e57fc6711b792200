#include "front-end-support/idents.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "front-end-support/dynarray.h"

namespace {

struct tIdentTableEntry {
    tStringRef String;
    int Length;
    tIdent Collision;  // the next identifier in the same bucket, 0 ends the chain
};

constexpr unsigned long IdentTableSize = 1024;
constexpr int HashSize = 256;

// The empty text, stored as a string of length 0.
alignas(4) const char Null[4] = {};

tIdentTableEntry Table[IdentTableSize] = {{}, {Null, 0, 0}};
tIdentTableEntry* TablePtr = Table;
unsigned long TableSize = IdentTableSize;
tIdent IdentCount = 1;
tIdent HashTable[HashSize] = {1};

int bucket_of(const char* text, int length)
{
    if (length == 0) return 0;
    auto first = static_cast<signed char>(text[0]), last = static_cast<signed char>(text[length - 1]);
    return (first + 11 * last + 26 * length) & (HashSize - 1);
}

// Doubles the table, whether it could; the first table is static and stays
// where it is.
bool extend_table()
{
    if (TablePtr != Table) return ExtendArray(&TablePtr, &TableSize, sizeof(tIdentTableEntry));
    unsigned long size = 2 * TableSize;
    tIdentTableEntry* grown = nullptr;
    MakeArray(&grown, &size, sizeof(tIdentTableEntry));
    if (!grown) return false;
    std::copy(Table, Table + TableSize, grown);
    TablePtr = grown;
    TableSize = size;
    return true;
}

}

tIdent MakeIdent(const char* text, int length)
{
    length = std::max(length, 0);
    int bucket = bucket_of(text, length);
    for (tIdent i = HashTable[bucket]; i != 0; i = TablePtr[i].Collision)
        if (TablePtr[i].Length == length && IsEqualSt(TablePtr[i].String, text)) return i;
    if (IdentCount == std::numeric_limits<tIdent>::max()) return 0;
    if (static_cast<unsigned long>(IdentCount) + 1 == TableSize && !extend_table()) return 0;
    tStringRef stored = PutString(text, length);
    if (!stored) return 0;
    TablePtr[++IdentCount] = {stored, length, HashTable[bucket]};
    HashTable[bucket] = IdentCount;
    return IdentCount;
}

void GetString(tIdent ident, char* buffer) { StGetString(GetStringRef(ident), buffer); }

tStringRef GetStringRef(tIdent ident) { return TablePtr[ident].String; }

tIdent MaxIdent() { return IdentCount; }

void WriteIdent(std::FILE* file, tIdent ident) { WriteString(file, GetStringRef(ident)); }

void WriteIdents()
{
    for (tIdent i = 1; i <= IdentCount; ++i) {
        std::printf("%5d ", i);
        WriteIdent(stdout, i);
        std::printf("\n");
    }
}

void WriteHashTable()
{
    for (int bucket = 0; bucket < HashSize; ++bucket) {
        int length = 0;
        for (tIdent i = HashTable[bucket]; i != 0; i = TablePtr[i].Collision) ++length;
        std::printf("%5d%5d", bucket, length);
        for (tIdent i = HashTable[bucket]; i != 0; i = TablePtr[i].Collision) {
            std::printf(" ");
            WriteIdent(stdout, i);
        }
        std::printf("\n");
    }
    std::printf("\nIdents = %5d\n", IdentCount);
}

void InitIdents()
{
    std::fill(std::begin(HashTable), std::end(HashTable), 0);
    IdentCount = 0;
    MakeIdent(Null, 0);
}
