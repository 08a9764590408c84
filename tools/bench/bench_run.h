#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One benchmark run at one window size, meant to have a process of its own so that its
// start-up and peak memory are its own: the real game set up headless on a clock that
// advances 32 ms a frame, driven either by the flight script through whole games or by
// the helix pilot with the snake grown to a given length, each frame timed in parts and
// followed by the floor drawing the same draws.
class bench_run {
public:
    struct frame {
        char kind = 'p';                 // 't' title, 'p' playing, 'z' paused, 'd' dying
        double update_ms = 0.0;          // keys, camera placement, world update, outline decay
        double draw_ms = 0.0;            // until the last GL call of the draw returns
        double whole_ms = 0.0;           // update, draw and glFinish
        double floor_draw_ms = 0.0;      // the floor's draws until the last GL call returns
        double floor_ms = 0.0;           // the floor's draws and glFinish
        unsigned draws = 0;              // the geometry's draw-call counter
        unsigned switches = 0;           // glUseProgram calls
        unsigned floor_draws = 0;        // draws the floor replayed
        unsigned allocations = 0;        // operator new calls of the game's code during its frame
        unsigned driver_allocations = 0; // and of the GL driver's (its shader compiler)
        unsigned events = 0;             // what happened in the frame, from `event`
        unsigned blocks = 0;             // the snake's length after the frame
    };

    // Frame events that explain an allocation.
    enum event : unsigned {
        game_started = 1,  // left Alt on the title: a fresh snake and cage
        pickup_eaten = 2,  // the snake grew and a new pickup was made
        texts_rebuilt = 4, // the score texts show a new score
        game_over = 8,     // the title came back and the high score was saved
    };

    // The real frame loop in one state for a while: frames drawn and processor time.
    struct loop_figure {
        std::string state; // "title", "play" or "paused"
        bool smooth = false;
        double frames_per_second = 0.0;
        double cpu_percent = 0.0; // of one core, the whole process
    };

    struct result {
        int width = 0;
        int height = 0;
        int length = 0;          // 0 for the scripted games, else the length the snake grew to
        bool piled = false;      // whether its new blocks were all laid on the tail at once
        std::string renderer;    // GL_RENDERER
        double startup_ms = 0.0; // from the spawn to the end of the first drawn frame
        double window_ms = 0.0;  // the parts of it, from the process's main on
        double init_ms = 0.0;
        double setup_ms = 0.0;
        double first_frame_ms = 0.0;
        long peak_rss_kib = 0;
        // Resident memory after each start-up step and after the last frame. The context
        // figure follows the driver's own start: the window cleared, one trivial program
        // compiled and one triangle drawn, which any program drawing with it pays.
        long rss_window_kib = 0;
        long rss_context_kib = 0;
        long rss_engine_kib = 0;
        long rss_setup_kib = 0;
        long rss_first_frame_kib = 0;
        long rss_end_kib = 0;
        unsigned skipped_draws = 0; // shadow-pass or other draws the floor did not replay
        std::vector<frame> frames;
        // The real frame loop with the game paused: its seconds, and the processor time the
        // whole process took meanwhile, in per cent of one core.
        int paused_seconds = 0;
        double paused_cpu_percent = 0.0;
        std::vector<loop_figure> loop;
    };

    struct options {
        int width = 800;
        int height = 480;
        int frames = 2000;
        unsigned seed = 1;
        int length = 0;                // > 0: grow the snake to this length and fly it
        bool piled = false;            // lay the new blocks on the tail all at once
        int paused_seconds = 0;        // > 0: then run the real frame loop paused so long
        int loop_seconds = 0;          // > 0: only the real frame loop, each state so long
        std::string stage_dir;         // the game's data
        std::int64_t spawned_at = 0;   // steady-clock nanoseconds when the process was made
        std::int64_t main_entered = 0; // and when its main began
    };

    // Runs the game and the floor; needs no display. Exits through the engine's fatal
    // path when the stage folder is unusable or a grown snake dies.
    static result run(const options& o);

    // A result as JSON, and its reading; false on a missing or malformed file.
    static bool write(const result& r, const std::string& path);
    static bool read(const std::string& path, result& r);
    // Several results as one JSON array.
    static bool write_all(const std::vector<result>& rs, const std::string& path);

    // steady_clock in nanoseconds, the clock every figure above is taken with.
    static std::int64_t now_ns();
};
