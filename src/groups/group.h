// A finite group of square matrices, given by its generators.
#pragma once

#include "module-object/type.h"

ZEM_type tp_group(const ZEM_type& matrix_type);
