// A permutation symmetry of tensor indices, parsed from text such as "(0 1) [2 3]":
// a parenthesis group permutes its parts keeping the sign, a bracket group flips
// the sign with every exchange of two parts, and groups nest. It is held as a tree
// of elements under a top-level sequence. Construction never throws: a faulty text
// leaves `seq` null and its message in `error`; the tensor basis raises it later.
// Every index number from 0 to `n_indices` - 1 occurs exactly once in a valid one.
#pragma once

#include <ostream>
#include <utility>

#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"

// The sign with which an image of an index tuple enters.
enum permsym_plusmin { permsym_plus = 1, permsym_minus = 2 };

permsym_plusmin flip(permsym_plusmin sign);

// Called for each image of a tuple; the image lives only during the call.
using permsym_callback = void (*)(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

// ---- tokens

class perm_token_base {
public:
    virtual ~perm_token_base();
    virtual int get_value() const;
    virtual int get_toktype() const = 0;
};

enum { perm_int_type = 0, perm_lpar_type = 1, perm_rpar_type = 2, perm_lbracket_type = 3, perm_rbracket_type = 4 };

class perm_int : public perm_token_base {
public:
    explicit perm_int(int value) : value_(value) {}
    int get_value() const override { return value_; }
    int get_toktype() const override { return perm_int_type; }

private:
    int value_;
};

class perm_lpar : public perm_token_base {
public:
    int get_toktype() const override { return perm_lpar_type; }
};

class perm_rpar : public perm_token_base {
public:
    int get_toktype() const override { return perm_rpar_type; }
};

class perm_lbracket : public perm_token_base {
public:
    int get_toktype() const override { return perm_lbracket_type; }
};

class perm_rbracket : public perm_token_base {
public:
    int get_toktype() const override { return perm_rbracket_type; }
};

// A doubly linked list that owns its tokens.
class perm_token_list {
public:
    struct node {
        perm_token_base* token;
        node* next;
        node* previous;
    };

    perm_token_list() = default;
    perm_token_list(const perm_token_list&) = delete;
    perm_token_list& operator=(const perm_token_list&) = delete;
    ~perm_token_list();

    void add_at_tail(perm_token_base* token);
    const node* head() const { return head_; }

private:
    node* head_ = nullptr;
    node* tail_ = nullptr;
};

// A cursor on a token list; null at the end.
class perm_token_iterator {
public:
    explicit perm_token_iterator(const perm_token_list& tokens) : current_(tokens.head()) {}
    bool at_end() const { return current_ == nullptr; }
    const perm_token_base* token() const { return current_ ? current_->token : nullptr; }
    void advance()
    {
        if (current_) current_ = current_->next;
    }

private:
    const perm_token_list::node* current_;
};

// ---- elements

// The base's own bodies fail as abstract: every kind overrides them all.
class perm_symmetry_type_base {
public:
    int at_top = 0;

    virtual perm_symmetry_type_base* copy() const;
    virtual ~perm_symmetry_type_base();
    virtual int contains_index_number(int k) const;
    virtual void print(std::ostream& out) const;
    virtual void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                             permsym_plusmin sign, void* data) const;
    virtual int n_indices() const;
    virtual void get_indices(int& count, int* out) const;
};

class perm_symmetry_type_seq {
public:
    using elements = pointer_to_objects<pointer_to_object<perm_symmetry_type_base>>;

    // Takes over the first `count` elements of `parts`.
    perm_symmetry_type_seq(elements& parts, int count);
    perm_symmetry_type_seq(const perm_symmetry_type_seq& other);
    perm_symmetry_type_seq(perm_symmetry_type_seq&& other) noexcept = default;
    perm_symmetry_type_seq& operator=(const perm_symmetry_type_seq&) = delete;

    int count() const { return parts_.count(); }
    const perm_symmetry_type_base& operator[](int k) const { return *parts_[k]; }

    void set_at_top();
    void print(std::ostream& out) const;

private:
    elements parts_;
};

class perm_symmetry_type_nosym : public perm_symmetry_type_base {
public:
    explicit perm_symmetry_type_nosym(int index) : index_(index) {}

    perm_symmetry_type_base* copy() const override;
    int contains_index_number(int k) const override;
    void print(std::ostream& out) const override;
    void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                     permsym_plusmin sign, void* data) const override;
    int n_indices() const override;
    void get_indices(int& count, int* out) const override;

private:
    int index_;
};

// What a parenthesis group and a bracket group share: their parts.
class perm_symmetry_type_group : public perm_symmetry_type_base {
public:
    explicit perm_symmetry_type_group(perm_symmetry_type_seq&& parts) : parts_(std::move(parts)) {}

    int contains_index_number(int k) const override;
    void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                     permsym_plusmin sign, void* data) const override;
    int n_indices() const override;
    void get_indices(int& count, int* out) const override;

    const perm_symmetry_type_seq& parts() const { return parts_; }
    virtual bool is_antisymmetric() const = 0;

protected:
    void print_parts(std::ostream& out, char open, char close) const;

private:
    perm_symmetry_type_seq parts_;
};

class perm_symmetry_type_sym : public perm_symmetry_type_group {
public:
    using perm_symmetry_type_group::perm_symmetry_type_group;
    perm_symmetry_type_base* copy() const override;
    void print(std::ostream& out) const override;
    bool is_antisymmetric() const override { return false; }
};

class perm_symmetry_type_antisym : public perm_symmetry_type_group {
public:
    using perm_symmetry_type_group::perm_symmetry_type_group;
    perm_symmetry_type_base* copy() const override;
    void print(std::ostream& out) const override;
    bool is_antisymmetric() const override { return true; }
};

// ---- the symmetry

class perm_symmetry_type {
public:
    int n_indices = 0;
    perm_symmetry_type_seq* seq = nullptr;
    const char* error = nullptr;

    explicit perm_symmetry_type(const ZEM_string& text);
    perm_symmetry_type(const perm_symmetry_type& other);
    perm_symmetry_type& operator=(const perm_symmetry_type& other);
    ~perm_symmetry_type();

    // The canonical form; a faulty symmetry prints nothing.
    void print(std::ostream& out) const;

    // The number of distinct images reached with the plus sign, the tuple included.
    int n_symmetrical_with(const pointer_to_objects<int>& tuple) const;
    // all == 0: each distinct image once, with the sign of its first report;
    // otherwise every report, repetitions included. The tuple itself comes first, with plus.
    void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple, void* data,
                                     int all) const;
    // Each distinct (image, sign) once, in the order of its first report with all != 0:
    // all that those reports tell, without their repetitions.
    void for_all_signed_images_do(permsym_callback callback, const pointer_to_objects<int>& tuple, void* data) const;

private:
    // Set when some group exchanges parts of different shape: walking the parts
    // one exchange at a time then misses images, so the images are found by closure.
    bool by_closure_ = false;
};

// ---- tokenizer and recursive-descent parser

void tokenize_it(const char* text, perm_token_list& tokens, const char** error);
perm_symmetry_type_seq* parse_it(int n_indices, const perm_token_list& tokens, const char** error);
perm_symmetry_type_seq* recursive_descent_start(int n_indices, perm_token_iterator& it, const char** error);
perm_symmetry_type_seq* recursive_descent_perm_symm_sequence(int n_indices, perm_token_iterator& it,
                                                             const char** error);
perm_symmetry_type_base* recursive_descent_perm_symm_element(int n_indices, perm_token_iterator& it,
                                                             const char** error);
perm_symmetry_type_base* recursive_descent_symm(int n_indices, perm_token_iterator& it, const char** error);
perm_symmetry_type_base* recursive_descent_anti_symm(int n_indices, perm_token_iterator& it, const char** error);
