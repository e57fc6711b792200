// Bit sets of small non-negative integers 0 .. MaxElmt, one bit per element,
// element e being bit 31 - e mod 32 of word e / 32 (the most significant bit
// first). Card caches the element count (-1 when it has to be counted again);
// no element lies below FirstElmt or above LastElmt, so scans start there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>

struct tSet {
    int MaxElmt = -1;
    int LastBitset = -1;  // index of the last word
    std::uint32_t* BitsetPtr = nullptr;
    int Card = 0;
    int FirstElmt = 0;
    int LastElmt = 0;
};

// Makes `set` empty, for elements 0 .. max_size; whether there was room. A set
// without room has no words and may take no element.
bool MakeSet(tSet* set, int max_size);
void ReleaseSet(tSet* set);
// set1 becomes set1 op set2, word by word (sets of the same size).
void Union(tSet* set1, const tSet* set2);
void Difference(tSet* set1, const tSet* set2);
void Intersection(tSet* set1, const tSet* set2);
void SymDiff(tSet* set1, const tSet* set2);
// Every element 0 .. MaxElmt flipped.
void Complement(tSet* set);
void Include(tSet* set, int element);
void Exclude(tSet* set, int element);
bool IsElement(int element, const tSet* set);
// The count, the smallest and the largest element (0 for an empty set).
int Card(tSet* set);
int Minimum(tSet* set);
int Maximum(tSet* set);
// Removes the smallest element and returns it; 0 for an empty set.
int Extract(tSet* set);
bool IsSubset(const tSet* set1, const tSet* set2);
bool IsEqual(const tSet* set1, const tSet* set2);
bool IsEmpty(const tSet* set);
// Whether the predicate holds for every, for some, for exactly one element.
bool Forall(const tSet* set, bool (*predicate)(int element));
bool Exists(const tSet* set, bool (*predicate)(int element));
bool Exists1(const tSet* set, bool (*predicate)(int element));
// set1 becomes a copy of set2; the set becomes {element}; the set becomes empty.
void Assign(tSet* set1, const tSet* set2);
void AssignElmt(tSet* set, int element);
void AssignEmpty(tSet* set);
// Calls `action` for each element in ascending order.
void ForallDo(const tSet* set, void (*action)(int element));
// Reads the printed form: skips to "{", then " %d" per element up to "}".
// Elements outside the set's range, and anything after a malformed number or
// the end of the input, are left out.
void ReadSet(std::FILE* file, tSet* set);
// The printed form: "{", " %d" for each element in ascending order, "}".
void WriteSet(std::FILE* file, const tSet* set);
void WriteSet(std::ostream& out, const tSet* set);
void InitSets();
