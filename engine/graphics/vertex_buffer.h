#pragma once

#include "engine/graphics/buffer.h"

#include <vector>

namespace tulk::graphics {

// An array buffer of interleaved float vertices with the layout that cuts them into
// attributes.
class vertex_buffer : public buffer {
public:
    struct attribute {
        unsigned int index; // vertex-attribute location
        unsigned int size;  // float components, 1 to 4
        int offset;         // first component inside one vertex, in floats
    };

    vertex_buffer() = default;
    ~vertex_buffer() override = default;

    // Appends one attribute and recomputes the stride. Offsets are taken as given.
    void add_attribute(unsigned int index, unsigned int size, int offset);
    void calc_stride();

    // Bytes from one vertex to the next: 4 times the float count of all attributes.
    unsigned int get_stride() const { return stride; }
    const std::vector<attribute>& get_attributes() const { return attributes; }

private:
    std::vector<attribute> attributes;
    unsigned int stride = 0;
};

} // namespace tulk::graphics
