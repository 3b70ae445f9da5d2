#pragma once

#include <cstdint>

#include "scene/scene.h"

// Each generator opens exactly one new primitive (even when it adds no polygon), so the shape
// takes the material and textures current at the call, and writes its vertices in its own local
// coordinates: the caller places it with the model stack. The model stack, lights and ambient
// colour are never touched.

// width x height in the plane z = 0, facing +z, texture coordinates (0,0)..(1,1) once across it.
void addRectangle(Scene& scene, double width, double height);

// Centred on the origin; six faces of four vertices, each face with its own normal.
void addBox(Scene& scene, double sizeX, double sizeY, double sizeZ);

// Axis along z from -height/2 to height/2: one side quad per whole k >= 0 with k < slices, then a
// bottom and a top cap with that many vertices.
void addCylinder(Scene& scene, double radius, double height, double slices);

// The part of the sphere with longitude 0..thetaRange (from +x towards +y) and polar angle
// 0..phiRange (from +z), in divisions x divisions quads whose normals point outwards.
void addSpherePatch(Scene& scene, double radius, double divisions, float thetaRange, float phiRange);

// The eighth of the sphere with x, y, z >= 0.
void addSphereOctant(Scene& scene, double radius, double divisions);

// One normal and one vertex of the torus of radii 0.6 and 0.4 around the z axis; u and v are in
// turns: u = 0 is +y, v = 0 the top of the tube.
void addTorusPoint(Scene& scene, float u, float v);

// majorSegments x minorSegments quads, texture coordinates equal to (u, v).
void addTorus(Scene& scene, int32_t majorSegments, int32_t minorSegments);

// A capital A of height 1 in the plane z = 0 facing +z, with the hole above the crossbar as a
// second contour.
void addLetterA(Scene& scene);
