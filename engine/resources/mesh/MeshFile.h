// Mesh files by path and by object name: the ".kgc" cache, the text ".fmesh" with the cache
// written beside it, in the order the object database tries them.
#pragma once

#include "engine/resources/mesh/Geometry.h"

// Reads a ".kgc" file into the geometry (ReadGeometry); 0 on success, 1 when the file does
// not open or does not read.
int ReadGeometryFile(const char* path, Geometry& geometry);

// Reads a text mesh file and builds it (sub-meshes, planes, texture frames, tangents); the
// geometry gets a fresh identifier from the engine's random generator. 0 on success, 1 when
// the file does not open, does not read or has no faces.
int ReadTextMeshFile(const char* path, Geometry& geometry);

// Writes the geometry's cache beside its text file: a path ending in "fmesh" (any case)
// becomes one ending in "kgc". Best effort: false when the path has no such ending or the
// cache cannot be written (a half-written cache is emptied).
bool WriteGeometryCacheFor(const char* textPath, const Geometry& geometry);

// The geometry of the object `name`: "objects/<name>.kgc" when it opens and reads, else
// "objects/<name>.fmesh", whose cache is then written. 0 on success, 1 when neither gives a
// geometry.
int LoadObjectGeometry(const char* name, Geometry& geometry);
