// A place in a command file: line, then column, both counted from 1. Both are
// 32 bits wide so that long files and long lines keep their true numbers.
#pragma once

#include <cstdio>

struct tPosition {
    unsigned Line;
    unsigned Column;
};

constexpr tPosition NoPosition = {0, 0};

// -1 when p1 comes before p2, 0 when they are the same place, 1 when it comes after.
int Compare(tPosition p1, tPosition p2);
// Writes "%4d,%3d": the line, a comma and the column.
void WritePosition(std::FILE* file, tPosition position);
