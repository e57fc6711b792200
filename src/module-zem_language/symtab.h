// The two name-keyed tables of the command language: var_symtab (a variable's
// name, an owned copy of its last value and its type) and func_symtab (a
// built-in's name and its definition, which the table never owns). Each wraps
// a pointer_hash_table of 256 buckets that is made on first use, and the two
// global tables are constant-initialised, so registrations made during the
// static initialisation of other files land in a table that stays.
#pragma once

#include "module-collections/pointer_hash_table.h"
#include "module-collections/set.h"
#include "module-object/object.h"
#include "module-object/string.h"
#include "module-object/type.h"

class builtin_func_definition;

class var_symtab {
public:
    struct var_symtabelt {
        // `object` may be null; otherwise the element keeps its copy_object copy.
        var_symtabelt(const ZEM_string& name, const ZEM_object* object, const ZEM_type& type);
        var_symtabelt(const var_symtabelt& other);
        var_symtabelt& operator=(const var_symtabelt&) = delete;
        ~var_symtabelt();

        ZEM_string name;
        ZEM_object* object;
        ZEM_type type;
    };

    constexpr var_symtab() = default;
    var_symtab(const var_symtab&) = delete;
    var_symtab& operator=(const var_symtab&) = delete;
    ~var_symtab();

    void init_var_symtab() const;
    // Replaces an entry of the same name, value and type alike. Returns 0.
    int add(const ZEM_string& name, const ZEM_object* object, const ZEM_type& type);
    void remove(const ZEM_string& name);
    int is_in_table(const ZEM_string& name) const;
    // The stored entry, or null; valid until the name is added again or removed.
    const var_symtabelt* lookup(const ZEM_string& name) const;
    ZEM_set<ZEM_string> all_vars() const;

private:
    mutable pointer_hash_table* table = nullptr;
};

class func_symtab {
public:
    struct func_symtabelt {
        func_symtabelt(const ZEM_string& name, const builtin_func_definition* definition);
        func_symtabelt(const ZEM_string& name, void* data);
        func_symtabelt(const func_symtabelt& other) = default;
        func_symtabelt& operator=(const func_symtabelt&) = delete;

        ZEM_string name;
        // 1 for a built-in, 0 for a user-defined function (which nothing makes).
        int kind;
        const builtin_func_definition* definition;
        void* data;
    };

    constexpr func_symtab() = default;
    func_symtab(const func_symtab&) = delete;
    func_symtab& operator=(const func_symtab&) = delete;
    // Frees the entries, never the definitions.
    ~func_symtab();

    void init_func_symtab() const;
    int add(const ZEM_string& name, const builtin_func_definition* definition);
    int add(const ZEM_string& name, void* data);
    void remove(const ZEM_string& name);
    int is_in_table(const ZEM_string& name) const;
    const func_symtabelt* lookup(const ZEM_string& name) const;
    ZEM_set<ZEM_string> all_funcs() const;
    // The short and long help texts of a name; empty for a name not registered.
    const ZEM_string& helpmsg1(const ZEM_string& name) const;
    const ZEM_string& helpmsg2(const ZEM_string& name) const;

private:
    mutable pointer_hash_table* table = nullptr;
};

extern constinit var_symtab global_objects;
extern constinit func_symtab global_functions;
