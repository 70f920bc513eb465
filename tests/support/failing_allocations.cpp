#include "tests/support/failing_allocations.h"

#include <cstdlib>
#include <new>

namespace
{

constexpr long kUnlimited = -1;
long g_allowed = kUnlimited;
bool g_failed = false;

} // namespace

namespace testing_support
{

AllocationsFailAfter::AllocationsFailAfter(long allowed)
{
    g_failed = false;
    g_allowed = allowed;
}

AllocationsFailAfter::~AllocationsFailAfter()
{
    g_allowed = kUnlimited;
}

bool AllocationsFailAfter::Failed()
{
    return g_failed;
}

} // namespace testing_support

// The replaceable global allocation functions; the others (arrays, nothrow) call these.
void* operator new(std::size_t size)
{
    if (g_allowed == 0)
    {
        g_failed = true;
        throw std::bad_alloc();
    }
    if (g_allowed > 0)
        --g_allowed;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
