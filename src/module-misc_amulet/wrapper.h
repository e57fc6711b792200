// A counted copy of a value that widgets can hold in a QVariant (a page of the
// result deck, a function button of the extended view). Am_ZEM_object_Data is
// the body: it owns its own heap copy of the value and counts the handles that
// refer to it; Am_ZEM_object is the handle. The body and its copy die with the
// last handle, and no two bodies share a copy. The type id is the handle's
// registered QMetaType id, taken before main.
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
    int ID() const;

    // Itself; null for null.
    static Am_ZEM_object_Data* Narrow(Am_ZEM_object_Data* wrapper) { return wrapper; }
    // The body a slot value holds, borrowed for as long as the variant lives;
    // null when the variant holds no handle, an empty one or another type.
    static Am_ZEM_object_Data* Narrow(const QVariant& slot);

    // The type is registered without a name, and no value is read back from text.
    const char* To_String() const { return nullptr; }
    QVariant From_String(const char*) const { return QVariant(); }

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
    // As the constructor from a variant, then the previous body is released.
    Am_ZEM_object& operator=(const QVariant& slot);
    Am_ZEM_object& operator=(Am_ZEM_object_Data* body);
    ~Am_ZEM_object();

    static int Type_ID();
    static bool Test(const Am_ZEM_object_Data* wrapper) { return wrapper && wrapper->ID() == Type_ID(); }
    // True when the variant holds a handle of this type that is not empty.
    static bool Test(const QVariant& slot);
    // Takes over the caller's reference, as the constructor from a body does.
    static Am_ZEM_object Narrow(Am_ZEM_object_Data* wrapper) { return Am_ZEM_object(wrapper); }
    // Shares the body (the variant keeps its own reference), as the
    // constructor from a variant does, and stops on another type likewise.
    static Am_ZEM_object Narrow(const QVariant& slot) { return Am_ZEM_object(slot); }

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

    const char* To_String() const { return body_ ? body_->To_String() : nullptr; }
    QVariant From_String(const char* text) const { return body_ ? body_->From_String(text) : QVariant(); }
    void Print(std::ostream& out) const;
    void Println() const;

    friend bool operator==(const Am_ZEM_object& a, const Am_ZEM_object& b)
    {
        return a.body_ == b.body_ || (a.body_ && b.body_ && *a.body_ == *b.body_);
    }

private:
    friend class Am_ZEM_object_Data;

    // The handle a variant holds, or null when it holds another type or none.
    static const Am_ZEM_object* held_by(const QVariant& slot);
    void release();

    Am_ZEM_object_Data* body_ = nullptr;
};

std::ostream& operator<<(std::ostream& out, const Am_ZEM_object& handle);

Q_DECLARE_METATYPE(Am_ZEM_object)
