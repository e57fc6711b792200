#include "module-zem_language/symtab.h"

#include "module-zem_language/builtin.h"

constinit var_symtab global_objects;
constinit func_symtab global_functions;

namespace {

const int symtab_buckets = 256;
const int name_set_buckets = 50;

// The four callbacks of both tables, keyed by the element's name.
template <class Elt>
struct by_name {
    static int eq(const void* a, const void* b)
    {
        return static_cast<const Elt*>(a)->name == static_cast<const Elt*>(b)->name;
    }
    static int bucket(const void* e, int n) { return phtab_bucket_of(hash(static_cast<const Elt*>(e)->name), n); }
    static void* copy(const void* e) { return new Elt(*static_cast<const Elt*>(e)); }
    static void del(const void* e) { delete static_cast<const Elt*>(e); }

    static pointer_hash_table* make() { return new pointer_hash_table(eq, bucket, copy, del, symtab_buckets); }
};

using vars = by_name<var_symtab::var_symtabelt>;
using funcs = by_name<func_symtab::func_symtabelt>;

// Enters an element's name into the ZEM_set<ZEM_string> that `set` points to.
template <class Elt>
void add_name(const void* element, void* set)
{
    static_cast<ZEM_set<ZEM_string>*>(set)->add_elt(static_cast<const Elt*>(element)->name);
}

void var_f1(const void* element, void* set) { add_name<var_symtab::var_symtabelt>(element, set); }
void func_f1(const void* element, void* set) { add_name<func_symtab::func_symtabelt>(element, set); }

ZEM_set<ZEM_string> all_names(const pointer_hash_table& table, void (*f1)(const void*, void*))
{
    ZEM_set<ZEM_string> set(name_set_buckets);
    table.phtab_for_all_do(f1, &set);
    return set;
}

}

// The copy is made last: nothing after it can fail and lose it.
var_symtab::var_symtabelt::var_symtabelt(const ZEM_string& name, const ZEM_object* object, const ZEM_type& type)
    : name(name), object(nullptr), type(type)
{
    if (object) this->object = object->copy_object();
}

var_symtab::var_symtabelt::var_symtabelt(const var_symtabelt& other)
    : var_symtabelt(other.name, other.object, other.type)
{
}

var_symtab::var_symtabelt::~var_symtabelt() { delete object; }

var_symtab::~var_symtab() { delete table; }

void var_symtab::init_var_symtab() const
{
    if (!table) table = vars::make();
}

int var_symtab::add(const ZEM_string& name, const ZEM_object* object, const ZEM_type& type)
{
    init_var_symtab();
    table->phtab_add(new var_symtabelt(name, object, type));
    return 0;
}

void var_symtab::remove(const ZEM_string& name)
{
    init_var_symtab();
    const var_symtabelt probe(name, nullptr, ZEM_type());
    table->phtab_delete(&probe);
}

int var_symtab::is_in_table(const ZEM_string& name) const { return lookup(name) != nullptr; }

const var_symtab::var_symtabelt* var_symtab::lookup(const ZEM_string& name) const
{
    init_var_symtab();
    const var_symtabelt probe(name, nullptr, ZEM_type());
    return static_cast<const var_symtabelt*>(table->phtab_get_elt(&probe));
}

ZEM_set<ZEM_string> var_symtab::all_vars() const
{
    init_var_symtab();
    return all_names(*table, var_f1);
}

func_symtab::func_symtabelt::func_symtabelt(const ZEM_string& name, const builtin_func_definition* definition)
    : name(name), kind(1), definition(definition), data(nullptr)
{
}

func_symtab::func_symtabelt::func_symtabelt(const ZEM_string& name, void* data)
    : name(name), kind(0), definition(nullptr), data(data)
{
}

func_symtab::~func_symtab() { delete table; }

void func_symtab::init_func_symtab() const
{
    if (!table) table = funcs::make();
}

int func_symtab::add(const ZEM_string& name, const builtin_func_definition* definition)
{
    init_func_symtab();
    table->phtab_add(new func_symtabelt(name, definition));
    return 0;
}

int func_symtab::add(const ZEM_string& name, void* data)
{
    init_func_symtab();
    table->phtab_add(new func_symtabelt(name, data));
    return 0;
}

void func_symtab::remove(const ZEM_string& name)
{
    init_func_symtab();
    const func_symtabelt probe(name, static_cast<const builtin_func_definition*>(nullptr));
    table->phtab_delete(&probe);
}

int func_symtab::is_in_table(const ZEM_string& name) const { return lookup(name) != nullptr; }

const func_symtab::func_symtabelt* func_symtab::lookup(const ZEM_string& name) const
{
    init_func_symtab();
    const func_symtabelt probe(name, static_cast<const builtin_func_definition*>(nullptr));
    return static_cast<const func_symtabelt*>(table->phtab_get_elt(&probe));
}

ZEM_set<ZEM_string> func_symtab::all_funcs() const
{
    init_func_symtab();
    return all_names(*table, func_f1);
}

namespace {

// The short (which 1) or long (which 2) help text; empty for a name not registered.
const ZEM_string& help_text(const func_symtab::func_symtabelt* entry, int which)
{
    static const ZEM_string none;
    static const ZEM_string user_help[] = {"Help message-1 which is never asked for",
                                           "Help message-2 which is never asked for"};
    if (!entry) return none;
    if (entry->kind != 1) return user_help[which - 1];
    return which == 1 ? entry->definition->short_help : entry->definition->long_help;
}

}

const ZEM_string& func_symtab::helpmsg1(const ZEM_string& name) const { return help_text(lookup(name), 1); }

const ZEM_string& func_symtab::helpmsg2(const ZEM_string& name) const { return help_text(lookup(name), 2); }
