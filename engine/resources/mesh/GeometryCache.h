// The binary geometry cache ".kgc": a geometry's sub-meshes as fixed blocks (a header of
// seven words, the material's name in 256 bytes, the faces, face bytes, the eight vertex
// arrays and the indices), so that reading it is a short sequence of block reads.
#pragma once

#include "engine/resources/mesh/Geometry.h"

class FileStream;

// Writes the geometry; 0 on success, 1 when a write failed or the geometry is not a
// sub-mesh list.
int WriteGeometry(const Geometry& geometry, FileStream& stream);

// Reads a geometry written by WriteGeometry, replacing the geometry's sub-mesh list; each
// sub-mesh's material comes from the current material list (FindOrLoad, with its fallback
// to "default"). 0 on success. 1 (logged) for a kind other than 1, a count or an array that
// the file cannot hold, an index count that is not 3 x the triangle count, more vertices
// than 16-bit indices reach, a material name without its terminator, a face of fewer than 2
// or more than 8 corners or with a corner past the vertices, an index past the vertices, or
// a material that cannot be had; the geometry then keeps what it held before.
int ReadGeometry(Geometry& geometry, FileStream& stream);
