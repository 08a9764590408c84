#pragma once

#include <SDL2/SDL_mixer.h>
#include <map>
#include <string>

// Music pieces and sound effects through SDL2_mixer, kept in two tables by the path they
// were loaded from. Nothing here ever stops the game: without a sound device, or for a
// file that fails to load, the key holds a null handle and plays as silence.
namespace tulk::audio {

// Owned handles, keyed by load path ("music/Ouroboros.ogg", "sfx/Blast(1).wav").
extern std::map<std::string, Mix_Music*> musicMap;
extern std::map<std::string, Mix_Chunk*> soundMap;

// Opens the mixer: 44100 Hz, signed 16-bit, stereo, 1024-sample chunks. Starts SDL's
// audio subsystem first if nobody has. When no device opens it says so in one line
// and everything after plays as silence.
void init();

// Frees every loaded handle and closes the mixer. The last audio call of the process.
void destroy();

// Loads every name in `dir` ending in ".ogg" as music and every name ending in ".wav" as an
// effect, under the key dir + "/" + name. Other names are skipped. With a sound device, a
// file that does not load prints one line naming it and why.
void load_folder(const std::string& dir);

// Loads one file the same way, under `path` as given.
void load_file(const std::string& path);

// Loops the piece forever, replacing (or restarting) whatever music plays.
void play_music(const std::string& key);

// Plays the effect once on the first free channel at `volume` percent of full; 0 or
// less plays nothing. The volume stays with the effect until its next play.
void play_sound(const std::string& key, int volume);

// Scales all music and every effect channel to these per cents of what they play at:
// 100 plays them as given, 0 silences them.
void set_volumes(int music_percent, int effects_percent);

void stop_sound();
void stop_music();

// The mixer volume (128 is full) that play_sound hands over for `percent`.
int mixer_volume(int percent);

} // namespace tulk::audio
