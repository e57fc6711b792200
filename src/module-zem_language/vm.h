// The stack machine that runs one compiled statement. Instructions hand values
// to each other only through its object stack: a pushed value belongs to the
// stack, a popped one to whoever popped it, and `top` only lends. A list runs
// from head to tail; a failing instruction ends the run and leaves the stack
// as it was, to be freed with the machine.
#pragma once

#include "module-object/object.h"

class ZEM_vm;

class icode_instr {
public:
    icode_instr() = default;
    icode_instr(const icode_instr&) = delete;
    icode_instr& operator=(const icode_instr&) = delete;
    virtual ~icode_instr();
    virtual void execute(ZEM_vm& vm) const = 0;
};

// The instructions of one statement in execution order; owns them.
class icode_instr_list {
public:
    struct node {
        node* next;
        node* prev;
        icode_instr* instr;
    };

    icode_instr_list() = default;
    icode_instr_list(const icode_instr_list&) = delete;
    icode_instr_list& operator=(const icode_instr_list&) = delete;
    ~icode_instr_list();

    // Appends at the tail; the list owns `instr` from then on.
    void add(icode_instr* instr);

    node* head = nullptr;
    node* tail = nullptr;
};

// A cursor on a node of a list (null past the end); owns nothing.
class icode_instr_iterator {
public:
    explicit icode_instr_iterator(const icode_instr_list& list) : current(list.head) {}

    operator bool() const { return current != nullptr; }
    const icode_instr& operator*() const { return *current->instr; }
    void operator++() { current = current->next; }

private:
    const icode_instr_list::node* current;
};

class ObjectStack {
public:
    struct stack_elt {
        ZEM_object* obj;
        stack_elt* next;
    };

    ObjectStack() = default;
    ObjectStack(const ObjectStack&) = delete;
    ObjectStack& operator=(const ObjectStack&) = delete;
    // Deletes every value still on the stack, in a loop: a deep stack does not recurse.
    ~ObjectStack();

    // Takes `obj` as it is, null included.
    void push(ZEM_object* obj);
    // Fails with "[ObjectStack::pop] pop of empty stack"; the caller owns the result.
    ZEM_object* pop();
    // Null on an empty stack.
    ZEM_object* top() const { return top_ ? top_->obj : nullptr; }

private:
    stack_elt* top_ = nullptr;
};

class ZEM_vm {
public:
    ZEM_vm();
    ZEM_vm(const ZEM_vm&) = delete;
    ZEM_vm& operator=(const ZEM_vm&) = delete;
    ~ZEM_vm();

    void pushObjectStack(ZEM_object* obj) { stack->push(obj); }
    ZEM_object* popObjectStack() { return stack->pop(); }
    ZEM_object* topOfObjectStack() const { return stack->top(); }

    void execute(const icode_instr_list& list);

private:
    ObjectStack* stack;
};
