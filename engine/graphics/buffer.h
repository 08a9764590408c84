#pragma once

#include <GLES2/gl2.h>

namespace tulk::graphics {

// One GL array buffer, filled once with GL_STATIC_DRAW. Every GL call is checked; an error
// ends the process.
class buffer {
public:
    buffer();
    virtual ~buffer();

    buffer(const buffer&) = delete;
    buffer& operator=(const buffer&) = delete;

    void bind() const;
    // Binds and uploads `size` bytes; GL copies them, so the caller keeps its memory.
    void set_data(int size, const void* data);

    GLuint get_id() const { return id; }
    // Bytes of the last upload; 0 before the first.
    int get_size() const { return size; }

private:
    GLuint id = 0;
    int size = 0;
};

} // namespace tulk::graphics
