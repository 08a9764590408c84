#pragma once

namespace tulk::graphics {

class geometry;

// What the engine has already set in GL while a batch of draws runs, so that consecutive
// draws skip the calls that would set it again: the attribute arrays of the last geometry
// stay enabled and pointed until another geometry draws or the batch ends, and unchanged
// uniform values are not sent again. Outside a batch every draw sets up and releases its
// own state, and with caching off every draw does all its calls, as a reference for tests.
class draw_state {
public:
    // Opens a batch for its lifetime; batches nest, and the outermost one leaves no
    // attribute array enabled when it closes.
    class batch {
    public:
        batch();
        ~batch();
        batch(const batch&) = delete;
        batch& operator=(const batch&) = delete;
    };

    static void set_caching(bool on);
    static bool get_caching() { return sCaching; }
    // Whether draws may keep state for the next one: caching on and a batch open.
    static bool keeping() { return sCaching && sDepth > 0; }

    // The geometry whose attribute arrays are enabled and pointed, or null.
    static const geometry* get_arrays_owner() { return sArraysOwner; }
    static void set_arrays_owner(const geometry* g) { sArraysOwner = g; }
    // Disables the kept arrays, if any, and forgets them.
    static void release_arrays();

private:
    static bool sCaching;
    static int sDepth;
    static const geometry* sArraysOwner;
};

} // namespace tulk::graphics
