#include "front-end-support/sets.h"

#include <algorithm>
#include <bit>
#include <sstream>

namespace {

// Element e is bit 31 - e mod 32 of word e / 32: the most significant bit first.
std::uint32_t bit_of(int element) { return std::uint32_t(1) << (31 - element % 32); }

// The smallest element at or after `from`, or -1.
int next_element(const tSet* set, int from)
{
    for (std::size_t w = static_cast<std::size_t>(from) / 32; w < set->Bitset.size(); ++w) {
        std::uint32_t word = set->Bitset[w];
        if (w == static_cast<std::size_t>(from) / 32) word &= ~std::uint32_t(0) >> (from % 32);
        if (word != 0) return static_cast<int>(w * 32) + std::countl_zero(word);
    }
    return -1;
}

}

void MakeSet(tSet* set, int max_size)
{
    set->MaxElmt = max_size;
    set->Bitset.assign(static_cast<std::size_t>(max_size / 32 + 1), 0);
}

void ReleaseSet(tSet* set)
{
    set->MaxElmt = -1;
    set->Bitset.clear();
    set->Bitset.shrink_to_fit();
}

void AssignEmpty(tSet* set) { std::fill(set->Bitset.begin(), set->Bitset.end(), 0); }

void Include(tSet* set, int element) { set->Bitset[static_cast<std::size_t>(element / 32)] |= bit_of(element); }

bool IsElement(int element, const tSet* set)
{
    return element >= 0 && element <= set->MaxElmt
        && (set->Bitset[static_cast<std::size_t>(element / 32)] & bit_of(element)) != 0;
}

void Union(tSet* set1, const tSet* set2)
{
    std::size_t words = std::min(set1->Bitset.size(), set2->Bitset.size());
    for (std::size_t w = 0; w < words; ++w) set1->Bitset[w] |= set2->Bitset[w];
}

bool IsEmpty(const tSet* set) { return next_element(set, 0) < 0; }

int Extract(tSet* set)
{
    int element = next_element(set, 0);
    if (element < 0) return 0;
    set->Bitset[static_cast<std::size_t>(element / 32)] &= ~bit_of(element);
    return element;
}

void ForallDo(const tSet* set, void (*action)(int element))
{
    for (int e = next_element(set, 0); e >= 0; e = next_element(set, e + 1)) action(e);
}

void WriteSet(std::ostream& out, const tSet* set)
{
    out << '{';
    for (int e = next_element(set, 0); e >= 0; e = next_element(set, e + 1)) out << ' ' << e;
    out << '}';
}

void WriteSet(std::FILE* file, const tSet* set)
{
    std::ostringstream text;
    WriteSet(text, set);
    std::fputs(text.str().c_str(), file);
}
