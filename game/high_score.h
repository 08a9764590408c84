#pragma once

#include <string>

// The best score, kept between runs as one decimal line in a small text file.

// The stored score; 0 when the file is missing, holds no number or holds a negative one.
unsigned int read_high_score(const std::string& path);

// Replaces the file's contents with `score` as a whole: a crash or a full disk part way
// leaves the previous file as it was. When the file cannot be written the score is not
// saved and one line says so (once per run).
void write_high_score(const std::string& path, unsigned int score);
