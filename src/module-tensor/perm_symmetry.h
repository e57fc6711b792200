// A permutation symmetry of tensor indices, parsed from text such as "(0 1) [2 3]":
// a parenthesis group permutes its parts keeping the sign, a bracket group flips
// the sign with every exchange of two parts, and groups nest. It is held as a tree
// of elements under a top-level sequence. Construction never throws: a faulty text
// leaves `seq` null and its message in `error`; the tensor basis raises it later.
// Every index number from 0 to `n_indices` - 1 occurs exactly once in a valid one.
#pragma once

#include <memory>
#include <ostream>
#include <utility>

#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"

// The sign with which an image of an index tuple enters.
enum permsym_plusmin { permsym_plus = 1, permsym_minus = 2 };

permsym_plusmin flip(permsym_plusmin sign);

// Called for each image of a tuple; the image lives only during the call.
using permsym_callback = void (*)(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

class walk_memo;

// ---- tokens

class perm_token_base {
public:
    virtual ~perm_token_base() = default;
    // The number of an integer token; -1 for the symbols.
    virtual int get_value() const { return -1; }
    // 0 integer, 1 "(", 2 ")", 3 "[", 4 "]".
    virtual int get_toktype() const = 0;
};

class perm_int : public perm_token_base {
public:
    explicit perm_int(int value) : value_(value) {}
    int get_value() const override { return value_; }
    int get_toktype() const override { return 0; }

private:
    int value_;
};

template <int toktype>
class perm_symbol_token : public perm_token_base {
public:
    int get_toktype() const override { return toktype; }
};

using perm_lpar = perm_symbol_token<1>;
using perm_rpar = perm_symbol_token<2>;
using perm_lbracket = perm_symbol_token<3>;
using perm_rbracket = perm_symbol_token<4>;

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

    // Takes ownership of the token, also when the node cannot be had.
    void add_at_tail(perm_token_base* token);

    const node* head() const { return head_; }
    const node* tail() const { return tail_; }

private:
    node* head_ = nullptr;
    node* tail_ = nullptr;
};

// A cursor on a token list; null at the end.
class perm_token_iterator {
public:
    explicit perm_token_iterator(const perm_token_list& tokens) : current_(tokens.head()) {}

    const perm_token_base* token() const { return current_ ? current_->token : nullptr; }
    // The current token's type, or -1 at the end.
    int toktype() const { return current_ ? current_->token->get_toktype() : -1; }
    void advance() { current_ = current_->next; }

private:
    const perm_token_list::node* current_;
};

// ---- elements

// An element of the parsed form: a single index, or a group of parts.
class perm_symmetry_type_base {
public:
    // 1 for the elements of the top-level sequence, whose tuple the whole
    // symmetry reports; copies keep it.
    int at_top = 0;

    virtual std::unique_ptr<perm_symmetry_type_base> copy() const = 0;
    virtual ~perm_symmetry_type_base() = default;
    virtual int contains_index_number(int k) const = 0;
    virtual void print(std::ostream& out) const = 0;
    // Reports the images of the tuple under this element, one step of a walk
    // (symmetry_enumeration.h). A group not at the top reports the tuple itself
    // first. The memo, when given, skips steps already taken in this walk.
    virtual void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                             permsym_plusmin sign, void* data, walk_memo* memo = nullptr) const = 0;
    virtual int n_indices() const = 0;
    // Writes the index numbers in textual order to out[count], ... and advances count.
    virtual void get_indices(int& count, int* out) const = 0;

protected:
    perm_symmetry_type_base() = default;
    perm_symmetry_type_base(const perm_symmetry_type_base&) = default;
    perm_symmetry_type_base& operator=(const perm_symmetry_type_base&) = default;
};

class perm_symmetry_type_seq {
public:
    using elements = pointer_to_objects<pointer_to_object<perm_symmetry_type_base>>;

    // Holds copies of the elements.
    explicit perm_symmetry_type_seq(const elements& parts);
    // Takes the elements over, as the parser does.
    explicit perm_symmetry_type_seq(elements&& parts) noexcept : parts_(std::move(parts)) {}
    perm_symmetry_type_seq(const perm_symmetry_type_seq& other) : perm_symmetry_type_seq(other.parts_) {}
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

    std::unique_ptr<perm_symmetry_type_base> copy() const override
    {
        return std::make_unique<perm_symmetry_type_nosym>(*this);
    }
    int contains_index_number(int k) const override { return k == index_; }
    void print(std::ostream& out) const override { out << index_; }
    // Reports the tuple alone.
    void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                     permsym_plusmin sign, void* data, walk_memo* = nullptr) const override
    {
        callback(tuple, sign, data);
    }
    int n_indices() const override { return 1; }
    void get_indices(int& count, int* out) const override { out[count++] = index_; }

private:
    int index_;
};

// What a parenthesis group and a bracket group share: their parts, with the
// index numbers of each part, which every exchange of two parts reads.
class perm_symmetry_type_group : public perm_symmetry_type_base {
public:
    perm_symmetry_type_group(perm_symmetry_type_seq&& parts, bool antisymmetric);
    perm_symmetry_type_group(const perm_symmetry_type_group& other);
    perm_symmetry_type_group& operator=(const perm_symmetry_type_group&) = delete;

    int contains_index_number(int k) const override;
    // "(" or "[", the parts separated by blanks, ")" or "]".
    void print(std::ostream& out) const override;
    void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                     permsym_plusmin sign, void* data, walk_memo* memo = nullptr) const override;
    int n_indices() const override;
    void get_indices(int& count, int* out) const override;

    const perm_symmetry_type_seq& parts() const { return parts_; }
    // The parts as the exchanges take them (fhups_sym, fhups_antisym).
    const pointer_to_objects<const perm_symmetry_type_base*>& part_list() const { return part_list_; }
    // The index numbers of every part, in textual order.
    const pointer_to_objects<int>* part_indices() const { return part_indices_.block(); }
    const pointer_to_objects<int>& indices_of_part(int k) const { return part_indices_[k]; }
    bool is_antisymmetric() const { return antisymmetric_; }

private:
    // Fills the part list and the index lists from the parts.
    void index_parts();

    perm_symmetry_type_seq parts_;
    pointer_to_objects<const perm_symmetry_type_base*> part_list_;
    pointer_to_objects<pointer_to_objects<int>> part_indices_;
    bool antisymmetric_;
};

class perm_symmetry_type_sym : public perm_symmetry_type_group {
public:
    explicit perm_symmetry_type_sym(perm_symmetry_type_seq&& parts)
        : perm_symmetry_type_group(std::move(parts), false)
    {
    }
    std::unique_ptr<perm_symmetry_type_base> copy() const override;
};

class perm_symmetry_type_antisym : public perm_symmetry_type_group {
public:
    explicit perm_symmetry_type_antisym(perm_symmetry_type_seq&& parts)
        : perm_symmetry_type_group(std::move(parts), true)
    {
    }
    std::unique_ptr<perm_symmetry_type_base> copy() const override;
};

// ---- the symmetry

class perm_symmetry_type {
public:
    int n_indices = 0;
    std::unique_ptr<perm_symmetry_type_seq> seq;
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

    bool by_closure() const { return by_closure_; }

private:
    // Set when some group exchanges parts of different shape: walking the parts
    // one exchange at a time then misses images, so the images are found by closure.
    bool by_closure_ = false;
};

// ---- tokenizer and parser

// Digits written together form one number; blanks and tabs only separate.
// Anything else sets the error and ends the scan; the tokens read stay.
void tokenize_it(const char* text, perm_token_list& tokens, const char** error);

// The top-level sequence of the tokens, a new one for the caller, or null with
// the error set. n_indices bounds the elements of any one sequence.
perm_symmetry_type_seq* parse_it(int n_indices, const perm_token_list& tokens, const char** error);

// The grammar rules, each at the iterator and moving it past what it read.
// Each returns a new object for the caller, or null with the error set.
// The whole string: a sequence that must take every token left.
perm_symmetry_type_seq* recursive_descent_start(int n_indices, perm_token_iterator& it, const char** error);
// Elements up to the end or to a ")" or "]", which is left for the group.
perm_symmetry_type_seq* recursive_descent_perm_symm_sequence(int n_indices, perm_token_iterator& it,
                                                             const char** error);
// An index, a parenthesis group or a bracket group.
perm_symmetry_type_base* recursive_descent_perm_symm_element(int n_indices, perm_token_iterator& it,
                                                             const char** error);
perm_symmetry_type_base* recursive_descent_symm(int n_indices, perm_token_iterator& it, const char** error);
perm_symmetry_type_base* recursive_descent_anti_symm(int n_indices, perm_token_iterator& it, const char** error);
