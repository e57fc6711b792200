#include "module-vector/vector.h"

#include "module-object/error.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

ZEM_type tp_vector(const ZEM_type& element) { return ZEM_type("vector", 1, &element); }

void empty_vector_handle() { ZEM_FAIL("[ZEM_vector] empty vector handle"); }

template class ZEM_vector<ZEM_int>;
template class ZEM_vector<ZEM_fraction>;
template class ZEM_vector<ZEM_real>;
template class ZEM_vector<ZEM_cyclotomic_number>;
