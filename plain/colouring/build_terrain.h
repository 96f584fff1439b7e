#pragma once

class Heightmap;
class Mesh;
class Messages;

// Grid points per side the terrain builder accepts.
constexpr int max_terrain_resolution = 1024;

// Replaces the mesh with an N by N height field over the heightmap
// (N = resolution): x and z run from 0 in steps of scale / N, y is
// height * grey / 256. Two triangles per grid cell, facing +y; vertices are
// numbered in the order the faces first use them, and coloured white.
// Builds centre, normals and texture coordinates and prints the counts.
// A resolution outside 1..max_terrain_resolution leaves the mesh alone and
// returns false after one console line.
bool build_terrain(Mesh& mesh, const Heightmap& heightmap, int resolution, float scale, float height, Messages& out);
