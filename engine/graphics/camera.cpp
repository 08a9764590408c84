#include "engine/graphics/camera.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace tulk::graphics {

namespace {

bool is_finite(const glm::mat4& m) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            if (!std::isfinite(m[column][row])) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

camera::camera() : frustum(glm::mat4(1.0f)) {
    update_projection_matrix();
    update_view_matrix();
}

void camera::set_eye(const glm::vec3& v) {
    eye = v;
    update_view_matrix();
}

void camera::set_centre(const glm::vec3& v) {
    centre = v;
    update_view_matrix();
}

void camera::set_up(const glm::vec3& v) {
    up = v;
    update_view_matrix();
}

void camera::set_projection(projection kind) {
    projection_kind = kind;
    update_projection_matrix();
}

void camera::set_z_near(float f) {
    z_near = f;
    update_projection_matrix();
}

void camera::set_z_far(float f) {
    z_far = f;
    update_projection_matrix();
}

void camera::set_aspect_ratio(float f) {
    aspect_ratio = f;
    update_projection_matrix();
}

void camera::set_fovy(float f) {
    fovy = f;
    update_projection_matrix();
}

void camera::set_view_height(float f) {
    view_height = f;
    update_projection_matrix();
}

void camera::update_view_matrix() {
    if (glm::distance(eye, centre) == 0.0f) {
        return;
    }
    // An up vector along the line of sight gives no orientation either.
    const glm::mat4 view = glm::lookAt(eye, centre, up);
    if (!is_finite(view)) {
        return;
    }
    view_matrix = view;
    frustum.init(projection_matrix * view_matrix);
}

void camera::update_projection_matrix() {
    glm::mat4 matrix(1.0f);
    if (projection_kind == perspective) {
        // Checked before glm, whose debug assertions would stop the process.
        if (aspect_ratio == 0.0f || z_near == z_far) {
            return;
        }
        matrix = glm::perspective(glm::radians(fovy), aspect_ratio, z_near, z_far);
    } else if (projection_kind == orthographic) {
        const float top = view_height / 2.0f;
        const float right = top * aspect_ratio;
        if (top == 0.0f || right == 0.0f || z_near == z_far) {
            return;
        }
        matrix = glm::ortho(-right, right, -top, top, z_near, z_far);
    }
    // A zero field of view is as degenerate as a zero aspect ratio.
    if (!is_finite(matrix)) {
        return;
    }
    projection_matrix = matrix;
    frustum.init(projection_matrix * view_matrix);
}

} // namespace tulk::graphics
