#pragma once

#include <functional>
#include <string>

// The best score, kept between runs as one decimal line in a small text file.

// Every function here may be called from any thread.

// The stored score; 0 when the file is missing, holds no number or holds a negative one,
// and when `path` is empty (no place to keep a score).
// A file that exists but cannot be read, or is not a regular file, also gives 0: one line
// names it and why, and no write of this run touches it. Never waits on a FIFO.
unsigned int read_high_score(const std::string& path);

// Stores `score`, or the file's own score where that is higher (another run may have
// saved since this one read it), under a lock on "<file>.lock" that keeps two runs from
// saving at once. The new line goes to "<file>.new" and is renamed over the file, so a
// crash or a full disk part way leaves the old score; a symbolic link stays and its
// target is replaced. Where no file can be made beside it the file is rewritten in place.
// When the score cannot be saved one line says so (once per run). While another run holds
// the lock, `keep_waiting`, when given, is called between tries and gives the save up by
// returning false; without it the save waits as long as the lock is held.
// An empty path saves nothing.
void write_high_score(const std::string& path, unsigned int score,
                      const std::function<bool()>& keep_waiting = nullptr);

// Whether the file at `path` holds `score` exactly as write_high_score would write it.
bool high_score_file_holds(const std::string& path, unsigned int score);

// Says that the score could not be saved to `path`, and why: once per run, whoever says it.
void say_high_score_not_saved(const std::string& path, const std::string& why);
