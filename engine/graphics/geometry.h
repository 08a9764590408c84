#pragma once

#include "engine/graphics/vertex_buffer.h"

#include <GLES2/gl2.h>
#include <map>
#include <string>
#include <vector>

namespace tulk::graphics {

// Vertices drawn with one glDrawArrays call, plus the process-wide registry of named
// shapes. The built-in shapes "cube", "pyramid" and "square" use nine floats per vertex:
// position (location 0), normal (1), texture coordinates (2) and face index (3).
class geometry {
public:
    enum mode : unsigned int { triangles = 0, triangle_strip = 1, triangle_fan = 2 };

    geometry() = default;
    ~geometry();

    geometry(const geometry&) = delete;
    geometry& operator=(const geometry&) = delete;

    // Any value outside the enumeration stores GL_INVALID_ENUM, so the next draw fails.
    void set_mode(mode m);
    void set_vertex_count(unsigned int count) { vertex_count = count; }
    // Takes ownership and recomputes the vertex count.
    void add_vertex_buffer(vertex_buffer* buffer);
    // Sum over the buffers of (bytes / 4) / (floats per vertex); a buffer with no layout
    // counts 0.
    void calc_vertex_count();

    // Needs a program in use. Enables the attribute arrays, draws, and disables them again;
    // the last buffer stays bound. Inside a draw_state batch the arrays stay enabled for
    // the next draw of the same geometry.
    void draw() const;
    // Binds each buffer, enabling and pointing its attribute arrays.
    void enable_arrays() const;
    void disable_arrays() const;

    unsigned int get_vertex_count() const { return vertex_count; }
    GLenum get_mode() const { return draw_mode; }

    // Builds and registers the built-in shapes; needs a current GL context.
    static void init();
    // Destroys every registered geometry and empties the registry; needs the context init
    // ran in. The window calls it just before its context goes.
    static void destroy();
    // The registered geometry; ends the process when there is none by that name. A map
    // lookup, cheap enough once per model made; the pointer stays good until destroy().
    static geometry* find(const std::string& name);

    static void enable_get_draw_calls() { sGetDrawCalls = true; }
    static void disable_get_draw_calls() { sGetDrawCalls = false; }
    // Draws counted since the last call; the count restarts at 0.
    static unsigned int get_draw_calls();

private:
    std::vector<vertex_buffer*> vertex_buffers;
    unsigned int vertex_count = 0;
    GLenum draw_mode = GL_TRIANGLES;

    // Owns its geometries: they live until destroy(), which the window calls.
    static std::map<std::string, geometry*> sGeometryMap;
    static bool sGetDrawCalls;
    static unsigned int sDrawCalls;
};

} // namespace tulk::graphics
