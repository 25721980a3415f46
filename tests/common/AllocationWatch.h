#pragma once

// What the heap did while a TAllocationWatch lived: the largest single block
// asked for, the highest and the final amount of memory in use above the
// start. Proves that a refused file was refused before its pictures or lines
// were allocated, and that a board holds no more pictures than its budget.
// Needs AddressSanitizer's allocator hooks; elsewhere Available() is false
// and the caller leaves those checks out.

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define ZARVOS_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZARVOS_ALLOCATION_HOOKS 1
#endif
#endif

#ifdef ZARVOS_ALLOCATION_HOOKS
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void *,
                                                                             size_t),
                                                         void (*free_hook)(const volatile void *));
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

class TAllocationWatch
{
public:
    TAllocationWatch()
    {
#ifdef ZARVOS_ALLOCATION_HOOKS
        // Both hooks must be given, or none is installed.
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(&Hook, &FreeHook);
        (void)installed;
#endif
        State().Largest = 0;
        State().Start = InUse();
        State().Peak = State().Start.load();
        State().Watching = true;
    }
    ~TAllocationWatch()
    {
        State().Watching = false;
    }
    TAllocationWatch(const TAllocationWatch &) = delete;
    TAllocationWatch &operator=(const TAllocationWatch &) = delete;

    static bool Available()
    {
#ifdef ZARVOS_ALLOCATION_HOOKS
        return true;
#else
        return false;
#endif
    }
    long long Largest() const
    {
        return (long long)State().Largest.load();
    }
    long long PeakGrowth() const
    {
        return (long long)State().Peak - (long long)State().Start;
    }
    long long Growth() const
    {
        return (long long)InUse() - (long long)State().Start;
    }

private:
    struct TState
    {
        std::atomic<size_t> Largest{0}, Start{0}, Peak{0};
        std::atomic<bool> Watching{false};
    };
    static TState &State()
    {
        static TState state;
        return state;
    }
    static size_t InUse()
    {
#ifdef ZARVOS_ALLOCATION_HOOKS
        return __sanitizer_get_current_allocated_bytes();
#else
        return 0;
#endif
    }
    static void Raise(std::atomic<size_t> &value, size_t to)
    {
        size_t seen = value;
        while (to > seen && !value.compare_exchange_weak(seen, to)) {
        }
    }
    static void FreeHook(const volatile void *) {}
    static void Hook(const volatile void *, size_t size)
    {
        if (!State().Watching)
            return;
        Raise(State().Largest, size);
        Raise(State().Peak, InUse());
    }
};
