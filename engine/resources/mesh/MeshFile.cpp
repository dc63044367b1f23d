// Mesh files: the cache first, the text with its cache written beside it.
#include "engine/resources/mesh/MeshFile.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/math/Random.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"

namespace {

constexpr const char* kTextExtension = "fmesh";
constexpr const char* kCacheExtension = "kgc";

}  // namespace

int ReadGeometryFile(const char* path, Geometry& geometry) {
    FileStream stream;
    if (path == nullptr || stream.Open(path, kStreamBinary | kStreamReadWhole) == 0) return 1;
    return ReadGeometry(geometry, stream);
}

int ReadTextMeshFile(const char* path, Geometry& geometry) {
    FileStream stream;
    if (path == nullptr || stream.Open(path, kStreamText | kStreamReadWhole) == 0) return 1;
    MeshText text;
    if (ReadMeshText(stream, path, text) == 0) return 1;
    const int built = BuildGeometryFromText(geometry, text);
    FreeMeshText(text);
    if (built == 0) return 1;
    geometry.identifier = NextRandom();
    geometry.flags |= kGeometryIdentifier;
    return 0;
}

bool WriteGeometryCacheFor(const char* textPath, const Geometry& geometry) {
    const std::size_t length = textPath != nullptr ? std::strlen(textPath) : 0;
    const std::size_t extension = std::strlen(kTextExtension);
    if (length < extension || CompareNoCase(textPath + length - extension, kTextExtension) != 0) return false;
    const EngineString stem = EngineString::FromCharsN(textPath, static_cast<int>(length - extension));
    const EngineString cachePath = stem.Concat(kCacheExtension);
    FileStream stream;
    if (stream.Open(cachePath.Text(), kStreamWrite | kStreamBinary) == 0) return false;
    const bool written = WriteGeometry(geometry, stream) == 0;
    stream.Close();
    // A cache cut short is emptied: the loader then reads the text again rather than a
    // geometry that ends halfway.
    if (!written) stream.Open(cachePath.Text(), kStreamWrite | kStreamBinary);
    return written;
}

int LoadObjectGeometry(const char* name, Geometry& geometry) {
    if (name == nullptr) return 1;
    const EngineString cachePath = EngineString::Format("objects/%s.%s", name, kCacheExtension);
    FileStream cache;
    // A cache that does not read (cut short, or from a broken build) gives way to the text,
    // which writes it anew.
    if (cache.Open(cachePath.Text(), kStreamBinary | kStreamReadWhole) != 0 && ReadGeometry(geometry, cache) == 0)
        return 0;
    cache.Close();
    const EngineString textPath = EngineString::Format("objects/%s.%s", name, kTextExtension);
    if (ReadTextMeshFile(textPath.Text(), geometry) != 0) return 1;
    WriteGeometryCacheFor(textPath.Text(), geometry);
    return 0;
}
