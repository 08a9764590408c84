// The global operator new of the bench executable: plain malloc, counted, and while the
// benchmark watches a frame, told apart by whose code asked for it.
#include "bench/allocations.h"

#include <cstdlib>
#include <dlfcn.h>
#include <exception>
#include <execinfo.h>
#include <new>

namespace {

const void* object_of(const void* address) {
    Dl_info info;
    return dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

// The innermost caller outside the C++ library decides: this executable holds the game
// and the engine; anything else is the driver (or another library it pulls in).
allocations::origin origin_of(const void* caller) {
    static const void* const program = object_of(reinterpret_cast<const void*>(&object_of));
    static const void* const cxx = object_of(reinterpret_cast<const void*>(&std::terminate));
    const void* object = object_of(caller);
    if (object == cxx) {
        // Past this allocator's own frames and the library's, to whoever called it.
        void* frames[24];
        const int n = backtrace(frames, 24);
        int i = 0;
        while (i < n && object_of(frames[i]) == program) {
            ++i;
        }
        while (i < n && object_of(frames[i]) == cxx) {
            ++i;
        }
        object = i < n ? object_of(frames[i]) : nullptr;
    }
    return object == program ? allocations::origin::game : allocations::origin::driver;
}

thread_local bool inside = false;

void count(const void* caller) {
    if (!allocations::watching() || inside) {
        allocations::note(allocations::origin::game);
        return;
    }
    inside = true;
    allocations::note(origin_of(caller));
    inside = false;
}

void* allocate(std::size_t size) {
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

void* operator new(std::size_t size) {
    count(__builtin_return_address(0));
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    count(__builtin_return_address(0));
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    count(__builtin_return_address(0));
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    count(__builtin_return_address(0));
    return allocate(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
