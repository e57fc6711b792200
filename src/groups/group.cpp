#include "groups/group.h"

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

ZEM_type tp_group(const ZEM_type& matrix_type) { return ZEM_type("group", 1, &matrix_type); }

template class ZEM_group<ZEM_matrix<ZEM_int>>;
template class ZEM_group<ZEM_matrix<ZEM_fraction>>;
template class ZEM_group<ZEM_matrix<ZEM_cyclotomic_number>>;
