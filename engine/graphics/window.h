#pragma once

#include <SDL2/SDL.h>
#include <string>

namespace tulk::graphics {

// The one SDL window and its OpenGL ES 2.0 context. Created before any other engine
// object and destroyed after all of them, since everything that touches GL needs it.
class window {
public:
    // Starts SDL and opens the window. When SDL, the window or the context cannot be
    // made, prints one line naming what failed with SDL's reason and exits with status 1.
    window(const std::string& title, int x, int y, int width, int height, bool fullscreen,
           bool grab_input);
    ~window();

    window(const window&) = delete;
    window& operator=(const window&) = delete;

    int get_width() const { return width; }
    int get_height() const { return height; }
    SDL_Window* get_sdl_window() const { return handle; }

    void swap() const;

private:
    // SDL with what it can start, and a display someone can see.
    void start_sdl();
    // The window for an OpenGL ES 2.0 context: full screen at the desktop's size, or at
    // the given place and size.
    void open_window(bool fullscreen, bool grab_input);
    [[noreturn]] void fail(const char* what);

    SDL_Window* handle = nullptr;
    SDL_GLContext context = nullptr;
    std::string title;
    int x;
    int y;
    int width;
    int height;
};

} // namespace tulk::graphics
