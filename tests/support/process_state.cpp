#include "support/process_state.h"

#include "engine/graphics/draw_state.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/texture.h"
#include "support/fake_clock.h"

#include <cstdlib>
#include <sstream>
#include <unistd.h>

using namespace tulk::graphics;

namespace {

std::map<std::string, std::string> current_environment() {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    return variables;
}

} // namespace

process_state::process_state()
    : environment(current_environment()), directory(std::filesystem::current_path()) {}

void process_state::OnTestStart(const testing::TestInfo&) {
    reset();
}

void process_state::OnTestEnd(const testing::TestInfo&) {
    const std::string left = leftovers();
    if (!left.empty()) {
        ADD_FAILURE() << "the test left behind " << left;
    }
    reset();
}

std::string process_state::leftovers() {
    std::ostringstream out;
    if (!model::sModels.empty()) {
        out << model::sModels.size() << " model(s); ";
    }
    if (scene::sSceneCount != 0) {
        out << scene::sSceneCount << " scene(s); ";
    }
    if (scene::sShadowFramebuffer != nullptr || scene::sShadowTexture != nullptr) {
        out << "the shadow map; ";
    }
    if (program::get_program_in_use() != nullptr) {
        out << "a program in use; ";
    }
    if (draw_state::get_arrays_owner() != nullptr) {
        out << "enabled attribute arrays; ";
    }
    std::string text = out.str();
    return text.empty() ? text : text.substr(0, text.size() - 2);
}

void process_state::reset() const {
    // What a leak left is dropped here, not freed: its context is gone.
    model::sModels.clear();
    scene::sSceneCount = 0;
    scene::sShadowFramebuffer = nullptr;
    scene::sShadowTexture = nullptr;
    draw_state::set_arrays_owner(nullptr);
    draw_state::set_caching(true);

    scene::sGlobalSettings = {};
    model::sGlobalMaterials = {};
    model::set_draw_observer(nullptr);
    geometry::disable_get_draw_calls();
    geometry::get_draw_calls();
    program::get_switches();
    texture::reset_units();

    game_clock::set_source(nullptr);
    fake_clock::ticks = 0;
    fake_clock::reads = 0;

    const std::map<std::string, std::string> now = current_environment();
    for (const auto& [name, value] : now) {
        if (environment.count(name) == 0) {
            unsetenv(name.c_str());
        }
    }
    for (const auto& [name, value] : environment) {
        const auto it = now.find(name);
        if (it == now.end() || it->second != value) {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    std::filesystem::current_path(directory);
    // A test's watchdog, which would otherwise go off in a later test.
    alarm(0);
}
