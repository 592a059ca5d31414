#pragma once
// Counts the allocations made through operator new while a scope is counting, for
// tests that prove a real-time or per-frame path allocates nothing. The replaced
// allocation functions live in AllocationCounter.cpp, linked into every test binary.

#include <atomic>

namespace vantreel::test {

class AllocationCounter {
public:
    AllocationCounter();  // starts counting from zero
    ~AllocationCounter(); // stops counting
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long Count() const;
};

} // namespace vantreel::test
