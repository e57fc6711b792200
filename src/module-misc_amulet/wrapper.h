// A counted copy of a value that widgets can hold in a QVariant (a page of the
// result deck, a function button of the extended view). Am_ZEM_object_Data is
// the body: it owns its own heap copy of the value and counts the handles that
// refer to it; Am_ZEM_object is the handle. The body and its copy die with the
// last handle, and no two bodies share a copy.
#pragma once

#include <QVariant>
#include <ostream>

#include "module-object/object.h"

// The property under which widgets keep a wrapped value.
inline constexpr const char* ZEM_OBJECT = "ZEM_OBJECT";

class Am_ZEM_object_Data {
public:
    // Count 1, held by whoever made the body; the body holds value.copy_object().
    explicit Am_ZEM_object_Data(const ZEM_object& value);
    Am_ZEM_object_Data(const Am_ZEM_object_Data&) = delete;
    Am_ZEM_object_Data& operator=(const Am_ZEM_object_Data&) = delete;
    ~Am_ZEM_object_Data();

    const ZEM_object& value() const { return *held_; }
    int count() const { return count_; }

    // Bodies are equal when they hold the very same copy: values are never compared.
    bool operator==(const Am_ZEM_object_Data& other) const { return held_ == other.held_; }

    // A body of its own for a caller about to change it: itself when unshared,
    // else a fresh copy (count 1) after giving up one reference to this one.
    Am_ZEM_object_Data* Make_Unique();

    void Print(std::ostream& out) const;

private:
    friend class Am_ZEM_object;

    int count_ = 1;
    ZEM_object* held_;
};

class Am_ZEM_object {
public:
    Am_ZEM_object() = default;
    // Takes over the reference a new body carries.
    Am_ZEM_object(Am_ZEM_object_Data* body) : body_(body) {}
    Am_ZEM_object(const Am_ZEM_object& other);
    // An invalid variant gives an empty handle; one of another type stops the
    // program, as the variant can only come from a widget wired up wrongly.
    explicit Am_ZEM_object(const QVariant& slot);
    Am_ZEM_object& operator=(const Am_ZEM_object& other);
    Am_ZEM_object& operator=(Am_ZEM_object_Data* body);
    ~Am_ZEM_object();

    bool Valid() const { return body_ != nullptr; }
    // A body of this handle's own, before the holder changes its value.
    void Make_Unique()
    {
        if (body_) body_ = body_->Make_Unique();
    }
    const Am_ZEM_object_Data* body() const { return body_; }
    const ZEM_object& value() const { return body_->value(); }

    // The variant to put into a widget's property; it shares this body.
    operator QVariant() const;

    void Print(std::ostream& out) const;
    void Println() const;

    friend bool operator==(const Am_ZEM_object& a, const Am_ZEM_object& b)
    {
        return a.body_ == b.body_ || (a.body_ && b.body_ && *a.body_ == *b.body_);
    }

private:
    void release();

    Am_ZEM_object_Data* body_ = nullptr;
};

std::ostream& operator<<(std::ostream& out, const Am_ZEM_object& handle);

Q_DECLARE_METATYPE(Am_ZEM_object)
