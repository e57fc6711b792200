#include "front-end-support/positions.h"

int Compare(tPosition p1, tPosition p2)
{
    if (p1.Line != p2.Line) return p1.Line < p2.Line ? -1 : 1;
    if (p1.Column != p2.Column) return p1.Column < p2.Column ? -1 : 1;
    return 0;
}

void WritePosition(std::FILE* file, tPosition position)
{
    std::fprintf(file, "%4u,%3u", position.Line, position.Column);
}
