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
code_ranges c_code;
bool ranges_known = false;

int note_ranges(dl_phdr_info* info, std::size_t, void*) {
    const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    code_ranges* ranges = nullptr;
    if (name[0] == '\0') {
        ranges = &program_code; // the executable itself comes first, without a name
    } else if (std::strstr(name, "libstdc++") != nullptr) {
        ranges = &cxx_code;
    } else if (std::strstr(name, "/libc.so") != nullptr) {
        ranges = &c_code;
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

// The game's when every frame of the stack lies in this executable, the C++ library or the
// C library (which calls main); the driver's as soon as one lies anywhere else. The caller
// alone does not tell: the C++ library's string code instantiated in this executable
// serves the driver's compiler too, which binds to it. Address ranges only: a symbol
// lookup per allocation would cost more than the frames being measured.
allocations::origin origin() {
    if (!ranges_known) {
        ranges_known = true;
        dl_iterate_phdr(note_ranges, nullptr);
    }
    void* frames[32];
    const int n = backtrace(frames, 32);
    for (int i = 0; i < n; ++i) {
        if (!program_code.holds(frames[i]) && !cxx_code.holds(frames[i]) &&
            !c_code.holds(frames[i])) {
            return allocations::origin::driver;
        }
    }
    return allocations::origin::game;
}

thread_local bool inside = false;

void count() {
    if (!allocations::watching() || inside) {
        allocations::note(allocations::origin::game);
        return;
    }
    inside = true;
    allocations::note(origin());
    inside = false;
}

void* allocate(std::size_t size) {
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

void* operator new(std::size_t size) {
    count();
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    count();
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    count();
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    count();
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
