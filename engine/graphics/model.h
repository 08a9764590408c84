#pragma once

#include <GLES2/gl2.h>
#include <array>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <map>
#include <string>
#include <vector>

namespace tulk::intersections {
class volume;
}

namespace tulk::graphics {

class geometry;
class light;
class program;
class scene;
class texture;

// One drawable node of the scene graph: a transform, a colour, up to six textures and
// a bump map, the geometry to draw and the material that picks its generated shader
// program. Children inherit the transform (not the size) and are owned by their parent.
// Every setter that moves a model recomputes the matrices of its whole subtree, so the
// passes read them; the shadow pass alone writes one, the depth_mvp the main pass then uses.
class model {
public:
    // The switches a generated program is written from. Models with equal materials
    // share one program.
    struct material {
        bool lit = false;
        bool shadowed = false;
        bool textured = false;
        std::array<bool, 6> has_texture{};
        bool bump_mapped = false;
        bool same_texture = false;

        // 't'/'f' per flag: bump_mapped, lit, shadowed, textured, has_texture 0-5,
        // same_texture. Names the generated program and orders the cache.
        std::string key() const;

        // Compares the flags in key order, false before true: the order of the keys.
        bool operator<(const material& other) const;
        bool operator==(const material& other) const = default;
    };

    struct global_materials {
        float ambient = 0.5f;
        float diffuse = 0.5f;
    };

    model();
    ~model();

    model(const model&) = delete;
    model& operator=(const model&) = delete;

    // Transform.
    void set_pos(const glm::vec3& v);
    void set_rot(const glm::quat& q);
    void set_size(const glm::vec3& v);
    // Takes effect at the next matrix update of this model or an ancestor.
    void set_origin(const glm::vec3& v) { origin = v; }
    // Turns by `angle` degrees about `axis` in the model's own frame.
    void rotate(float angle, const glm::vec3& axis);
    void update_model_matrix();
    // Draws the model, and its subtree, at `p` turned by `q` until its transform next
    // changes; its own position and rotation stay as they are. For a picture between two
    // states of a moving model.
    void set_drawn_transform(const glm::vec3& p, const glm::quat& q);

    const glm::mat4& get_model_matrix() const { return model_matrix; }
    const glm::mat4& get_depth_mvp() const { return depth_mvp; }
    const glm::vec3& get_pos() const { return pos; }
    const glm::vec3& get_world_pos() const { return world_pos; }
    const glm::vec3& get_size() const { return size; }
    const glm::quat& get_rot() const { return rot; }
    const glm::vec3& get_origin() const { return origin; }
    float get_sphere_radius() const { return sphere_radius; }

    // Appearance and flags.
    void set_colour(const glm::vec4& c) { colour = c; }
    void set_colour(const glm::vec3& c) { colour = glm::vec4(c, 1.0f); }
    const glm::vec4& get_colour() const { return colour; }
    void set_casts_shadow(bool b) { casts_shadow = b; }
    bool get_casts_shadow() const { return casts_shadow; }
    void set_depth_test(bool b) { depth_test = b; }
    bool get_depth_test() const { return depth_test; }
    void set_transparent(bool b) { transparent = b; }
    bool get_transparent() const { return transparent; }
    // An invisible model is skipped, with its subtree, by every pass.
    void set_visible(bool b) { visible = b; }
    bool get_visible() const { return visible; }
    void set_outlined(bool b) { outlined = b; }
    bool get_outlined() const { return outlined; }
    void set_outline_colour(const glm::vec3& c);
    const glm::vec3& get_outline_colour() const { return outline_colour; }
    bool get_uses_global_outline_colour() const { return uses_global_outline_colour; }
    void set_geometry(geometry* g) { geom = g; }
    geometry* get_geometry() const { return geom; }
    // Stores only: bump mapping is switched with set_material_bump_mapped.
    void set_bump_map(texture* t) { bump_map = t; }
    texture* get_bump_map() const { return bump_map; }
    // `slot` must be below 6.
    texture* get_texture(unsigned int slot) const { return textures[slot]; }
    program* get_program() const { return prog; }
    const material& get_material() const { return mat; }

    // Material: each picks (generating on first need) the program of the new material.
    void set_texture(unsigned int slot, texture* t);
    void set_texture(texture* t);
    void set_material_lit(bool b);
    void set_material_shadowed(bool b);
    void set_material_textured(bool b);
    void set_material_bump_mapped(bool b);
    void check_material_same_texture();
    void check_material(const material& m);

    // Hierarchy. Children are owned.
    void add_child(model* child);
    // Gives up ownership; the child no longer follows this model.
    void detach_child(model* child);
    // Destroys `child` whether or not it is a child of this model.
    void delete_child(model* child);
    model* get_child(size_t index) const;
    size_t get_child_count() const { return children.size(); }
    model* get_parent() const { return parent; }

    // Scene membership, kept by scene::add_model and scene::remove_model.
    void add_scene(scene* s);
    void remove_scene(scene* s);
    const std::vector<scene*>& get_scenes() const { return scenes; }

    // The three passes over this model and the children inside `volume`.
    void draw(const glm::mat4& view_projection, const intersections::volume& volume, light* l,
              texture* shadow_texture);
    void draw_shadow(const glm::mat4& light_view_projection, const intersections::volume& volume);
    void draw_outline(const glm::mat4& view_projection, const intersections::volume& volume);

    // Which pass a draw belongs to, as a draw observer is told.
    enum class pass { shadow, outline, main };
    // Sees every draw of the three passes just before its geometry is drawn, with the matrix
    // the shader was given as "mvp" ("depth_mvp" in the shadow pass). For measuring tools;
    // none is set by default, which costs one test per draw.
    using draw_observer = void (*)(const model& m, pass p, const glm::mat4& mvp);
    static void set_draw_observer(draw_observer observer) { sDrawObserver = observer; }

    // Programs.
    static program* make_program(const material& m);
    static void make_shadow_program();
    static void make_outline_program();
    // Rebuilds "outlineprogram" so that it carries the current global outline colour.
    static void remake_outline_program();
    // Regenerates every cached program after a change to a setting baked into them.
    static void remake_programs();
    // Destroys every generated and fixed program and empties the cache; needs the context
    // they were made in. The window calls it just before its context goes.
    static void destroy_programs();

    static float get_global_material_ambient() { return sGlobalMaterials.ambient; }
    static float get_global_material_diffuse() { return sGlobalMaterials.diffuse; }
    static void set_global_material_ambient(float f);
    static void set_global_material_diffuse(float f);

    // Every live model, in order of construction.
    static std::vector<model*> sModels;
    // One generated program per material; grows only, lives as long as the GL context.
    static std::map<material, program*> sMaterials;
    static global_materials sGlobalMaterials;
    static program* sShadowProgram;
    static program* sOutlineProgram;
    static program* sOutlineColourProgram;
    // Clip space (-1..1) to texture and depth space (0..1).
    static const glm::mat4 sShadowBiasMatrix;

private:
    // A uniform's location and the value last sent to it, so that an unchanged value is
    // not sent again (the program keeps it).
    template <typename T>
    struct uniform {
        GLint location = -1;
        T value{};
        bool known = false;
    };

    // Uniforms of one generated program, looked up once when it is linked.
    struct locations {
        uniform<glm::mat4> mvp;
        uniform<glm::mat3> normal_matrix;
        uniform<glm::vec4> colour;
        uniform<glm::mat4> depth_mvp;
        uniform<glm::vec3> light_dir;
        uniform<glm::vec3> light_colour;
        std::array<uniform<GLint>, 6> textures{};
        uniform<GLint> bump_map;
        uniform<GLint> shadow_map;
    };

    void use_program(program* p);
    material with_slot_flags(material m) const;
    // The material with a shadow or bump map switched on (lit, textured, slots known), or
    // as it is when `b` is false.
    material with_light_map(bool b) const;
    bool same_texture_in_all_slots() const;

    static void register_locations(program* p, const material& m, bool shadow);
    static void forget_program(program* p);

    glm::mat4 model_matrix{1.0f};
    glm::mat4 depth_mvp{1.0f};
    glm::vec3 pos{0.0f};
    glm::vec3 world_pos{0.0f};
    glm::vec3 size{1.0f};
    glm::quat rot{1.0f, 0.0f, 0.0f, 0.0f};
    glm::vec3 origin{0.0f};
    glm::vec4 colour{1.0f};
    std::array<texture*, 6> textures{};
    texture* bump_map = nullptr;
    bool casts_shadow = true;
    bool outlined = false;
    glm::vec3 outline_colour{0.0f};
    bool uses_global_outline_colour = true;
    bool depth_test = true;
    bool transparent = false;
    bool visible = true;
    geometry* geom = nullptr;
    material mat;
    program* prog = nullptr;
    locations* prog_locations = nullptr;
    std::vector<model*> children;
    model* parent = nullptr;
    std::vector<scene*> scenes;
    float sphere_radius = 0.0f;

    static std::map<const program*, locations> sLocations;
    static uniform<glm::mat4> sShadowDepthMvp;
    static uniform<glm::mat4> sOutlineMvp;
    static uniform<glm::mat4> sOutlineColourMvp;
    static uniform<glm::vec3> sOutlineColourColour;
    static draw_observer sDrawObserver;
};

} // namespace tulk::graphics
