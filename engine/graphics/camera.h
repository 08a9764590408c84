#pragma once

#include "engine/intersections/volume.h"

#include <glm/glm.hpp>

namespace tulk::graphics {

// A look-at view with a perspective or orthographic projection. Every setter
// recomputes the matrices and the view volume at once, so drawing only reads them.
// Angles are in degrees.
class camera {
public:
    enum projection : int { perspective = 0, orthographic = 1 };

    camera();

    void set_eye(const glm::vec3& v);
    void set_centre(const glm::vec3& v);
    void set_up(const glm::vec3& v);

    void set_projection(projection kind);
    void set_z_near(float f);
    void set_z_far(float f);
    void set_aspect_ratio(float f);
    // Vertical field of view of the perspective projection, in degrees.
    void set_fovy(float f);
    // Height of the orthographic view in world units; the width follows the aspect ratio.
    void set_view_height(float f);

    const glm::vec3& get_eye() const { return eye; }
    const glm::vec3& get_centre() const { return centre; }
    const glm::vec3& get_up() const { return up; }
    const glm::mat4& get_view_matrix() const { return view_matrix; }
    const glm::mat4& get_projection_matrix() const { return projection_matrix; }
    const intersections::volume& get_frustum() const { return frustum; }
    glm::mat4 get_view_projection_matrix() const { return projection_matrix * view_matrix; }

    projection get_projection() const { return projection_kind; }
    float get_z_near() const { return z_near; }
    float get_z_far() const { return z_far; }
    float get_aspect_ratio() const { return aspect_ratio; }
    float get_fovy() const { return fovy; }
    float get_view_height() const { return view_height; }

private:
    // A view or projection that cannot be built (eye on the centre, a zero-sized view)
    // keeps the previous matrix and view volume rather than filling them with infinities.
    void update_view_matrix();
    void update_projection_matrix();

    glm::vec3 eye{0.0f, 0.0f, -1.0f};
    glm::vec3 centre{0.0f, 0.0f, 0.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::mat4 view_matrix{1.0f};
    glm::mat4 projection_matrix{1.0f};
    projection projection_kind = perspective;
    float z_near = 0.1f;
    float z_far = 1000.0f;
    intersections::volume frustum;
    float aspect_ratio = 1.0f;
    float fovy = 45.0f;
    float view_height = 100.0f;
};

} // namespace tulk::graphics
