#include "engine/graphics/window.h"

#include "engine/graphics/framebuffer.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/util/fatal.h"

#include <algorithm>

namespace tulk::graphics {

namespace {

// SDL 2.0.14 finds joysticks through libudev, loaded at run time. Where a system has none,
// its joystick driver fails to start but SDL carries on, and SDL_Quit then ends the program
// with a segmentation fault as that driver lets go of the udev it never had. Told to look
// for joysticks without udev, SDL watches /dev/input itself and shuts down cleanly.
void find_joysticks_without_missing_udev() {
    if (SDL_getenv("SDL_JOYSTICK_DISABLE_UDEV") != nullptr) {
        return;
    }
    for (const char* name : {"libudev.so.1", "libudev.so.0"}) {
        if (void* udev = SDL_LoadObject(name)) {
            SDL_UnloadObject(udev);
            return;
        }
    }
    SDL_ClearError();
    SDL_setenv("SDL_JOYSTICK_DISABLE_UDEV", "1", 0);
}

} // namespace

window::window(const std::string& title, int x, int y, int width, int height, bool fullscreen,
               bool grab_input)
    : title(title), x(x), y(y), width(width), height(height), fullscreen(fullscreen), windowed_x(x),
      windowed_y(y), windowed_width(width), windowed_height(height) {
    start_sdl();
    open_window(fullscreen, grab_input);

    context = SDL_GL_CreateContext(handle);
    if (context == nullptr) {
        fail("SDL_GL_CreateContext");
    }

    update_size();
    use_size();
}

bool window::update_size() {
    // The drawable size, not the window's: they differ on a high-density display.
    int w = 0;
    int h = 0;
    SDL_GL_GetDrawableSize(handle, &w, &h);
    // A minimised window may have no drawable; the last good size stays.
    if (w <= 0 || h <= 0 || (w == width && h == height)) {
        return false;
    }
    width = w;
    height = h;
    use_size();
    return true;
}

void window::use_size() {
    // Returning from an offscreen pass restores a viewport of the window's size.
    framebuffer::set_default_dimensions(static_cast<unsigned int>(width),
                                        static_cast<unsigned int>(height));
    glViewport(0, 0, width, height);
}

void window::set_fullscreen(bool on) {
    if (on == fullscreen) {
        return;
    }
    if (on) {
        SDL_GetWindowPosition(handle, &windowed_x, &windowed_y);
        SDL_GetWindowSize(handle, &windowed_width, &windowed_height);
        SDL_SetWindowFullscreen(handle, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(handle, 0);
        SDL_SetWindowResizable(handle, SDL_TRUE);
        SDL_SetWindowSize(handle, windowed_width, windowed_height);
        SDL_SetWindowPosition(handle, windowed_x, windowed_y);
    }
    fullscreen = on;
}

void window::set_input_grab(bool on) {
    SDL_SetWindowGrab(handle, on ? SDL_TRUE : SDL_FALSE);
}

bool window::get_input_grab() const {
    // What was asked for: SDL holds the grab itself only while the window has the focus.
    return (SDL_GetWindowFlags(handle) & SDL_WINDOW_INPUT_GRABBED) != 0;
}

void window::start_sdl() {
    find_joysticks_without_missing_udev();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK |
                 SDL_INIT_HAPTIC | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS) != 0) {
        // No sound card, joystick or haptics is no reason to stop: only video is essential.
        if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            fail("SDL_Init");
        }
        SDL_InitSubSystem(SDL_INIT_AUDIO);
    }
    // With no display SDL falls back to a driver that shows nothing; a game nobody can
    // see must not run on unnoticed, so only accept one that was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if (driver != nullptr &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
        (requested == nullptr || SDL_strcasecmp(requested, driver) != 0)) {
        const char* x11 = SDL_getenv("DISPLAY");
        const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
        if (wayland != nullptr && wayland[0] != '\0') {
            SDL_SetError("cannot connect to the Wayland display \"%s\"", wayland);
        } else if (x11 != nullptr && x11[0] != '\0') {
            SDL_SetError("cannot connect to the X display \"%s\"", x11);
        } else {
            SDL_SetError("no display found (set DISPLAY or WAYLAND_DISPLAY)");
        }
        fail("opening a display");
    }
}

void window::open_window(bool fullscreen, bool grab_input) {
    // Ask for the ES profile too, so desktop SDL gives an OpenGL ES 2.0 context.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (grab_input) {
        flags |= SDL_WINDOW_INPUT_GRABBED;
    }
    if (fullscreen) {
        // The desktop's mode decides the size. Asking for it explicitly matters where no
        // window manager resizes the window (a bare X server would leave it at 1x1).
        SDL_DisplayMode mode{};
        int w = 0;
        int h = 0;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
            w = mode.w;
            h = mode.h;
        }
        handle = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w,
                                  h, flags | SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        // A window larger than the display could never be seen whole. An offscreen one
        // has no display to fit.
        SDL_Rect usable{};
        const char* driver = SDL_GetCurrentVideoDriver();
        if ((driver == nullptr || SDL_strcmp(driver, "offscreen") != 0) &&
            SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
            width = std::min(width, usable.w);
            height = std::min(height, usable.h);
        }
        handle = SDL_CreateWindow(title.c_str(), x, y, width, height, flags | SDL_WINDOW_RESIZABLE);
    }
    if (handle == nullptr) {
        fail("SDL_CreateWindow");
    }
}

window::~window() {
    if (context != nullptr) {
        // The built-in geometry and the generated programs live exactly as long as the
        // context they are in. An error some earlier call left pending is not the
        // release's: clear it first.
        while (glGetError() != GL_NO_ERROR) {
        }
        geometry::destroy();
        model::destroy_programs();
        SDL_GL_DeleteContext(context);
    }
    if (handle != nullptr) {
        SDL_DestroyWindow(handle);
    }
    SDL_Quit();
}

void window::swap() const {
    // A swap of an offscreen surface (a pbuffer) hands the driver nothing, and a software
    // renderer then gathers frame after frame into one growing batch: 12 MiB more resident
    // at 800x480 with Mesa's. Every frame goes to the driver here, whatever the surface.
    glFlush();
    SDL_GL_SwapWindow(handle);
}

void window::fail(const char* what) {
    const std::string reason = SDL_GetError();
    if (context != nullptr) {
        SDL_GL_DeleteContext(context);
    }
    if (handle != nullptr) {
        SDL_DestroyWindow(handle);
    }
    SDL_Quit();
    util::fatal(1, "%s: %s failed: %s\n", title.c_str(), what, reason.c_str());
}

} // namespace tulk::graphics
