// Bit sets of small non-negative integers 0 .. MaxElmt, one bit per element,
// as the parser keeps its sets of tokens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

struct tSet {
    int MaxElmt = -1;
    std::vector<std::uint32_t> Bitset;
};

// Makes `set` empty, for elements 0 .. max_size.
void MakeSet(tSet* set, int max_size);
void ReleaseSet(tSet* set);
void AssignEmpty(tSet* set);
void Include(tSet* set, int element);
bool IsElement(int element, const tSet* set);
// set1 becomes the union of set1 and set2 (sets of the same size).
void Union(tSet* set1, const tSet* set2);
bool IsEmpty(const tSet* set);
// Removes the smallest element and returns it; 0 for an empty set.
int Extract(tSet* set);
// Calls `action` for each element in ascending order.
void ForallDo(const tSet* set, void (*action)(int element));

// The printed form: "{", " %d" for each element in ascending order, "}".
void WriteSet(std::FILE* file, const tSet* set);
void WriteSet(std::ostream& out, const tSet* set);
