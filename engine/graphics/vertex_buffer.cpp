#include "engine/graphics/vertex_buffer.h"

namespace tulk::graphics {

void vertex_buffer::add_attribute(unsigned int index, unsigned int size, int offset) {
    attributes.push_back({index, size, offset});
    calc_stride();
}

void vertex_buffer::calc_stride() {
    unsigned int floats = 0;
    for (const attribute& a : attributes) {
        floats += a.size;
    }
    stride = 4 * floats;
}

} // namespace tulk::graphics
