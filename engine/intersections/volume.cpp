#include "engine/intersections/volume.h"

namespace tulk::intersections {

volume::volume(const glm::mat4& matrix) {
    init(matrix);
}

void volume::init(const glm::mat4& matrix) {
    // glm is column-major: the columns of the transpose are the rows of the matrix.
    const glm::mat4 rows = glm::transpose(matrix);
    const glm::vec4 planes_of[6] = {
        rows[3] + rows[0], // left
        rows[3] - rows[0], // right
        rows[3] - rows[1], // top
        rows[3] + rows[1], // bottom
        rows[3] + rows[2], // near
        rows[3] - rows[2], // far
    };
    planes.clear();
    planes.reserve(6);
    for (const glm::vec4& p : planes_of) {
        planes.emplace_back(p.x, p.y, p.z, p.w);
    }
}

} // namespace tulk::intersections
