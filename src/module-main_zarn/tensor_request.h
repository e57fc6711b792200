// The invariant-tensor request of the tensor workbench: resolve the point-group
// and transformation names through the mappings of the dimension, solve for the
// general invariant tensor (or pseudo-tensor) of the group, bring it and the
// transformation matrix T onto one field and form T * t, with the comment that
// names both inputs as typed and the number of free parameters.
#pragma once

#include <memory>
#include <string>

#include "module-object/object.h"

struct tensor_inputs {
    std::string point_group;
    std::string perm_symmetry;
    std::string transformation;
    int dimension;
    int rank;
};

struct tensor_result {
    std::unique_ptr<ZEM_object> value;
    std::string comment;
};

// Fails through _zem_error_, with messages headed "[do_execute_tensor]" or
// "[do_execute_pseudo_tensor]", or with the message of the solver, a
// conversion or the product.
tensor_result invariant_tensor_request(bool pseudo, const tensor_inputs& inputs);
