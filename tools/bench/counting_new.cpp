// The global operator new of the bench executable: plain malloc, counted, and while the
// benchmark watches a frame, told apart by whose code asked for it.
#include "bench/allocations.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <link.h>
#include <new>

namespace {

// Where the code of one loaded object lies: its executable segments.
struct code_ranges {
    static constexpr int most = 4;
    std::uintptr_t from[most] = {};
    std::uintptr_t to[most] = {};
    int count = 0;

    bool holds(const void* address) const {
        const auto a = reinterpret_cast<std::uintptr_t>(address);
        for (int i = 0; i < count; ++i) {
            if (a >= from[i] && a < to[i]) {
                return true;
            }
        }
        return false;
    }
};

code_ranges program_code;
code_ranges cxx_code;
bool ranges_known = false;

int note_ranges(dl_phdr_info* info, std::size_t, void*) {
    const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    code_ranges* ranges = nullptr;
    if (name[0] == '\0') {
        ranges = &program_code; // the executable itself comes first, without a name
    } else if (std::strstr(name, "libstdc++") != nullptr) {
        ranges = &cxx_code;
    }
    if (ranges == nullptr || ranges->count > 0) {
        return 0;
    }
    for (int i = 0; i < info->dlpi_phnum && ranges->count < code_ranges::most; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
            ranges->from[ranges->count] = info->dlpi_addr + segment.p_vaddr;
            ranges->to[ranges->count] = info->dlpi_addr + segment.p_vaddr + segment.p_memsz;
            ++ranges->count;
        }
    }
    return 0;
}

// The innermost caller outside the C++ library decides: this executable holds the game
// and the engine; anything else is the driver (or a library it pulls in). Address ranges
// only: a symbol lookup per allocation would cost more than the frames being measured.
allocations::origin origin_of(const void* caller) {
    if (!ranges_known) {
        ranges_known = true;
        dl_iterate_phdr(note_ranges, nullptr);
    }
    bool game = program_code.holds(caller);
    if (cxx_code.holds(caller)) {
        // Past this allocator's own frames and the library's, to whoever called it.
        void* frames[24];
        const int n = backtrace(frames, 24);
        int i = 0;
        while (i < n && program_code.holds(frames[i])) {
            ++i;
        }
        while (i < n && cxx_code.holds(frames[i])) {
            ++i;
        }
        game = i < n && program_code.holds(frames[i]);
    }
    return game ? allocations::origin::game : allocations::origin::driver;
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
