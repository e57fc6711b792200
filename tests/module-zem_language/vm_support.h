// Values and built-ins for tests of the stack machine and its instructions.
#pragma once

#include <memory>
#include <utility>

#include "module-object/object.h"
#include "module-zem_language/builtin.h"

// A value that counts its deletions in a counter shared by its copies.
class tracked : public ZEM_object {
public:
    explicit tracked(std::shared_ptr<int> deletions) : deletions(std::move(deletions)) {}
    ~tracked() override { ++*deletions; }
    ZEM_object* copy_object() const override { return new tracked(deletions); }
    void print(std::ostream& out) const override { out << "tracked"; }
    ZEM_type type() const override { return ZEM_type("tracked", 0); }

    std::shared_ptr<int> deletions;
};

// A built-in registered for as long as the test holds it.
class test_builtin {
public:
    template <class... Args>
    explicit test_builtin(Args&&... args) : definition(std::forward<Args>(args)...)
    {
    }
    ~test_builtin() { definition.remove_from_functable(); }

    builtin_func_definition definition;
};
