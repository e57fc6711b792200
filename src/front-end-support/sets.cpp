#include "front-end-support/sets.h"

#include <algorithm>
#include <sstream>

#include "front-end-support/dynarray.h"
#include "module-object/text_stream.h"

namespace {

std::uint32_t bit_of(int element) { return std::uint32_t(1) << (31 - element % 32); }

std::uint32_t& word_of(const tSet* set, int element) { return set->BitsetPtr[element / 32]; }

bool has(const tSet* set, int element) { return (word_of(set, element) & bit_of(element)) != 0; }

unsigned long word_count(const tSet* set) { return static_cast<unsigned long>(set->LastBitset + 1); }

// The elements from FirstElmt to LastElmt, in ascending order, while `go` is true.
template <class Go>
void scan(const tSet* set, Go&& go)
{
    for (int e = set->FirstElmt; e <= set->LastElmt; ++e)
        if (has(set, e) && !go(e)) return;
}

template <class Op>
void combine(tSet* set1, const tSet* set2, Op op)
{
    for (int w = 0; w <= set1->LastBitset; ++w) set1->BitsetPtr[w] = op(set1->BitsetPtr[w], set2->BitsetPtr[w]);
    set1->Card = -1;
}

}

bool MakeSet(tSet* set, int max_size)
{
    unsigned long words = static_cast<unsigned long>(max_size / 32 + 1);
    MakeArray(&set->BitsetPtr, &words, sizeof(std::uint32_t));
    if (!set->BitsetPtr) {
        *set = tSet{};
        return false;
    }
    set->MaxElmt = max_size;
    set->LastBitset = static_cast<int>(words) - 1;
    AssignEmpty(set);
    return true;
}

void ReleaseSet(tSet* set)
{
    unsigned long words = word_count(set);
    ReleaseArray(&set->BitsetPtr, &words, sizeof(std::uint32_t));
    set->MaxElmt = set->LastBitset = -1;
}

void Union(tSet* set1, const tSet* set2)
{
    combine(set1, set2, [](std::uint32_t a, std::uint32_t b) { return a | b; });
    set1->FirstElmt = std::min(set1->FirstElmt, set2->FirstElmt);
    set1->LastElmt = std::max(set1->LastElmt, set2->LastElmt);
}

void Difference(tSet* set1, const tSet* set2)
{
    combine(set1, set2, [](std::uint32_t a, std::uint32_t b) { return a & ~b; });
}

void Intersection(tSet* set1, const tSet* set2)
{
    combine(set1, set2, [](std::uint32_t a, std::uint32_t b) { return a & b; });
    set1->FirstElmt = std::max(set1->FirstElmt, set2->FirstElmt);
    set1->LastElmt = std::min(set1->LastElmt, set2->LastElmt);
}

void SymDiff(tSet* set1, const tSet* set2)
{
    combine(set1, set2, [](std::uint32_t a, std::uint32_t b) { return a ^ b; });
    set1->FirstElmt = std::min(set1->FirstElmt, set2->FirstElmt);
    set1->LastElmt = std::max(set1->LastElmt, set2->LastElmt);
}

void Complement(tSet* set)
{
    for (int w = 0; w <= set->LastBitset; ++w) set->BitsetPtr[w] = ~set->BitsetPtr[w];
    // The bits beyond MaxElmt stay clear.
    set->BitsetPtr[set->LastBitset] &= ~(bit_of(set->MaxElmt) - 1);
    if (set->Card >= 0) set->Card = set->MaxElmt + 1 - set->Card;
    set->FirstElmt = 0;
    set->LastElmt = set->MaxElmt;
}

void Include(tSet* set, int element)
{
    word_of(set, element) |= bit_of(element);
    set->Card = -1;
    set->FirstElmt = std::min(set->FirstElmt, element);
    set->LastElmt = std::max(set->LastElmt, element);
}

void Exclude(tSet* set, int element)
{
    word_of(set, element) &= ~bit_of(element);
    set->Card = -1;
    if (set->FirstElmt == element && element < set->MaxElmt) ++set->FirstElmt;
    if (set->LastElmt == element && element > 0) --set->LastElmt;
}

bool IsElement(int element, const tSet* set) { return element >= 0 && element <= set->MaxElmt && has(set, element); }

int Card(tSet* set)
{
    if (set->Card < 0) {
        set->Card = 0;
        scan(set, [set](int) { return ++set->Card > 0; });
    }
    return set->Card;
}

int Minimum(tSet* set)
{
    for (int e = set->FirstElmt; e <= set->LastElmt; ++e)
        if (has(set, e)) return set->FirstElmt = e;
    return 0;
}

int Maximum(tSet* set)
{
    for (int e = set->LastElmt; e >= set->FirstElmt; --e)
        if (has(set, e)) return set->LastElmt = e;
    return 0;
}

int Extract(tSet* set)
{
    if (IsEmpty(set)) return 0;
    int element = Minimum(set);
    Exclude(set, element);
    return element;
}

bool IsSubset(const tSet* set1, const tSet* set2)
{
    for (int w = 0; w <= set1->LastBitset; ++w)
        if ((set1->BitsetPtr[w] & ~set2->BitsetPtr[w]) != 0) return false;
    return true;
}

bool IsEqual(const tSet* set1, const tSet* set2)
{
    return std::equal(set1->BitsetPtr, set1->BitsetPtr + word_count(set1), set2->BitsetPtr);
}

bool IsEmpty(const tSet* set)
{
    if (set->FirstElmt > set->LastElmt) return true;
    return std::all_of(set->BitsetPtr, set->BitsetPtr + word_count(set), [](std::uint32_t w) { return w == 0; });
}

bool Forall(const tSet* set, bool (*predicate)(int element))
{
    bool all = true;
    scan(set, [&](int e) { return all = predicate(e); });
    return all;
}

bool Exists(const tSet* set, bool (*predicate)(int element))
{
    bool some = false;
    scan(set, [&](int e) { return !(some = predicate(e)); });
    return some;
}

bool Exists1(const tSet* set, bool (*predicate)(int element))
{
    int count = 0;
    scan(set, [&](int e) { return (count += predicate(e)) < 2; });
    return count == 1;
}

void Assign(tSet* set1, const tSet* set2)
{
    std::copy(set2->BitsetPtr, set2->BitsetPtr + word_count(set1), set1->BitsetPtr);
    set1->Card = set2->Card;
    set1->FirstElmt = set2->FirstElmt;
    set1->LastElmt = set2->LastElmt;
}

void AssignElmt(tSet* set, int element)
{
    AssignEmpty(set);
    Include(set, element);
    set->Card = 1;
}

void AssignEmpty(tSet* set)
{
    std::fill(set->BitsetPtr, set->BitsetPtr + word_count(set), 0);
    set->Card = 0;
    set->FirstElmt = set->MaxElmt;
    set->LastElmt = 0;
}

void ForallDo(const tSet* set, void (*action)(int element))
{
    scan(set, [&](int e) {
        action(e);
        return true;
    });
}

void ReadSet(std::FILE* file, tSet* set)
{
    for (int c; (c = std::fgetc(file)) != '{';)
        if (c == EOF) return;
    AssignEmpty(set);
    for (int c, e; (c = std::fgetc(file)) != '}' && c != EOF && std::fscanf(file, "%d", &e) == 1;)
        if (0 <= e && e <= set->MaxElmt) Include(set, e);
}

void WriteSet(std::ostream& out, const tSet* set)
{
    out << '{';
    scan(set, [&](int e) { return bool(out << ' ' << e); });
    out << '}';
}

void WriteSet(std::FILE* file, const tSet* set)
{
    text_stream text;
    WriteSet(text, set);
    std::fputs(text.str().c_str(), file);
}

void InitSets() {}
