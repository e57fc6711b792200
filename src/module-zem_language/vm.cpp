#include "module-zem_language/vm.h"

#include <memory>

#include "module-object/error.h"

icode_instr::~icode_instr() = default;

icode_instr_list::~icode_instr_list()
{
    while (node* first = head) {
        head = first->next;
        delete first->instr;
        delete first;
    }
    tail = nullptr;
}

void icode_instr_list::add(icode_instr* instr)
{
    node* added = new node{nullptr, tail, instr};
    if (tail)
        tail->next = added;
    else
        head = added;
    tail = added;
}

ObjectStack::~ObjectStack()
{
    while (stack_elt* elt = top_) {
        top_ = elt->next;
        delete elt->obj;
        delete elt;
    }
}

// The stack owns the value from here on, even if it cannot take it.
void ObjectStack::push(ZEM_object* obj)
{
    std::unique_ptr<ZEM_object> owned(obj);
    top_ = new stack_elt{obj, top_};
    owned.release();
}

ZEM_object* ObjectStack::pop()
{
    if (!top_) ZEM_FAIL("[ObjectStack::pop] pop of empty stack");
    stack_elt* elt = top_;
    top_ = elt->next;
    ZEM_object* obj = elt->obj;
    delete elt;
    return obj;
}

ZEM_vm::ZEM_vm() : stack(new ObjectStack) {}

ZEM_vm::~ZEM_vm() { delete stack; }

void ZEM_vm::execute(const icode_instr_list& list)
{
    for (icode_instr_iterator at(list); at; ++at) (*at).execute(*this);
}
