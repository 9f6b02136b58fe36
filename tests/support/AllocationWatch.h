// The most heap memory taken at once while a watch is open, above what was held when it opened: for
// tests that a reader refuses a file without taking the memory its header claims. Measured through
// AddressSanitizer's allocator hooks, so only in sanitizer builds (CI runs the tests so); elsewhere
// Available() is false and the watch measures nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define KELVARN_ALLOCATION_WATCH 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELVARN_ALLOCATION_WATCH 1
#endif
#endif

#ifdef KELVARN_ALLOCATION_WATCH
// From the sanitizer runtime (its header is not installed with every compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void* p);
#endif

namespace kelvarn::test {

class AllocationWatch {
public:
    AllocationWatch() {
#ifdef KELVARN_ALLOCATION_WATCH
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
        (void)installed;
#endif
        Live() = 0;
        Peak() = 0;
        Open() = true;
    }
    ~AllocationWatch() { Open() = false; }
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    static bool Available() {
#ifdef KELVARN_ALLOCATION_WATCH
        return true;
#else
        return false;
#endif
    }
    std::int64_t PeakBytes() const { return Peak(); }

private:
    // One watch at a time; the hooks may run on any thread.
    static std::atomic<bool>& Open() {
        static std::atomic<bool> open{false};
        return open;
    }
    static std::atomic<std::int64_t>& Live() {
        static std::atomic<std::int64_t> live{0};
        return live;
    }
    static std::atomic<std::int64_t>& Peak() {
        static std::atomic<std::int64_t> peak{0};
        return peak;
    }
#ifdef KELVARN_ALLOCATION_WATCH
    static void OnMalloc(const volatile void*, std::size_t size) {
        if (!Open()) return;
        const std::int64_t live = Live() += static_cast<std::int64_t>(size);
        std::int64_t peak = Peak();
        while (live > peak && !Peak().compare_exchange_weak(peak, live)) {
        }
    }
    static void OnFree(const volatile void* p) {
        if (Open() && p) Live() -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(p));
    }
#endif
};

}  // namespace kelvarn::test
