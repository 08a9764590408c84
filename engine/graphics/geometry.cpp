#include "engine/graphics/geometry.h"

#include "engine/graphics/draw_state.h"
#include "engine/graphics/gl_check.h"
#include "engine/util/fatal.h"

#include <cstdint>

namespace tulk::graphics {

std::map<std::string, geometry*> geometry::sGeometryMap;
bool geometry::sGetDrawCalls = false;
unsigned int geometry::sDrawCalls = 0;

namespace {

// Each shape is one triangle strip: faces follow each other and meet at a repeated position,
// so the joining triangles have no area. Every face is counter-clockwise seen from outside.
// Per vertex: position, normal, texture coordinates (t = 1 is the picture's top), face index.

// Faces: 0 +z, 1 +x, 2 -z, 3 -x, 4 +y, 5 -y. Vertices 20 and 21 bridge the top to the bottom.
const float cubeVertices[] = {
    -0.5f, 0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 1.0f, 0.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 0.0f, 0.0f, //
    0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 1.0f, 0.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 0.0f, 0.0f, //
    0.5f,  -0.5f, 0.5f,  1.0f,  0.0f,  0.0f,  0.0f, 0.0f, 1.0f, //
    0.5f,  -0.5f, -0.5f, 1.0f,  0.0f,  0.0f,  1.0f, 0.0f, 1.0f, //
    0.5f,  0.5f,  0.5f,  1.0f,  0.0f,  0.0f,  0.0f, 1.0f, 1.0f, //
    0.5f,  0.5f,  -0.5f, 1.0f,  0.0f,  0.0f,  1.0f, 1.0f, 1.0f, //
    0.5f,  0.5f,  -0.5f, 0.0f,  0.0f,  -1.0f, 0.0f, 1.0f, 2.0f, //
    0.5f,  -0.5f, -0.5f, 0.0f,  0.0f,  -1.0f, 0.0f, 0.0f, 2.0f, //
    -0.5f, 0.5f,  -0.5f, 0.0f,  0.0f,  -1.0f, 1.0f, 1.0f, 2.0f, //
    -0.5f, -0.5f, -0.5f, 0.0f,  0.0f,  -1.0f, 1.0f, 0.0f, 2.0f, //
    -0.5f, -0.5f, -0.5f, -1.0f, 0.0f,  0.0f,  0.0f, 0.0f, 3.0f, //
    -0.5f, -0.5f, 0.5f,  -1.0f, 0.0f,  0.0f,  1.0f, 0.0f, 3.0f, //
    -0.5f, 0.5f,  -0.5f, -1.0f, 0.0f,  0.0f,  0.0f, 1.0f, 3.0f, //
    -0.5f, 0.5f,  0.5f,  -1.0f, 0.0f,  0.0f,  1.0f, 1.0f, 3.0f, //
    -0.5f, 0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 1.0f, 4.0f, //
    0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 0.0f, 4.0f, //
    -0.5f, 0.5f,  -0.5f, 0.0f,  1.0f,  0.0f,  1.0f, 1.0f, 4.0f, //
    0.5f,  0.5f,  -0.5f, 0.0f,  1.0f,  0.0f,  1.0f, 0.0f, 4.0f, //
    0.5f,  0.5f,  -0.5f, 0.0f,  1.0f,  0.0f,  0.0f, 1.0f, 4.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 1.0f, 4.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,  -1.0f, 0.0f,  0.0f, 1.0f, 5.0f, //
    -0.5f, -0.5f, -0.5f, 0.0f,  -1.0f, 0.0f,  0.0f, 0.0f, 5.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,  -1.0f, 0.0f,  1.0f, 1.0f, 5.0f, //
    0.5f,  -0.5f, -0.5f, 0.0f,  -1.0f, 0.0f,  1.0f, 0.0f, 5.0f, //
};

// Faces: 0 to 3 the sides facing +z, +x, -z, -x; 4 the base. Apex at (0, 0.5, 0).
const float pyramidVertices[] = {
    0.0f,  0.5f,  0.0f,  0.0f,       0.408248f, 0.816497f,  0.5f, 0.0f, 0.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,       0.408248f, 0.816497f,  0.0f, 1.0f, 0.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,       0.408248f, 0.816497f,  1.0f, 1.0f, 0.0f, //
    0.5f,  -0.5f, 0.5f,  0.816497f,  0.408248f, 0.0f,       0.0f, 1.0f, 1.0f, //
    0.0f,  0.5f,  0.0f,  0.816497f,  0.408248f, 0.0f,       0.5f, 0.0f, 1.0f, //
    0.5f,  -0.5f, -0.5f, 0.816497f,  0.408248f, 0.0f,       1.0f, 1.0f, 1.0f, //
    0.5f,  -0.5f, -0.5f, 0.0f,       0.408248f, -0.816497f, 0.0f, 1.0f, 2.0f, //
    -0.5f, -0.5f, -0.5f, 0.0f,       0.408248f, -0.816497f, 1.0f, 1.0f, 2.0f, //
    0.0f,  0.5f,  0.0f,  0.0f,       0.408248f, -0.816497f, 0.5f, 0.0f, 2.0f, //
    0.0f,  0.5f,  0.0f,  -0.816497f, 0.408248f, 0.0f,       0.5f, 0.0f, 3.0f, //
    -0.5f, -0.5f, 0.5f,  -0.816497f, 0.408248f, 0.0f,       1.0f, 1.0f, 3.0f, //
    -0.5f, -0.5f, -0.5f, -0.816497f, 0.408248f, 0.0f,       0.0f, 1.0f, 3.0f, //
    -0.5f, -0.5f, -0.5f, 0.0f,       -1.0f,     0.0f,       0.0f, 0.0f, 4.0f, //
    0.5f,  -0.5f, -0.5f, 0.0f,       -1.0f,     0.0f,       0.0f, 1.0f, 4.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,       -1.0f,     0.0f,       1.0f, 0.0f, 4.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,       -1.0f,     0.0f,       1.0f, 1.0f, 4.0f, //
};

// One face in the z = 0 plane, facing +z.
const float squareVertices[] = {
    -0.5f, 0.5f,  0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, //
    -0.5f, -0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, //
    0.5f,  0.5f,  0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, //
    0.5f,  -0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, //
};

static_assert(sizeof(cubeVertices) == 936);
static_assert(sizeof(pyramidVertices) == 576);
static_assert(sizeof(squareVertices) == 144);

geometry* make_builtin(const float* vertices, int bytes) {
    auto* buffer = new vertex_buffer();
    buffer->set_data(bytes, vertices);
    buffer->add_attribute(0, 3, 0);
    buffer->add_attribute(1, 3, 3);
    buffer->add_attribute(2, 2, 6);
    buffer->add_attribute(3, 1, 8);
    auto* shape = new geometry();
    shape->add_vertex_buffer(buffer);
    shape->set_mode(geometry::triangle_strip);
    return shape;
}

const void* byte_offset(int floats) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(floats) * 4);
}

} // namespace

geometry::~geometry() {
    // A later geometry at this address must not be taken for the one whose arrays are set.
    if (draw_state::get_arrays_owner() == this) {
        draw_state::release_arrays();
    }
    for (vertex_buffer* buffer : vertex_buffers) {
        delete buffer;
    }
}

void geometry::set_mode(mode m) {
    switch (m) {
    case triangles:
        draw_mode = GL_TRIANGLES;
        break;
    case triangle_strip:
        draw_mode = GL_TRIANGLE_STRIP;
        break;
    case triangle_fan:
        draw_mode = GL_TRIANGLE_FAN;
        break;
    default:
        draw_mode = GL_INVALID_ENUM;
        break;
    }
}

void geometry::add_vertex_buffer(vertex_buffer* buffer) {
    if (draw_state::get_arrays_owner() == this) {
        draw_state::release_arrays();
    }
    vertex_buffers.push_back(buffer);
    calc_vertex_count();
}

void geometry::calc_vertex_count() {
    unsigned int count = 0;
    for (const vertex_buffer* buffer : vertex_buffers) {
        const unsigned int floats_per_vertex = buffer->get_stride() / 4;
        if (floats_per_vertex == 0 || buffer->get_size() <= 0) {
            continue;
        }
        count += (static_cast<unsigned int>(buffer->get_size()) / 4) / floats_per_vertex;
    }
    vertex_count = count;
}

void geometry::draw() const {
    const bool keep = draw_state::keeping();
    if (!keep || draw_state::get_arrays_owner() != this) {
        draw_state::release_arrays();
        enable_arrays();
    }
    glDrawArrays(draw_mode, 0, static_cast<GLsizei>(vertex_count));
    gl_check("gldrawarrays");
    if (sGetDrawCalls) {
        ++sDrawCalls;
    }
    if (keep) {
        draw_state::set_arrays_owner(this);
    } else {
        disable_arrays();
    }
}

void geometry::enable_arrays() const {
    for (const vertex_buffer* buffer : vertex_buffers) {
        buffer->bind();
        const auto stride = static_cast<GLsizei>(buffer->get_stride());
        for (const vertex_buffer::attribute& a : buffer->get_attributes()) {
            glEnableVertexAttribArray(a.index);
            gl_check("glenablevertexattribarray");
            glVertexAttribPointer(a.index, static_cast<GLint>(a.size), GL_FLOAT, GL_FALSE, stride,
                                  byte_offset(a.offset));
            gl_check("glvertexattribpointer");
        }
    }
}

void geometry::disable_arrays() const {
    for (const vertex_buffer* buffer : vertex_buffers) {
        for (const vertex_buffer::attribute& a : buffer->get_attributes()) {
            glDisableVertexAttribArray(a.index);
            gl_check("gldisablevertexattribarray");
        }
    }
}

void geometry::init() {
    // A second init in the same context replaces the shapes; the old ones go first.
    destroy();
    sGeometryMap["cube"] = make_builtin(cubeVertices, sizeof(cubeVertices));
    sGeometryMap["pyramid"] = make_builtin(pyramidVertices, sizeof(pyramidVertices));
    sGeometryMap["square"] = make_builtin(squareVertices, sizeof(squareVertices));
}

void geometry::destroy() {
    for (auto& [name, shape] : sGeometryMap) {
        delete shape;
    }
    sGeometryMap.clear();
}

geometry* geometry::find(const std::string& name) {
    const auto it = sGeometryMap.find(name);
    if (it == sGeometryMap.end() || it->second == nullptr) {
        util::fatal(1, "geometry::find() returned null\n");
    }
    return it->second;
}

unsigned int geometry::get_draw_calls() {
    const unsigned int calls = sDrawCalls;
    sDrawCalls = 0;
    return calls;
}

} // namespace tulk::graphics
