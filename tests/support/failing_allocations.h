// Allocation failure on demand, for the code that must not let std::bad_alloc cross into a caller that is
// no C++ (COM, a system callback). A test program that uses it links failing_allocations.cpp, which
// replaces the global operator new.
#pragma once

namespace testing_support
{

/// While it lives, the first `allowed` allocations of operator new succeed and every later one throws
/// std::bad_alloc. Not nested; one thread.
class AllocationsFailAfter
{
public:
    explicit AllocationsFailAfter(long allowed);
    AllocationsFailAfter(const AllocationsFailAfter&) = delete;
    AllocationsFailAfter& operator=(const AllocationsFailAfter&) = delete;
    ~AllocationsFailAfter();

    /// An allocation failed meanwhile.
    static bool Failed();
};

} // namespace testing_support
