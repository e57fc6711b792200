#include "groups/group.h"

ZEM_type tp_group(const ZEM_type& matrix_type) { return ZEM_type("group", 1, &matrix_type); }
