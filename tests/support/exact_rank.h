// The rank of rows of exact numbers of a field, by plain elimination.
#pragma once

#include <utility>
#include <vector>

template <class T>
int rank_of(std::vector<std::vector<T>> rows)
{
    int rank = 0;
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    for (std::size_t c = 0; c < width; ++c) {
        const std::size_t r = std::size_t(rank);
        std::size_t pivot = r;
        while (pivot < rows.size() && rows[pivot][c] == T()) ++pivot;
        if (pivot == rows.size()) continue;
        std::swap(rows[pivot], rows[r]);
        for (std::size_t i = r + 1; i < rows.size(); ++i) {
            const T q = rows[i][c] / rows[r][c];
            for (std::size_t k = c; k < width; ++k) rows[i][k] = rows[i][k] - q * rows[r][k];
        }
        ++rank;
    }
    return rank;
}
