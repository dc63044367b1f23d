// Reading mesh descriptions into polygons, and writing them as text meshes.
#include "tools/make_mesh/ShapeSource.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

namespace make_mesh {

namespace {

constexpr double kDefaultUvScale = 0.1;
constexpr double kTurnCentre = 5.0;

Point Sub(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Newell's normal of the outline, of unit length.
Point OutlineNormal(const std::vector<Point>& points) {
    Point n{0, 0, 0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % points.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    const double length = std::sqrt(Dot(n, n));
    return length > 0 ? Point{n.x / length, n.y / length, n.z / length} : n;
}

// A polygon whose outline is turned, when needed, to be counter-clockwise seen from the
// side `outward` points to; texture coordinates from the two axes of its plane.
Polygon MakePolygon(std::vector<Point> points, const Point& outward, double uvScale, const std::string& material) {
    Point normal = OutlineNormal(points);
    if (Dot(normal, outward) < 0) {
        std::vector<Point> reversed(points.rbegin(), points.rend());
        points = reversed;
        normal = Point{-normal.x, -normal.y, -normal.z};
    }
    Polygon polygon;
    polygon.material = material;
    const double ax = std::fabs(normal.x);
    const double ay = std::fabs(normal.y);
    const double az = std::fabs(normal.z);
    for (const Point& p : points) {
        Corner corner{p, 0, 0, normal};
        if (az >= ax && az >= ay) {
            corner.u = p.x * uvScale;
            corner.v = p.y * uvScale;
        } else if (ax >= ay) {
            corner.u = p.y * uvScale;
            corner.v = p.z * uvScale;
        } else {
            corner.u = p.x * uvScale;
            corner.v = p.z * uvScale;
        }
        polygon.corners.push_back(corner);
    }
    return polygon;
}

Point Centroid(const std::vector<Point>& points) {
    Point sum{0, 0, 0};
    for (const Point& p : points) sum = Point{sum.x + p.x, sum.y + p.y, sum.z + p.z};
    const double n = static_cast<double>(points.size());
    return Point{sum.x / n, sum.y / n, sum.z / n};
}

struct BoxSpec {
    double low[3];
    double high[3];
    double bevel = 0;
    double uvScale = kDefaultUvScale;
    std::string top;
    std::string sides;
    std::string bottom;
};

// The corner of the bevelled box for corner signs `s` (0 low, 1 high) on the face of axis
// `axis`: that coordinate at the box's side, the other two drawn in by the bevel.
Point BoxVertex(const BoxSpec& box, const int (&s)[3], int axis) {
    double c[3];
    for (int i = 0; i < 3; ++i) {
        const double side = s[i] != 0 ? box.high[i] : box.low[i];
        const double inset = s[i] != 0 ? box.high[i] - box.bevel : box.low[i] + box.bevel;
        c[i] = i == axis ? side : inset;
    }
    return Point{c[0], c[1], c[2]};
}

void AddBox(const BoxSpec& box, std::vector<Polygon>& out) {
    const Point centre{(box.low[0] + box.high[0]) / 2, (box.low[1] + box.high[1]) / 2, (box.low[2] + box.high[2]) / 2};
    auto add = [&](const std::vector<Point>& points, const std::string& material) {
        out.push_back(MakePolygon(points, Sub(Centroid(points), centre), box.uvScale, material));
    };
    // The six faces.
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            const int p = (axis + 1) % 3;
            const int q = (axis + 2) % 3;
            std::vector<Point> points;
            const int cycle[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& step : cycle) {
                int s[3];
                s[axis] = side;
                s[p] = step[0];
                s[q] = step[1];
                points.push_back(BoxVertex(box, s, axis));
            }
            const std::string& material = axis != 2 ? box.sides : side != 0 ? box.top : box.bottom;
            add(points, material);
        }
    if (box.bevel <= 0) return;
    // The twelve edges: a strip between the faces of two axes.
    for (int a = 0; a < 3; ++a)
        for (int c = a + 1; c < 3; ++c) {
            const int e = 3 - a - c;
            for (int ta = 0; ta < 2; ++ta)
                for (int tc = 0; tc < 2; ++tc) {
                    int k1[3];
                    int k2[3];
                    k1[a] = k2[a] = ta;
                    k1[c] = k2[c] = tc;
                    k1[e] = 0;
                    k2[e] = 1;
                    add({BoxVertex(box, k1, a), BoxVertex(box, k2, a), BoxVertex(box, k2, c), BoxVertex(box, k1, c)},
                        box.sides);
                }
        }
    // The eight corners.
    for (int corner = 0; corner < 8; ++corner) {
        const int s[3] = {corner & 1, (corner >> 1) & 1, (corner >> 2) & 1};
        add({BoxVertex(box, s, 0), BoxVertex(box, s, 1), BoxVertex(box, s, 2)}, box.sides);
    }
}

void AddPyramid(double cx, double cy, double z, double side, double height, double uvScale, const std::string& material,
                std::vector<Polygon>& out) {
    const double h = side / 2;
    const Point base[4] = {{cx - h, cy - h, z}, {cx + h, cy - h, z}, {cx + h, cy + h, z}, {cx - h, cy + h, z}};
    const Point apex{cx, cy, z + height};
    const Point centre{cx, cy, z + height / 4};
    for (int i = 0; i < 4; ++i) {
        std::vector<Point> points = {base[i], base[(i + 1) % 4], apex};
        out.push_back(MakePolygon(points, Sub(Centroid(points), centre), uvScale, material));
    }
    out.push_back(MakePolygon({base[0], base[1], base[2], base[3]}, Point{0, 0, -1}, uvScale, material));
}

Point Turned(const Point& p, double cosine, double sine, bool aboutCentre) {
    const double c = aboutCentre ? kTurnCentre : 0.0;
    const double x = p.x - c;
    const double y = p.y - c;
    return Point{c + x * cosine - y * sine, c + x * sine + y * cosine, p.z};
}

class DescriptionReader {
public:
    DescriptionReader(std::vector<MeshShape>* meshes, std::string* error) : meshes_(meshes), error_(error) {}

    bool Line(const std::string& line, int number) {
        number_ = number;
        std::istringstream in(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; in >> word;) words.push_back(word);
        if (words.empty()) return true;
        const std::string& command = words[0];
        if (command == "mesh") return StartMesh(words);
        if (command == "end") {
            if (current_ == kNone) return Fail("\"end\" closes no mesh");
            if (Current().polygons.empty()) return Fail("the mesh \"" + Current().name + "\" has no shapes");
            current_ = kNone;
            return true;
        }
        if (current_ == kNone) return Fail("\"" + command + "\" stands outside a mesh");
        if (command == "box") return Box(words);
        if (command == "pyramid") return Pyramid(words);
        if (command == "tile") return Tile(words);
        if (command == "triangle") return Sheet(words, 3);
        if (command == "quad") return Sheet(words, 4);
        return Fail("\"" + command + "\" is not a shape (box, pyramid, tile, triangle, quad)");
    }

    bool Finish() {
        if (current_ != kNone) return Fail("the mesh \"" + Current().name + "\" has no \"end\"");
        if (meshes_->empty()) return Fail("the description names no mesh");
        return true;
    }

private:
    MeshShape& Current() { return (*meshes_)[current_]; }

    bool Fail(const std::string& sentence) {
        *error_ = "line " + std::to_string(number_) + ": " + sentence;
        return false;
    }

    bool Number(const std::string& word, double* value) {
        std::size_t used = 0;
        try {
            *value = std::stod(word, &used);
        } catch (...) {
            used = 0;
        }
        if (used != word.size() || !std::isfinite(*value)) return Fail("\"" + word + "\" is not a number");
        if (std::fabs(*value) > kLargestShapeNumber) return Fail("\"" + word + "\" is beyond -1000000 to 1000000");
        return true;
    }

    // `count` numbers after the command word, then option pairs.
    bool Values(const std::vector<std::string>& words, std::size_t count, std::vector<double>* values,
                std::map<std::string, std::string>* options, const std::vector<std::string>& allowed) {
        if (words.size() < count + 1)
            return Fail("\"" + words[0] + "\" takes " + std::to_string(count) + " numbers, not " +
                        std::to_string(words.size() - 1));
        for (std::size_t i = 1; i <= count; ++i) {
            double value = 0;
            if (!Number(words[i], &value)) return false;
            values->push_back(value);
        }
        for (std::size_t i = count + 1; i < words.size(); i += 2) {
            bool known = false;
            for (const std::string& name : allowed) known = known || name == words[i];
            if (!known) return Fail("\"" + words[i] + "\" is not an option of \"" + words[0] + "\"");
            if (i + 1 >= words.size()) return Fail("the option \"" + words[i] + "\" has no value");
            (*options)[words[i]] = words[i + 1];
        }
        return true;
    }

    bool UvScale(const std::map<std::string, std::string>& options, double* scale) {
        *scale = kDefaultUvScale;
        auto found = options.find("uv");
        return found == options.end() || Number(found->second, scale);
    }

    static std::string Material(const std::map<std::string, std::string>& options, const char* name) {
        auto specific = options.find(name);
        if (specific != options.end()) return specific->second;
        auto general = options.find("material");
        return general != options.end() ? general->second : "default";
    }

    bool StartMesh(const std::vector<std::string>& words) {
        if (current_ != kNone) return Fail("the mesh \"" + Current().name + "\" has no \"end\" before this one");
        if (words.size() != 2 && words.size() != 6)
            return Fail("\"mesh\" takes a name, or a name, \"from\", a mesh, \"turn\" and degrees");
        for (const MeshShape& mesh : *meshes_)
            if (mesh.name == words[1]) return Fail("the mesh \"" + words[1] + "\" is named twice");
        if (words.size() == 2) {
            meshes_->push_back(MeshShape{words[1], {}});
            current_ = meshes_->size() - 1;
            return true;
        }
        if (words[2] != "from" || words[4] != "turn")
            return Fail("\"mesh\" takes a name, or a name, \"from\", a mesh, \"turn\" and degrees");
        const MeshShape* source = nullptr;
        for (const MeshShape& mesh : *meshes_)
            if (mesh.name == words[3]) source = &mesh;
        if (source == nullptr) return Fail("no earlier mesh is named \"" + words[3] + "\"");
        double degrees = 0;
        if (!Number(words[5], &degrees)) return false;
        const double radians = degrees * 3.14159265358979323846 / 180.0;
        const double cosine = std::cos(radians);
        const double sine = std::sin(radians);
        MeshShape turned{words[1], source->polygons};
        for (Polygon& polygon : turned.polygons)
            for (Corner& corner : polygon.corners) {
                corner.position = Turned(corner.position, cosine, sine, true);
                corner.normal = Turned(corner.normal, cosine, sine, false);
            }
        meshes_->push_back(turned);
        return true;
    }

    bool Box(const std::vector<std::string>& words) {
        std::vector<double> v;
        std::map<std::string, std::string> options;
        if (!Values(words, 6, &v, &options, {"bevel", "uv", "material", "top", "sides", "bottom"})) return false;
        BoxSpec box;
        for (int i = 0; i < 3; ++i) {
            box.low[i] = v[i];
            box.high[i] = v[i + 3];
            if (!(box.high[i] > box.low[i]))
                return Fail("a box's second corner must lie above its first on every axis");
        }
        if (options.count("bevel") != 0 && !Number(options["bevel"], &box.bevel)) return false;
        const double smallest =
            std::fmin(box.high[0] - box.low[0], std::fmin(box.high[1] - box.low[1], box.high[2] - box.low[2]));
        if (box.bevel < 0 || box.bevel * 2 >= smallest)
            return Fail("a box's bevel must be below half its smallest side");
        if (!UvScale(options, &box.uvScale)) return false;
        box.top = Material(options, "top");
        box.sides = Material(options, "sides");
        box.bottom = Material(options, "bottom");
        AddBox(box, Current().polygons);
        return true;
    }

    bool Pyramid(const std::vector<std::string>& words) {
        std::vector<double> v;
        std::map<std::string, std::string> options;
        if (!Values(words, 5, &v, &options, {"uv", "material"})) return false;
        if (!(v[3] > 0) || !(v[4] != 0)) return Fail("a pyramid needs a side above 0 and a height other than 0");
        double uvScale = 0;
        if (!UvScale(options, &uvScale)) return false;
        AddPyramid(v[0], v[1], v[2], v[3], v[4], uvScale, Material(options, "material"), Current().polygons);
        return true;
    }

    bool Tile(const std::vector<std::string>& words) {
        std::vector<double> v;
        std::map<std::string, std::string> options;
        if (!Values(words, 5, &v, &options, {"uv", "material"})) return false;
        if (!(v[2] > v[0]) || !(v[3] > v[1])) return Fail("a tile's second corner must lie above its first");
        double uvScale = 0;
        if (!UvScale(options, &uvScale)) return false;
        const double z = v[4];
        Current().polygons.push_back(MakePolygon({{v[0], v[1], z}, {v[2], v[1], z}, {v[2], v[3], z}, {v[0], v[3], z}},
                                                 Point{0, 0, 1}, uvScale, Material(options, "material")));
        return true;
    }

    // A flat sheet of `corners` points, one face toward each side.
    bool Sheet(const std::vector<std::string>& words, std::size_t corners) {
        std::vector<double> v;
        std::map<std::string, std::string> options;
        if (!Values(words, corners * 3, &v, &options, {"uv", "material"})) return false;
        double uvScale = 0;
        if (!UvScale(options, &uvScale)) return false;
        std::vector<Point> points;
        for (std::size_t i = 0; i < corners; ++i) points.push_back(Point{v[3 * i], v[3 * i + 1], v[3 * i + 2]});
        const Point normal = OutlineNormal(points);
        if (Dot(normal, normal) < 0.5) return Fail("the corners of a \"" + words[0] + "\" lie on one line");
        if (corners == 4) {
            // A bent quad would light as one plane and draw as two; the sources give two decimals.
            const Point d = Sub(points[3], points[0]);
            if (std::fabs(Dot(d, normal)) > 0.02 * (1.0 + std::sqrt(Dot(d, d))))
                return Fail("the corners of a \"quad\" must lie in one plane");
        }
        const std::string material = Material(options, "material");
        Current().polygons.push_back(MakePolygon(points, normal, uvScale, material));
        Current().polygons.push_back(MakePolygon(points, Point{-normal.x, -normal.y, -normal.z}, uvScale, material));
        return true;
    }

    std::vector<MeshShape>* meshes_;
    std::string* error_;
    std::size_t current_ = kNone;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    int number_ = 0;
};

std::string Format(double value) {
    if (std::fabs(value) < 5e-7) value = 0;  // no "-0" and no rounding dust in the file
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

bool ReadShapes(const std::string& text, std::vector<MeshShape>* meshes, std::string* error) {
    meshes->clear();
    DescriptionReader reader(meshes, error);
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);)
        if (!reader.Line(line, ++number)) return false;
    return reader.Finish();
}

std::string WriteMeshText(const MeshShape& mesh, std::vector<std::size_t>* vertexPolygons) {
    std::map<std::string, int> numbers;
    std::vector<std::string> positions;
    std::vector<std::string> coordinates;
    std::vector<std::string> normals;
    std::string faces;
    if (vertexPolygons != nullptr) vertexPolygons->clear();
    for (std::size_t p = 0; p < mesh.polygons.size(); ++p) {
        const Polygon& polygon = mesh.polygons[p];
        faces += std::to_string(polygon.corners.size()) + " [";
        for (std::size_t i = 0; i < polygon.corners.size(); ++i) {
            const Corner& c = polygon.corners[i];
            const std::string position = Format(c.position.x) + " " + Format(c.position.y) + " " + Format(c.position.z);
            const std::string uv = Format(c.u) + " " + Format(c.v);
            const std::string normal = Format(c.normal.x) + " " + Format(c.normal.y) + " " + Format(c.normal.z);
            const std::string key = position + "|" + uv + "|" + normal;
            auto found = numbers.find(key);
            int number = 0;
            if (found != numbers.end()) {
                number = found->second;
            } else {
                number = static_cast<int>(positions.size());
                numbers.emplace(key, number);
                positions.push_back(position);
                coordinates.push_back(uv);
                normals.push_back(normal);
                if (vertexPolygons != nullptr) vertexPolygons->push_back(p);
            }
            faces += (i == 0 ? "" : " ") + std::to_string(number);
        }
        faces += "] 0 " + polygon.material + "\n";
    }
    std::string out = "Geometry\n{\n1 " + std::to_string(mesh.polygons.size()) + " " +
                      std::to_string(positions.size()) + " 5\n" + faces;
    for (const std::string& line : positions) out += line + "\n";
    for (const std::string& line : coordinates) out += line + "\n";
    for (const std::string& line : normals) out += line + "\n";
    return out + "}\n";
}

}  // namespace make_mesh
