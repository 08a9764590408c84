#pragma once

#include "game/settings.h"
#include "game/text.h"

#include <memory>
#include <string>
#include <vector>

// The list under "paused": resume, the two volumes, the sound, smooth motion, the display
// and quit, one
// line each with its value, the chosen one marked. Keys move it and change the settings
// it is given; what only the frame loop can do (quit, switching the display) it hands back.
class pause_menu {
public:
    enum class item { resume, music, effects, sound, smooth, full_screen, quit };
    enum class key { up, down, left, right, choose };
    enum class outcome { none, moved, changed, resume, quit, smooth, full_screen };
    // What the lines show that the settings do not hold: the game's own state.
    struct shown_state {
        bool full_screen = false;
        bool smooth = false;
    };

    // Without `full_screen_item` (no window manager to give a window to) that line is left out.
    explicit pause_menu(bool full_screen_item);

    // What `k` does; a new value is made in `prefs`, which the caller applies and saves.
    outcome press(key k, settings& prefs);
    // The first line chosen again, as every pause begins.
    void reset() { chosen = 0; }

    const std::vector<item>& get_items() const { return items; }
    item get_chosen() const { return items[chosen]; }
    // The line of `i` as shown, unmarked ("MUSIC 70%").
    static std::string line(item i, const settings& prefs, shown_state state);
    // Whether a video driver has windows to switch to (one with a window manager's
    // desktop, not a handheld's bare display).
    static bool has_windows(const char* video_driver);

    // The lines' texts, rebuilt to show these values and the chosen line.
    void show(const settings& prefs, shown_state state);
    // Places the lines under a pause text of `pause_size` pixels centred on this screen,
    // as large as `scale` allows and as small as the room under it needs.
    void place(int width, int height, float pause_size, int scale);
    std::vector<text*> get_texts() const;

private:
    std::vector<item> items;
    size_t chosen = 0;
    std::vector<std::unique_ptr<text>> lines;
};
