#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

// The state a test program shares between its tests: the engine's statics (scene and
// material settings, the draw counters, the bound-texture record), the game clock and the
// fake clock's counters, a pending alarm, the environment and the working directory. Set to
// the program's defaults before and after each test, so that the tests pass alone, together
// and in any order. A test that leaves a model, a scene, a shadow map or a program in use
// behind has leaked something made in its GL context, which died with it: that fails it.
class process_state : public testing::EmptyTestEventListener {
public:
    // Takes the environment and the working directory as they are now as the defaults.
    process_state();

    void OnTestStart(const testing::TestInfo& info) override;
    void OnTestEnd(const testing::TestInfo& info) override;

    // What outlives a test that should not, or "" when nothing does.
    static std::string leftovers();
    // Back to the defaults.
    void reset() const;

private:
    std::map<std::string, std::string> environment;
    std::filesystem::path directory;
};
