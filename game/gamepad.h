#pragma once

#include <SDL2/SDL.h>
#include <array>
#include <vector>

class game;

// Every game controller SDL sees, opened as it arrives and closed as it goes, with its
// buttons and sticks turned into the game's actions: the d-pad and the left stick yaw and
// pitch (up dives, as the Up key does), the shoulders roll, the right trigger and B give
// double speed, A and Start start and pause, Back with Start quits. Paused, the d-pad and
// the stick move through the menu, A chooses a line and B resumes.
// Destroy it before the window, which shuts SDL down.
class gamepad {
public:
    // A stick or trigger counts as held past half its travel and as let go below a third,
    // so that one resting near the threshold cannot flicker.
    static constexpr int press_travel = 16384;
    static constexpr int release_travel = 10923;

    gamepad();
    ~gamepad();

    gamepad(const gamepad&) = delete;
    gamepad& operator=(const gamepad&) = delete;

    // Handles a controller event (others are ignored) and returns whether it asks to quit.
    // A controller unplugged during a game pauses it.
    bool handle(const SDL_Event& event, game& g);

    // Lets go of every input the controllers hold, as when the window loses focus and SDL
    // stops reporting them: the snake must not go on turning on an input long released.
    void release_all(game& g);

    size_t count() const { return pads.size(); }

private:
    struct pad {
        SDL_GameController* controller;
        SDL_JoystickID id;
        std::array<bool, SDL_CONTROLLER_BUTTON_MAX> buttons{};
        // The directions held, -1, 0 or 1; a trigger holds 0 or 1.
        int stick_x = 0;
        int stick_y = 0;
        int trigger = 0;
    };

    void add(int device_index);
    void remove(SDL_JoystickID id, game& g);
    pad* find(SDL_JoystickID id);
    bool button(pad& p, int b, bool down, game& g);
    void axis(pad& p, int a, int value, game& g);
    void release(pad& p, game& g);

    bool started = false;
    std::vector<pad> pads;
};
