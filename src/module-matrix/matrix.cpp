#include "module-matrix/matrix.h"

#include <climits>

#include "module-object/error.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

namespace {
}

ZEM_type tp_matrix(const ZEM_type& element) { return ZEM_type("matrix", 1, &element); }

int matrix_element_count(int n_columns, int n_rows)
{
    if (n_columns < 0 || n_rows < 0) ZEM_FAIL("[ZEM_matrix] negative number of columns or rows");
    const long long count = static_cast<long long>(n_columns) * n_rows;
    if (count > INT_MAX) ZEM_FAIL("[ZEM_matrix] too many elements");
    return static_cast<int>(count);
}

void require_matrix_elements(int available, int needed)
{
    if (available < needed) ZEM_FAIL("[ZEM_matrix] element array shorter than the matrix");
}

void empty_matrix_handle() { ZEM_FAIL("[ZEM_matrix] empty matrix handle"); }

void matrix_element_out_of_range() { ZEM_FAIL("[ZEM_matrix::element] index out of range"); }

template class ZEM_matrix<ZEM_int>;
template class ZEM_matrix<ZEM_fraction>;
template class ZEM_matrix<ZEM_real>;
template class ZEM_matrix<ZEM_cyclotomic_number>;
template class fresh_matrix<ZEM_int>;
template class fresh_matrix<ZEM_fraction>;
template class fresh_matrix<ZEM_real>;
template class fresh_matrix<ZEM_cyclotomic_number>;
