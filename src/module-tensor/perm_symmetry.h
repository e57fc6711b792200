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
#include <vector>

#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"

// The sign with which an image of an index tuple enters.
enum permsym_plusmin { permsym_plus = 1, permsym_minus = 2 };

permsym_plusmin flip(permsym_plusmin sign);

// Called for each image of a tuple; the image lives only during the call.
using permsym_callback = void (*)(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

class walk_memo;

// ---- elements

// An element of the parsed form: a single index, or a group of parts.
class perm_symmetry_type_base {
public:
    virtual ~perm_symmetry_type_base() = default;
    virtual std::unique_ptr<perm_symmetry_type_base> copy() const = 0;
    virtual int contains_index_number(int k) const = 0;
    virtual void print(std::ostream& out) const = 0;
    // Reports the images of the tuple under this element, one step of a walk
    // (symmetry_enumeration.h). A nested group reports the tuple itself first;
    // the elements of the top level leave that to the whole symmetry. The memo,
    // when given, skips steps already taken in this walk.
    virtual void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                             permsym_plusmin sign, void* data, bool report_tuple,
                                             walk_memo* memo) const = 0;
    virtual int n_indices() const = 0;
    // Writes the index numbers in textual order to out[count], ... and advances count.
    virtual void get_indices(int& count, int* out) const = 0;
};

class perm_symmetry_type_seq {
public:
    using elements = std::vector<std::unique_ptr<perm_symmetry_type_base>>;

    explicit perm_symmetry_type_seq(elements parts) : parts_(std::move(parts)) {}
    perm_symmetry_type_seq(const perm_symmetry_type_seq& other);
    perm_symmetry_type_seq(perm_symmetry_type_seq&& other) noexcept = default;
    perm_symmetry_type_seq& operator=(const perm_symmetry_type_seq&) = delete;

    int count() const { return static_cast<int>(parts_.size()); }
    const perm_symmetry_type_base& operator[](int k) const { return *parts_[static_cast<std::size_t>(k)]; }

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
                                     permsym_plusmin sign, void* data, bool, walk_memo*) const override
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

    int contains_index_number(int k) const override;
    // "(" or "[", the parts separated by blanks, ")" or "]".
    void print(std::ostream& out) const override;
    void for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                     permsym_plusmin sign, void* data, bool report_tuple,
                                     walk_memo* memo) const override;
    int n_indices() const override;
    void get_indices(int& count, int* out) const override;

    const perm_symmetry_type_seq& parts() const { return parts_; }
    const pointer_to_objects<int>& indices_of_part(int k) const { return part_indices_[static_cast<std::size_t>(k)]; }
    bool is_antisymmetric() const { return antisymmetric_; }

private:
    perm_symmetry_type_seq parts_;
    std::vector<pointer_to_objects<int>> part_indices_;
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
