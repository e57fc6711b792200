// The root of every value. A value is either copied whole (ZEM_copied_object)
// or a handle that shares a reference-counted body (ZEM_referencing_object).
// Bodies are built complete and never changed afterwards, so sharing never shows.
#pragma once

#include <cstddef>
#include <new>
#include <ostream>
#include <utility>

#include "module-object/type.h"

class QWidget;

class ZEM_object {
public:
    virtual ~ZEM_object();
    virtual ZEM_object* copy_object() const = 0;
    virtual void print(std::ostream& out) const = 0;
    virtual ZEM_type type() const = 0;
    // A new widget showing the value; the caller owns it. The views install the
    // factory, so that the computation never needs the toolkit.
    virtual QWidget* create_view() const;
};

// Makes the widget that create_view returns; installed by the views' library.
using view_factory = QWidget* (*)(const ZEM_object& value);

// Installs `factory` and returns the one it replaces; without one, create_view
// fails with "[create_view] no views in this program".
view_factory install_view_factory(view_factory factory);

std::ostream& operator<<(std::ostream& out, const ZEM_object& value);

class ZEM_copied_object : public ZEM_object {
public:
    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;
};

class ZEM_referenced_object {
public:
    int reference_count = 0;

    static void* operator new(std::size_t size);
    // One block for the body and `extra` bytes of elements behind it. Reach it
    // through new_with_trailing: a placement delete to match it would be the
    // sized delete, so a new-expression could not give the block back.
    static void* operator new(std::size_t size, std::size_t extra);
    static void operator delete(void* block) noexcept;

    // Where elements of alignment `align` start behind a body of `body_size` bytes.
    static constexpr std::size_t trailing_offset(std::size_t body_size, std::size_t align)
    {
        return (body_size + align - 1) / align * align;
    }
};

// Room to ask of operator new(size, extra) for `count` elements of E behind a Body.
template <class Body, class E>
std::size_t trailing_extra(std::size_t count)
{
    return ZEM_referenced_object::trailing_offset(sizeof(Body), alignof(E)) - sizeof(Body) + count * sizeof(E);
}

// A new Body built from `arguments` in one block with room for `count`
// elements of E behind it; the block is freed if the constructor fails.
template <class Body, class E, class... Arguments>
Body* new_with_trailing(std::size_t count, Arguments&&... arguments)
{
    void* block = Body::operator new(sizeof(Body), trailing_extra<Body, E>(count));
    try {
        return ::new (block) Body(std::forward<Arguments>(arguments)...);
    } catch (...) {
        Body::operator delete(block);
        throw;
    }
}

template <class E, class Body>
E* trailing_elements(Body* body)
{
    return reinterpret_cast<E*>(reinterpret_cast<char*>(body)
                                + ZEM_referenced_object::trailing_offset(sizeof(Body), alignof(E)));
}

// Builds `count` elements behind `body`, element(k) for k in storage order; a
// failing element takes the ones already built with it, so no half-built body
// survives. Returns the first element.
template <class E, class Body, class Element>
E* construct_trailing(Body* body, int count, Element element)
{
    E* first = trailing_elements<E>(body);
    int k = 0;
    try {
        for (; k < count; ++k) ::new (static_cast<void*>(first + k)) E(element(k));
    } catch (...) {
        while (k > 0) first[--k].~E();
        throw;
    }
    return first;
}

template <class Impl>
class ZEM_referencing_object : public ZEM_object {
public:
    ZEM_referencing_object() = default;
    ZEM_referencing_object(const ZEM_referencing_object& other) : body_(other.body_)
    {
        if (body_) ++body_->reference_count;
    }
    ZEM_referencing_object& operator=(const ZEM_referencing_object& other)
    {
        attach(other.body_);
        return *this;
    }
    ~ZEM_referencing_object() override { release(); }

    bool has_body() const { return body_ != nullptr; }

protected:
    // Takes a fresh body (count 0) or another handle's; the count rises before
    // the old body is let go, so self-assignment changes nothing.
    void attach(Impl* body)
    {
        if (body == body_) return;
        if (body) ++body->reference_count;
        release();
        body_ = body;
    }
    const Impl* body() const { return body_; }
    Impl* body() { return body_; }

private:
    void release()
    {
        if (body_ && --body_->reference_count == 0) delete body_;
        body_ = nullptr;
    }

    Impl* body_ = nullptr;
};
