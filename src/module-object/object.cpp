#include "module-object/object.h"

#include <cstdlib>

#include "module-object/error.h"

ZEM_object::~ZEM_object() = default;

static view_factory current_view_factory = nullptr;

view_factory install_view_factory(view_factory factory)
{
    view_factory previous = current_view_factory;
    current_view_factory = factory;
    return previous;
}

QWidget* ZEM_object::create_view() const
{
    if (!current_view_factory)
        _zem_error_("module-object/object-c", __LINE__, "[create_view] no views in this program");
    return current_view_factory(*this);
}

std::ostream& operator<<(std::ostream& out, const ZEM_object& value)
{
    value.print(out);
    return out;
}

static void* allocate_or_fail(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) _zem_error_("module-object/object-c", __LINE__, "out of memory");
    return block;
}

void* ZEM_copied_object::operator new(std::size_t size) { return allocate_or_fail(size); }

void ZEM_copied_object::operator delete(void* block) noexcept { std::free(block); }

void* ZEM_referenced_object::operator new(std::size_t size) { return allocate_or_fail(size); }

void* ZEM_referenced_object::operator new(std::size_t size, trailing_room extra)
{
    if (extra.bytes > SIZE_MAX - size) _zem_error_("module-object/object-c", __LINE__, "out of memory");
    return allocate_or_fail(size + extra.bytes);
}

void ZEM_referenced_object::operator delete(void* block) noexcept { std::free(block); }

void ZEM_referenced_object::operator delete(void* block, trailing_room) noexcept { std::free(block); }
