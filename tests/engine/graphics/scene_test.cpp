#include "engine/graphics/framebuffer.h"
#include "engine/graphics/scene.h"

#include "engine/graphics/geometry.h"
#include "engine/graphics/light.h"
#include "engine/graphics/model.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>
#include <memory>

using namespace tulk::graphics;

namespace {

// A camera at `eye` looking at `centre`, parallel and `height` units high when given one.
camera make_camera(const glm::vec3& eye, const glm::vec3& centre, float height = 0.0f) {
    camera c;
    if (height > 0.0f) {
        c.set_projection(camera::orthographic);
        c.set_view_height(height);
    }
    c.set_eye(eye);
    c.set_centre(centre);
    return c;
}

// The colour drawn where a world point lands, the window's bottom left at GL's origin.
glm::ivec3 colour_at(const test_context& ctx, const camera& cam, const glm::vec3& world) {
    const glm::vec4 clip = cam.get_view_projection_matrix() * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w * 0.5f + 0.5f;
    const glm::u8vec4 p = ctx.pixel(static_cast<int>(ndc.x * static_cast<float>(ctx.width())),
                                    static_cast<int>(ndc.y * static_cast<float>(ctx.height())));
    return {p.r, p.g, p.b};
}

glm::ivec3 rgb(const glm::vec3& colour) {
    return glm::ivec3(glm::round(glm::clamp(colour, 0.0f, 1.0f) * 255.0f));
}

// Within 2 of the colour on every channel.
::testing::AssertionResult close_to(const glm::ivec3& got, const glm::vec3& want) {
    return ::testing::AssertionResult(
               glm::all(glm::lessThanEqual(glm::abs(got - rgb(want)), glm::ivec3(2))))
           << "got " << got.r << " " << got.g << " " << got.b;
}

std::unique_ptr<model> cube(const glm::vec3& pos, const glm::vec3& size,
                            const glm::vec3& colour = glm::vec3(1.0f)) {
    auto m = std::make_unique<model>();
    m->set_geometry(geometry::find("cube"));
    m->set_pos(pos);
    m->set_size(size);
    m->set_colour(colour);
    m->set_outlined(true); // drawn only while outlines are on
    return m;
}

// Ambient plus the clamped diffuse term of the generated programs, with a white light.
glm::vec3 lit(const glm::vec3& colour, const glm::vec3& normal, const glm::vec3& dir) {
    return colour * (glm::clamp(glm::dot(-normal, dir), 0.0f, 0.5f) + 0.5f);
}

} // namespace

TEST(scene, culls_what_is_outside_the_view_or_encloses_the_eye_and_what_is_invisible) {
    test_context ctx(32, 32);
    scene s;
    camera cam = make_camera({0.0f, 0.0f, 5.0f}, glm::vec3(0.0f));
    camera shadow_cam = make_camera({0.0f, 0.0f, 40.0f}, glm::vec3(0.0f), 30.0f);
    s.set_shadow_camera(&shadow_cam);
    scene::set_global_outlines(true);
    auto seen = cube({-1.0f, 0.0f, 0.0f}, glm::vec3(1.0f));
    auto hidden = cube({1.0f, 0.0f, 0.0f}, glm::vec3(1.0f));
    auto aside = cube({100.0f, 0.0f, 0.0f}, glm::vec3(1.0f));
    auto around = cube(glm::vec3(0.0f), glm::vec3(20.0f));
    seen->add_child(cube({0.0f, 1.0f, 0.0f}, glm::vec3(0.5f)).release());
    hidden->add_child(cube({0.0f, 1.0f, 0.0f}, glm::vec3(0.5f)).release());
    for (model* m : {seen.get(), hidden.get(), aside.get(), around.get()}) {
        s.add_model(m);
    }
    hidden->set_visible(false);
    geometry::enable_get_draw_calls();

    // Without a camera only the shadow pass runs: seen, its child, and around.
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 3u);
    s.set_camera(&cam);
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 3u + 2u + 2u); // outline and main: seen and child
    // A parent's shadow and outline switches hold for its children.
    hidden->set_visible(true);
    seen->set_casts_shadow(false);
    hidden->set_outlined(false);
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 3u + 2u + 4u);
    scene::set_global_shadows(false);
    scene::set_global_outlines(false);
    s.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 4u);

    // Without shadows the map has no storage; turned on, it is clamped to the GPU's limit.
    EXPECT_EQ(scene::sShadowTexture, nullptr);
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    scene::set_global_shadow_map_dimensions({most + 1, 32});
    EXPECT_EQ(scene::sShadowTexture, nullptr);
    scene::set_global_shadows(true);
    s.draw();
    EXPECT_EQ(scene::sShadowFramebuffer->get_width(), static_cast<unsigned int>(most));
}

TEST(scene_render, outline_grows_a_unit_cube_by_a_tenth_along_its_diagonal) {
    constexpr int size = 128;
    test_context ctx(size, size);
    scene s;
    camera cam = make_camera({0.0f, 0.0f, 5.0f}, glm::vec3(0.0f), 1.28f); // 100 pixels a unit
    s.set_camera(&cam);
    scene::set_global_outlines(true);
    scene::set_global_outline_thickness(10);
    auto box = cube(glm::vec3(0.0f), glm::vec3(1.0f));
    box->set_outline_colour({1.0f, 0.0f, 0.0f});
    s.add_model(box.get());
    s.draw();
    int drawn = 0, white = 0;
    for (int x = 0; x < size; ++x) {
        const glm::u8vec4 p = ctx.pixel(x, size / 2);
        drawn += p.r != 0 ? 1 : 0;
        white += p == glm::u8vec4(255) ? 1 : 0;
    }
    EXPECT_NEAR(drawn, 106, 1); // 1 + 0.1 / sqrt(3) = 1.0577 units across
    EXPECT_NEAR(white, 100, 1);
    EXPECT_EQ(ctx.pixel(size / 2 - 52, size / 2), glm::u8vec4(255, 0, 0, 255));

    // A new global colour rebuilds the outline program; a model in the old one keeps it.
    box->set_outline_colour({0.0f, 0.0f, 0.0f});
    scene::set_global_outline_colour({1.0f, 0.0f, 1.0f});
    EXPECT_FALSE(box->get_uses_global_outline_colour());
    box->set_outline_colour({1.0f, 0.0f, 1.0f});
    ASSERT_TRUE(box->get_uses_global_outline_colour());
    s.draw();
    EXPECT_EQ(ctx.pixel(size / 2 - 52, size / 2), glm::u8vec4(255, 0, 255, 255));
}

// The shadow lies beside the cube; the window's viewport comes back after the map's one.
TEST(scene_render, a_cube_shadows_the_floor_with_shadows_on_and_filtering_softens_it) {
    const glm::vec3 green{0.0f, 0.8f, 0.0f}, red{0.9f, 0.3f, 0.2f}, shadowed{1.0f, 0.0f, 0.1f};
    test_context ctx(160, 120);
    scene s;
    light sun;
    sun.set_direction({1.0f, -2.0f, 0.0f});
    camera cam = make_camera({0.0f, 7.0f, 9.0f}, {0.5f, 0.0f, 0.0f});
    camera shadow_cam = make_camera(-sun.get_direction() * 20.0f, glm::vec3(0.0f), 16.0f);
    shadow_cam.set_z_near(1.0f);
    shadow_cam.set_z_far(60.0f);
    s.set_camera(&cam);
    s.set_shadow_camera(&shadow_cam);
    s.set_light(&sun);
    auto block = cube({0.0f, 1.5f, 0.0f}, glm::vec3(1.0f), red);
    auto floor = cube({0.0f, -0.5f, 0.0f}, {8.0f, 1.0f, 8.0f}, green);
    // Drawn last without depth testing, which the next shadow pass must switch on again.
    auto overlay = cube({-3.0f, 0.5f, 3.0f}, glm::vec3(0.5f));
    overlay->set_depth_test(false);
    overlay->set_transparent(true);
    for (model* m : {block.get(), floor.get()}) {
        m->set_material_shadowed(true);
        s.add_model(m);
    }
    s.add_model(overlay.get());
    // Floor pixels between lit and shadowed: the filtered edge.
    const auto penumbra = [&ctx, &green] {
        const std::vector<unsigned char> px = ctx.pixels();
        int count = 0;
        for (size_t i = 0; i < px.size(); i += 4) {
            count += px[i] == 0 && px[i + 2] == 0 && px[i + 1] > rgb(green * 0.5f).g + 6 &&
                     px[i + 1] < rgb(green).g - 6;
        }
        return count;
    };

    s.draw();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    s.draw();
    EXPECT_TRUE(close_to(colour_at(ctx, cam, shadowed), green * 0.5f));
    EXPECT_TRUE(close_to(colour_at(ctx, cam, {-2.5f, 0.0f, 2.0f}), green));
    EXPECT_EQ(penumbra(), 0);

    scene::set_global_shadow_map_dimensions({256, 256});
    scene::set_global_pcf(3);
    s.draw();
    const glm::vec3 d = sun.get_direction();
    EXPECT_TRUE(close_to(colour_at(ctx, cam, shadowed), green * 0.5f));
    EXPECT_TRUE(close_to(colour_at(ctx, cam, {0.0f, 2.0f, 0.0f}), lit(red, {0, 1, 0}, d)));
    EXPECT_TRUE(close_to(colour_at(ctx, cam, {0.0f, 1.5f, 0.5f}), lit(red, {0, 0, 1}, d)));
    EXPECT_GT(penumbra(), 20);

    scene::set_global_shadows(false);
    s.draw();
    EXPECT_TRUE(close_to(colour_at(ctx, cam, shadowed), green));
    EXPECT_EQ(penumbra(), 0);
}
