#include "engine/graphics/scene.h"

#include "engine/graphics/camera.h"
#include "engine/graphics/framebuffer.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/light.h"
#include "engine/graphics/model.h"
#include "engine/graphics/texture.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using tulk::graphics::camera;
using tulk::graphics::framebuffer;
using tulk::graphics::geometry;
using tulk::graphics::light;
using tulk::graphics::model;
using tulk::graphics::scene;

namespace {

// Window pixel (GL's bottom-left origin) that a world point lands on.
glm::ivec2 project(const camera& cam, const glm::vec3& world, int width, int height) {
    const glm::vec4 clip = cam.get_view_projection_matrix() * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return {static_cast<int>((ndc.x * 0.5f + 0.5f) * static_cast<float>(width)),
            static_cast<int>((ndc.y * 0.5f + 0.5f) * static_cast<float>(height))};
}

glm::ivec3 rgb(const glm::u8vec4& p) {
    return {p.r, p.g, p.b};
}

glm::ivec3 expected_rgb(const glm::vec3& colour) {
    return glm::ivec3(glm::round(glm::clamp(colour, 0.0f, 1.0f) * 255.0f));
}

::testing::AssertionResult close_to(const glm::u8vec4& actual, const glm::vec3& expected,
                                    int tolerance = 2) {
    const glm::ivec3 want = expected_rgb(expected);
    const glm::ivec3 got = rgb(actual);
    for (int i = 0; i < 3; ++i) {
        if (std::abs(got[i] - want[i]) > tolerance) {
            return ::testing::AssertionFailure()
                   << "got (" << got.r << ", " << got.g << ", " << got.b << "), want (" << want.r
                   << ", " << want.g << ", " << want.b << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

void place_camera(camera& cam, const glm::vec3& eye, const glm::vec3& centre) {
    cam.set_eye(eye);
    cam.set_centre(centre);
}

model* cube(const glm::vec3& pos, const glm::vec3& size, const glm::vec3& colour) {
    auto* m = new model;
    m->set_geometry(geometry::find("cube"));
    m->set_pos(pos);
    m->set_size(size);
    m->set_colour(colour);
    return m;
}

// Ambient plus the clamped diffuse term of the generated programs, with a white light.
glm::vec3 lit_colour(const glm::vec3& colour, const glm::vec3& normal, const glm::vec3& dir) {
    return colour * (glm::clamp(glm::dot(-normal, dir), 0.0f, 0.5f) + 0.5f);
}

// A lit cube above a floor, with the light falling at a slant so that the shadow lies
// beside the cube, seen from above and in front.
struct shadow_stage {
    static constexpr int size = 128;
    static constexpr glm::vec3 floor_colour{0.0f, 0.8f, 0.0f};
    static constexpr glm::vec3 cube_colour{0.9f, 0.3f, 0.2f};
    // Deep inside the shadow, and well away from it, on the floor's top.
    static constexpr glm::vec3 shadowed_point{1.0f, 0.0f, 0.1f};
    static constexpr glm::vec3 lit_point{-2.5f, 0.0f, 2.0f};

    test_context ctx{size, size};
    scene s;
    camera cam;
    camera shadow_cam;
    light sun;
    model* floor = nullptr;
    model* block = nullptr;

    shadow_stage() {
        sun.set_direction({1.0f, -2.0f, 0.0f});
        place_camera(cam, {0.0f, 7.0f, 9.0f}, {0.5f, 0.0f, 0.0f});
        shadow_cam.set_projection(camera::orthographic);
        shadow_cam.set_view_height(16.0f);
        shadow_cam.set_z_near(1.0f);
        shadow_cam.set_z_far(60.0f);
        shadow_cam.set_eye(-sun.get_direction() * 20.0f);
        shadow_cam.set_centre({0.0f, 0.0f, 0.0f});
        s.set_camera(&cam);
        s.set_shadow_camera(&shadow_cam);
        s.set_light(&sun);

        floor = cube({0.0f, -0.5f, 0.0f}, {8.0f, 1.0f, 8.0f}, floor_colour);
        floor->set_material_shadowed(true);
        block = cube({0.0f, 1.5f, 0.0f}, {1.0f, 1.0f, 1.0f}, cube_colour);
        block->set_material_shadowed(true);
        s.add_model(floor);
        s.add_model(block);
    }

    ~shadow_stage() {
        delete block;
        delete floor;
    }

    glm::u8vec4 at(const glm::vec3& world) const {
        const glm::ivec2 p = project(cam, world, size, size);
        return ctx.pixel(p.x, p.y);
    }

    // Floor pixels between fully lit and fully shadowed: the filtered edge.
    int penumbra_pixels() const {
        const std::vector<unsigned char> px = ctx.pixels();
        const int lit = expected_rgb(floor_colour).g;
        const int dark = expected_rgb(floor_colour * 0.5f).g;
        int count = 0;
        for (size_t i = 0; i < px.size(); i += 4) {
            if (px[i] == 0 && px[i + 2] == 0 && px[i + 1] > dark + 6 && px[i + 1] < lit - 6) {
                ++count;
            }
        }
        return count;
    }
};

} // namespace

TEST(scene, scenes_share_one_shadow_map_and_unlist_their_models_when_they_end) {
    test_context ctx;
    model a;
    {
        scene one;
        ASSERT_NE(scene::sShadowFramebuffer, nullptr);
        EXPECT_EQ(scene::sShadowFramebuffer->get_width(), 100u);
        framebuffer* shared = scene::sShadowFramebuffer;
        scene two;
        EXPECT_EQ(scene::sShadowFramebuffer, shared);
        scene::set_global_shadow_map_dimensions({64, 32});
        EXPECT_EQ(scene::sShadowTexture->get_height(), 32u);
        // Twice a display wider than the GPU allows clamps to its limit.
        GLint most = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
        scene::set_global_shadow_map_dimensions({most + 1, 32});
        EXPECT_EQ(scene::sShadowFramebuffer->get_width(), static_cast<unsigned int>(most));
        one.add_model(&a);
        two.add_model(&a);
    }
    EXPECT_EQ(scene::sShadowFramebuffer, nullptr);
    EXPECT_EQ(scene::sShadowTexture, nullptr);
    EXPECT_TRUE(a.get_scenes().empty());
    scene again;
    ASSERT_NE(scene::sShadowFramebuffer, nullptr);
    EXPECT_EQ(scene::sShadowFramebuffer->get_width(), 100u);
}

TEST(scene, culls_what_is_outside_the_view_or_encloses_the_eye_and_what_is_invisible) {
    test_context ctx(32, 32);
    scene s;
    camera cam;
    place_camera(cam, {0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
    camera shadow_cam;
    shadow_cam.set_projection(camera::orthographic);
    shadow_cam.set_view_height(30.0f);
    shadow_cam.set_eye({0.0f, 20.0f, 0.0f});
    shadow_cam.set_up({0.0f, 0.0f, -1.0f});
    s.set_shadow_camera(&shadow_cam);
    scene::set_global_outlines(true);

    model* seen = cube({-1.0f, 0.0f, 0.0f}, glm::vec3(1.0f), glm::vec3(1.0f));
    model* hidden = cube({1.0f, 0.0f, 0.0f}, glm::vec3(1.0f), glm::vec3(1.0f));
    model* aside = cube({100.0f, 0.0f, 0.0f}, glm::vec3(1.0f), glm::vec3(1.0f));
    model* around = cube({0.0f, 0.0f, 0.0f}, glm::vec3(20.0f), glm::vec3(1.0f));
    seen->add_child(cube({0.0f, 1.0f, 0.0f}, glm::vec3(0.5f), glm::vec3(1.0f)));
    hidden->add_child(cube({0.0f, 1.0f, 0.0f}, glm::vec3(0.5f), glm::vec3(1.0f)));
    for (model* m : {seen, hidden, aside, around, seen->get_child(0), hidden->get_child(0)}) {
        m->set_outlined(true);
    }
    for (model* m : {seen, hidden, aside, around}) {
        s.add_model(m);
    }
    hidden->set_visible(false);
    geometry::enable_get_draw_calls();

    // Without a camera only the shadow pass runs: seen with its child, and around; aside is
    // out of the light and hidden is invisible with all it carries.
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 3u);
    s.set_camera(&cam);
    s.draw();
    // Outline and main passes: seen and its child only.
    EXPECT_EQ(geometry::get_draw_calls(), 3u + 2u + 2u);

    // A parent that casts no shadow hides its children from the shadow map; one that is
    // not outlined hides them from the outline pass.
    hidden->set_visible(true);
    seen->set_casts_shadow(false);
    hidden->set_outlined(false);
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 3u + 2u + 4u);
    scene::set_global_shadows(false);
    scene::set_global_outlines(false);
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 4u);
    for (model* m : {seen, hidden, aside, around}) {
        delete m;
    }
}

TEST(scene_render, lit_cube_faces_follow_the_lighting_formula) {
    constexpr int size = 128;
    test_context ctx(size, size);
    scene s;
    camera cam;
    place_camera(cam, {2.0f, 2.5f, 3.0f}, {0.0f, 0.0f, 0.0f});
    light sun;
    sun.set_direction({-0.2f, -0.4f, -0.9f});
    s.set_camera(&cam);
    s.set_light(&sun);
    const glm::vec3 colour(0.8f, 0.6f, 0.4f);
    model* box = cube({0.0f, 0.0f, 0.0f}, glm::vec3(1.0f), colour);
    box->set_material_lit(true);
    s.add_model(box);

    s.draw();
    for (const glm::vec3 normal : {glm::vec3(1, 0, 0), glm::vec3(0, 1, 0), glm::vec3(0, 0, 1)}) {
        const glm::ivec2 p = project(cam, normal * 0.5f, size, size);
        EXPECT_TRUE(close_to(ctx.pixel(p.x, p.y), lit_colour(colour, normal, sun.get_direction())))
            << "face " << normal.x << normal.y << normal.z;
    }
    EXPECT_EQ(rgb(ctx.pixel(2, 2)), glm::ivec3(0));

    // Unlit, every face shows the plain colour.
    box->set_material_lit(false);
    s.draw();
    const glm::ivec2 p = project(cam, {0.0f, 0.5f, 0.0f}, size, size);
    EXPECT_TRUE(close_to(ctx.pixel(p.x, p.y), colour));
    delete box;
}

TEST(scene_render, outline_grows_a_unit_cube_by_a_tenth_along_its_diagonal) {
    constexpr int size = 128;
    test_context ctx(size, size);
    scene s;
    camera cam;
    cam.set_projection(camera::orthographic);
    cam.set_view_height(1.28f); // 100 pixels per unit
    cam.set_eye({0.0f, 0.0f, 5.0f});
    s.set_camera(&cam);
    scene::set_global_outlines(true);
    scene::set_global_outline_thickness(10);
    model* box = cube({0.0f, 0.0f, 0.0f}, glm::vec3(1.0f), {1.0f, 1.0f, 1.0f});
    box->set_outlined(true);
    box->set_outline_colour({1.0f, 0.0f, 0.0f});
    s.add_model(box);
    s.draw();

    int drawn = 0;
    int white = 0;
    for (int x = 0; x < size; ++x) {
        const glm::u8vec4 p = ctx.pixel(x, size / 2);
        drawn += rgb(p) != glm::ivec3(0) ? 1 : 0;
        white += p == glm::u8vec4(255, 255, 255, 255) ? 1 : 0;
    }
    // 1 + 0.1 / sqrt(3) = 1.0577 units across.
    EXPECT_GE(drawn, 105);
    EXPECT_LE(drawn, 107);
    EXPECT_GE(white, 99);
    EXPECT_LE(white, 101);
    const glm::ivec2 rim(size / 2 - 52, size / 2);
    EXPECT_EQ(ctx.pixel(rim.x, rim.y), glm::u8vec4(255, 0, 0, 255));

    // A new global colour must rebuild the fixed-colour outline program, which carries the
    // colour in its text; a model outlined in the old global colour keeps that as its own.
    box->set_outline_colour({0.0f, 0.0f, 0.0f});
    scene::set_global_outline_colour({1.0f, 0.0f, 1.0f});
    EXPECT_FALSE(box->get_uses_global_outline_colour());
    box->set_outline_colour({1.0f, 0.0f, 1.0f});
    ASSERT_TRUE(box->get_uses_global_outline_colour());
    s.draw();
    EXPECT_EQ(ctx.pixel(rim.x, rim.y), glm::u8vec4(255, 0, 255, 255));
    delete box;
}

TEST(scene_render, a_cube_shadows_the_floor_with_shadows_on_and_filtering_softens_it) {
    shadow_stage stage;
    stage.s.draw();
    EXPECT_TRUE(close_to(stage.at(stage.shadowed_point), stage.floor_colour * 0.5f));
    EXPECT_TRUE(close_to(stage.at(stage.lit_point), stage.floor_colour));
    EXPECT_EQ(stage.penumbra_pixels(), 0);

    // Filtered and outlined: the picture a person can look at in the build folder.
    scene::set_global_shadow_map_dimensions({256, 256});
    scene::set_global_pcf(3);
    scene::set_global_outlines(true);
    scene::set_global_outline_thickness(60);
    stage.block->set_outline_colour({1.0f, 0.0f, 1.0f});
    stage.block->set_outlined(true);
    stage.s.draw();
    stage.ctx.save_png(std::string(std::getenv("ARDLOW_BUILD_DIR")) + "/scene_render.png");
    const glm::vec3 d = stage.sun.get_direction();
    EXPECT_TRUE(close_to(stage.at(stage.shadowed_point), stage.floor_colour * 0.5f));
    EXPECT_TRUE(
        close_to(stage.at({0.0f, 2.0f, 0.0f}), lit_colour(stage.cube_colour, {0, 1, 0}, d)));
    EXPECT_TRUE(
        close_to(stage.at({0.0f, 1.5f, 0.5f}), lit_colour(stage.cube_colour, {0, 0, 1}, d)));
    EXPECT_GT(stage.penumbra_pixels(), 20);

    scene::set_global_shadows(false);
    stage.s.draw();
    EXPECT_TRUE(close_to(stage.at(stage.shadowed_point), stage.floor_colour));
    EXPECT_EQ(stage.penumbra_pixels(), 0);
}

TEST(scene_render, shadow_pass_does_not_inherit_the_last_models_depth_state) {
    shadow_stage stage;
    // The cube's depth must win over the floor's drawn after it, so the pass needs depth
    // testing even when the last model of the previous frame switched it off.
    stage.s.remove_model(stage.floor);
    stage.s.add_model(stage.floor);
    model* overlay = cube({-3.0f, 0.5f, 3.0f}, glm::vec3(0.5f), {1.0f, 1.0f, 1.0f});
    overlay->set_depth_test(false);
    overlay->set_transparent(true);
    stage.s.add_model(overlay);
    stage.s.draw();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    stage.s.draw();
    EXPECT_TRUE(close_to(stage.at(stage.shadowed_point), stage.floor_colour * 0.5f));
    delete overlay;
}

namespace {

struct observed_draw {
    const model* m;
    model::pass p;
    glm::mat4 mvp;
};
std::vector<observed_draw> observed;

void observe(const model& m, model::pass p, const glm::mat4& mvp) {
    observed.push_back({&m, p, mvp});
}

} // namespace

TEST(scene, draw_observer_sees_every_draw_with_the_matrix_the_shader_gets) {
    test_context ctx(32, 32);
    scene s;
    camera cam;
    place_camera(cam, {0.0f, 2.0f, 8.0f}, {0.0f, 0.0f, 0.0f});
    camera shadow_cam;
    shadow_cam.set_projection(camera::orthographic);
    shadow_cam.set_view_height(30.0f);
    shadow_cam.set_eye({0.0f, 20.0f, 0.0f});
    shadow_cam.set_centre({0.0f, 0.0f, 0.0f});
    shadow_cam.set_up({0.0f, 0.0f, -1.0f});
    s.set_camera(&cam);
    s.set_shadow_camera(&shadow_cam);
    scene::set_global_outlines(true);
    scene::set_global_outline_thickness(30);

    model* outlined = cube({-1.0f, 0.0f, 0.0f}, {1.0f, 2.0f, 1.0f}, glm::vec3(1.0f));
    outlined->set_outlined(true);
    model* plain = cube({1.5f, 0.0f, 0.0f}, glm::vec3(0.5f), glm::vec3(1.0f));
    plain->add_child(cube({0.0f, 1.0f, 0.0f}, glm::vec3(0.25f), glm::vec3(1.0f)));
    s.add_model(outlined);
    s.add_model(plain);

    model::set_draw_observer(observe);
    geometry::enable_get_draw_calls();
    geometry::get_draw_calls();
    s.draw();
    model::set_draw_observer(nullptr);

    // Shadow: outlined, plain, its child; outline: outlined; main: the three again.
    const model* child = plain->get_child(0);
    const std::vector<std::pair<const model*, model::pass>> order = {
        {outlined, model::pass::shadow}, {plain, model::pass::shadow},
        {child, model::pass::shadow},    {outlined, model::pass::outline},
        {outlined, model::pass::main},   {plain, model::pass::main},
        {child, model::pass::main}};
    ASSERT_EQ(observed.size(), order.size());
    EXPECT_EQ(geometry::get_draw_calls(), observed.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(observed[i].m, order[i].first) << i;
        EXPECT_EQ(observed[i].p, order[i].second) << i;
    }

    const glm::mat4& vp = cam.get_view_projection_matrix();
    const auto mvp = [&vp](const model* m, const glm::vec3& size) {
        return vp * m->get_model_matrix() * glm::scale(glm::mat4(1.0f), size);
    };
    EXPECT_EQ(observed[0].mvp, outlined->get_depth_mvp());
    EXPECT_EQ(observed[2].mvp, child->get_depth_mvp());
    const glm::vec3 grown = outlined->get_size() + glm::normalize(outlined->get_size()) * 0.3f;
    EXPECT_EQ(observed[3].mvp, mvp(outlined, grown));
    EXPECT_EQ(observed[4].mvp, mvp(outlined, outlined->get_size()));
    EXPECT_EQ(observed[6].mvp, mvp(child, child->get_size()));

    // Once cleared, nothing more is seen.
    s.draw();
    EXPECT_EQ(observed.size(), order.size());
    delete outlined;
    delete plain;
}
