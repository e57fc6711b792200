#include "module-object/object.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

#include "module-object/allocation.h"
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
        ZEM_FAIL("[create_view] no views in this program");
    return current_view_factory(*this);
}

std::ostream& operator<<(std::ostream& out, const ZEM_object& value)
{
    value.print(out);
    return out;
}

std::size_t physical_memory_bytes()
{
    static const std::size_t bytes = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long page_size = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || page_size <= 0) return SIZE_MAX;
        const auto n = static_cast<std::size_t>(pages);
        const auto size = static_cast<std::size_t>(page_size);
        return n > SIZE_MAX / size ? SIZE_MAX : n * size;
    }();
    return bytes;
}

void* allocate_or_fail(std::size_t size)
{
    void* block = size > physical_memory_bytes() ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (!block) ZEM_FAIL("out of memory");
    return block;
}

void* allocate_elements_or_fail(std::size_t count, std::size_t size)
{
    if (size != 0 && count > SIZE_MAX / size) ZEM_FAIL("out of memory");
    return allocate_or_fail(count * size);
}

void release_block(void* block) noexcept { std::free(block); }

void* ZEM_copied_object::operator new(std::size_t size) { return allocate_or_fail(size); }

void ZEM_copied_object::operator delete(void* block) noexcept { std::free(block); }

void* ZEM_referenced_object::operator new(std::size_t size) { return allocate_or_fail(size); }

void* ZEM_referenced_object::operator new(std::size_t size, std::size_t extra)
{
    if (extra > SIZE_MAX - size) ZEM_FAIL("out of memory");
    return allocate_or_fail(size + extra);
}

void ZEM_referenced_object::operator delete(void* block) noexcept { std::free(block); }

