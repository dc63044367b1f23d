// Mesh descriptions: readable text that names meshes made of parametric boxes (with
// bevelled edges), pyramids and flat tiles, or copies of earlier meshes turned about the
// tile's centre; and the text mesh (".fmesh") each of them is written as.
//
//   # a comment
//   mesh <name>
//       box <x0> <y0> <z0> <x1> <y1> <z1> [bevel <b>] [uv <s>] [material <m>] [top <m>]
//           [sides <m>] [bottom <m>]
//       pyramid <cx> <cy> <z> <side> <height> [uv <s>] [material <m>]
//       tile <x0> <y0> <x1> <y1> <z> [uv <s>] [material <m>]
//       triangle <x y z> <x y z> <x y z> [uv <s>] [material <m>]
//       quad <x y z> <x y z> <x y z> <x y z> [uv <s>] [material <m>]
//   end
//   mesh <name> from <earlier name> turn <degrees>
//
// Texture coordinates are the positions along the two axes of each face's plane times the
// uv scale (default 0.1: one texture a tile). A turn goes counter-clockwise about the
// vertical line through (5, 5).
#pragma once

#include <string>
#include <vector>

namespace make_mesh {

struct Point {
    double x, y, z;
};

struct Corner {
    Point position;
    double u, v;
    Point normal;
};

struct Polygon {
    std::vector<Corner> corners;  // counter-clockwise seen from outside
    std::string material;
};

struct MeshShape {
    std::string name;
    std::vector<Polygon> polygons;
};

// No number of a description lies further from 0: larger ones would make infinite or
// undefined normals, written as "inf" and "nan" into the mesh.
constexpr double kLargestShapeNumber = 1e6;

// The meshes of a description in the order given; false with "line <n>: <sentence>" in
// `error` at the first mistake.
bool ReadShapes(const std::string& text, std::vector<MeshShape>* meshes, std::string* error);

// The mesh as a text mesh: one Geometry section with texture coordinates and normals. With
// `vertexPolygons`, the polygon whose corner made each vertex of the section, in order.
std::string WriteMeshText(const MeshShape& mesh, std::vector<std::size_t>* vertexPolygons = nullptr);

}  // namespace make_mesh
