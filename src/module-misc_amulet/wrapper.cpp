#include "module-misc_amulet/wrapper.h"

#include <QVariant>
#include <iostream>
#include <utility>

int Am_ZEM_object::Type_ID()
{
    static const int id = qRegisterMetaType<Am_ZEM_object>();
    return id;
}

namespace {
// Before main, so that every widget can use the type from the start.
[[maybe_unused]] const int registered = Am_ZEM_object::Type_ID();
}

Am_ZEM_object_Data::Am_ZEM_object_Data(const ZEM_object& value) : held_(value.copy_object()) {}

Am_ZEM_object_Data::~Am_ZEM_object_Data() { delete held_; }

Am_ZEM_object_Data* Am_ZEM_object_Data::Make_Unique()
{
    if (count_ == 1) return this;
    auto* copy = new Am_ZEM_object_Data(*held_);
    --count_;
    return copy;
}

int Am_ZEM_object_Data::ID() const { return Am_ZEM_object::Type_ID(); }

Am_ZEM_object_Data* Am_ZEM_object_Data::Narrow(const QVariant& slot)
{
    const Am_ZEM_object* handle = Am_ZEM_object::held_by(slot);
    return handle ? handle->body_ : nullptr;
}

void Am_ZEM_object_Data::Print(std::ostream& out) const { held_->print(out); }

Am_ZEM_object::Am_ZEM_object(const Am_ZEM_object& other) : body_(other.body_)
{
    if (body_) ++body_->count_;
}

const Am_ZEM_object* Am_ZEM_object::held_by(const QVariant& slot)
{
    return slot.metaType().id() == Type_ID() ? static_cast<const Am_ZEM_object*>(slot.constData()) : nullptr;
}

bool Am_ZEM_object::Test(const QVariant& slot)
{
    const Am_ZEM_object* handle = held_by(slot);
    return handle && handle->Valid();
}

Am_ZEM_object::Am_ZEM_object(const QVariant& slot)
{
    if (!slot.isValid()) return;
    const Am_ZEM_object* handle = held_by(slot);
    if (!handle) qFatal("[Am_ZEM_object] the slot holds a %s, not a value", slot.typeName());
    *this = *handle;
}

Am_ZEM_object& Am_ZEM_object::operator=(const QVariant& slot)
{
    Am_ZEM_object taken(slot);
    std::swap(body_, taken.body_);
    return *this;
}

Am_ZEM_object& Am_ZEM_object::operator=(const Am_ZEM_object& other)
{
    // Take the other body first, so that self-assignment keeps it alive.
    if (other.body_) ++other.body_->count_;
    release();
    body_ = other.body_;
    return *this;
}

Am_ZEM_object& Am_ZEM_object::operator=(Am_ZEM_object_Data* body)
{
    release();
    body_ = body;
    return *this;
}

Am_ZEM_object::~Am_ZEM_object() { release(); }

void Am_ZEM_object::release()
{
    if (!body_) return;
    if (body_->count_ <= 0) qFatal("[Am_ZEM_object] released a body whose count is already 0");
    if (--body_->count_ == 0) delete body_;
    body_ = nullptr;
}

Am_ZEM_object::operator QVariant() const { return QVariant::fromValue(*this); }

void Am_ZEM_object::Print(std::ostream& out) const
{
    if (body_)
        body_->Print(out);
    else
        out << "(Am_ZEM_object)(0L)";
}

void Am_ZEM_object::Println() const
{
    Print(std::cout);
    std::cout << std::endl;
}

std::ostream& operator<<(std::ostream& out, const Am_ZEM_object& handle)
{
    handle.Print(out);
    return out;
}
