// Allocations that fail at a test's word. The test programs replace the global
// operator new and delete with a counting version (on malloc and free, so that
// the sanitizers still see every block), and the front end's SysAlloc takes its
// blocks from it too: once armed, the k-th allocation of the arming thread fails
// (operator new throws std::bad_alloc, its nothrow forms and SysAlloc give
// null), once, and everything after it succeeds again.
#pragma once

#include <cstddef>

// Fails the k-th allocation from now on (k from 1); 0 disarms.
void fail_allocation(std::size_t k);
// The allocations since the last fail_allocation.
std::size_t allocations_since_armed();
// Whether the failure armed last has come.
bool allocation_failed();
// While true, every SysAlloc of this thread fails and nothing else does.
void refuse_system_allocations(bool refuse);

// The bytes the heap has handed out and not had back (0 where the sanitizer's
// allocator keeps the heap).
std::size_t heap_in_use();
// The blocks of operator new not yet deleted.
long blocks_in_use();
