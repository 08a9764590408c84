#pragma once

#include <SDL2/SDL.h>
#include <string>

namespace tulk::graphics {

// The one SDL window and its OpenGL ES 2.0 context. Created before any other engine
// object and destroyed after all of them, since everything that touches GL needs it.
class window {
public:
    // Starts SDL and opens the window; a window that is not full screen can be resized.
    // In full screen `width` and `height` are the window's size once it leaves full
    // screen. When SDL, the window or the context cannot be
    // made, prints one line naming what failed with SDL's reason and exits with status 1.
    window(const std::string& title, int x, int y, int width, int height, bool fullscreen,
           bool grab_input);
    ~window();

    window(const window&) = delete;
    window& operator=(const window&) = delete;

    // The drawable size in pixels, as of the last update_size().
    int get_width() const { return width; }
    int get_height() const { return height; }
    SDL_Window* get_sdl_window() const { return handle; }

    // Reads the drawable size again (after a resize, a switch between full screen and a
    // window, a display's mode change) and makes it the default framebuffer's size and
    // the viewport. Returns whether it changed.
    bool update_size();

    bool is_fullscreen() const { return fullscreen; }
    // Full screen at the desktop's size, or back to the window of the size given at
    // construction (or the one the player last gave it). Call update_size() after.
    void set_fullscreen(bool on);
    // Confines the mouse and keyboard to the window whenever it has the focus, or lets
    // them go.
    void set_input_grab(bool on);
    bool get_input_grab() const;

    void swap() const;

private:
    // SDL with what it can start, and a display someone can see.
    void start_sdl();
    // The window for an OpenGL ES 2.0 context: full screen at the desktop's size, or at
    // the given place and size.
    void open_window(bool fullscreen, bool grab_input);
    // The stored size becomes the default framebuffer's and the viewport.
    void use_size();
    [[noreturn]] void fail(const char* what);

    SDL_Window* handle = nullptr;
    SDL_GLContext context = nullptr;
    std::string title;
    int x;
    int y;
    int width;
    int height;
    bool fullscreen;
    // Where the window goes when it leaves full screen.
    int windowed_x;
    int windowed_y;
    int windowed_width;
    int windowed_height;
};

} // namespace tulk::graphics
