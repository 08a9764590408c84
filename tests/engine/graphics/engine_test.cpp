// No display and pictures that cannot be loaded: the black-box tests.
#include "engine/graphics/framebuffer.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/texture.h"
#include "engine/io/png.h"
#include "support/test_context.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tulk::graphics;

namespace {

struct fatal_case {
    void (*run)();
    int status;
    const char* message;
};

const fatal_case cases[] = {
    {[] { geometry::find("sphere"); }, 1, "^geometry::find\\(\\) returned null\n$"},
    // Stands for every GL error the engine checks for: one check names the failed call.
    {[] {
         geometry::find("square")->set_mode(static_cast<geometry::mode>(3));
         geometry::find("square")->draw();
     },
     1, "^glerror: gldrawarrays: 1280\n$"},
    {[] {
         program p("p");
         p.attach_shader(new shader("s", shader::vertex), static_cast<shader::type>(2));
     },
     1, "^program p: shader s of no known type 2\n$"},
    {[] {
         texture empty("", texture::rgba);
         empty.set_data(0, 0, nullptr);
         framebuffer fb("", 8, 8);
         fb.attach_texture(&empty);
     },
     1, "^framebuffer dead: 36054\n$"},
    // Refused from its header, before a byte of it is decoded.
    {[] {
         GLint most = 0;
         glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
         const unsigned int wide = static_cast<unsigned int>(most) + 1;
         const std::string path = make_temp_dir() + "/wide.png";
         tulk::io::png::write(path, std::vector<unsigned char>(wide * 4), wide, 1);
         texture::data d(path, texture::data::png);
     },
     255, "^error loading texture /.+/wide.png: picture wider.+\n$"},
    // Sampling the shared texture without declaring it cannot compile: log and source.
    {[] {
         model::material broken;
         broken.textured = true;
         broken.same_texture = true;
         model::make_program(broken);
     },
     1,
     "^fragment shader: .+#version 100\n(.|\n)*texture2D\\(texture0, out_texcoords\\)(.|\n)*}\n$"},
};

} // namespace

TEST(engine, fatal_failures_end_the_process_with_one_clear_line) {
    for (const fatal_case& c : cases) {
        EXPECT_EXIT(
            {
                stdout_to_stderr();
                const test_context context;
                c.run();
            },
            testing::ExitedWithCode(c.status), c.message)
            << c.message;
    }
}
