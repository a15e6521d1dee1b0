#pragma once
// Counts the heap allocations made by the calling thread while counting is on. Every path to
// the heap (malloc, calloc, realloc, the aligned forms, and operator new through them) counts.
#include <cstdint>

namespace vantrel {

// False when this build cannot replace the allocator (the sanitizers own it).
bool AllocationCountingAvailable();
void StartCountingAllocations();
// The allocations since StartCountingAllocations; stops counting.
std::int64_t StopCountingAllocations();

}  // namespace vantrel
