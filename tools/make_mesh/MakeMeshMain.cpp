// make_mesh <description.shapes> <output folder>: writes every mesh of a description as a
// text mesh <output folder>/<name>.fmesh.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/make_mesh/ShapeSource.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_mesh <description.shapes> <output folder>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_mesh: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string description((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<make_mesh::MeshShape> meshes;
    std::string error;
    if (!make_mesh::ReadShapes(description, &meshes, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    for (const make_mesh::MeshShape& mesh : meshes) {
        const std::string path = std::string(argv[2]) + "/" + mesh.name + ".fmesh";
        const std::string text = make_mesh::WriteMeshText(mesh);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::fprintf(stderr, "make_mesh: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("make_mesh: wrote %s (%zu faces)\n", path.c_str(), mesh.polygons.size());
    }
    return 0;
}
