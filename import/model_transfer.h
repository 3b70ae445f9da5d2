#pragma once

#include <cstdint>
#include <string>

#include "import/import_child.h"
#include "import/model_report.h"
#include "scene/model_geometry.h"

// Markers and bounds of the form, shared by the two ends.
constexpr uint32_t kTransferStart = 0x4d575750;
constexpr uint32_t kTransferEnd = 0x444e4557;
constexpr uint32_t kMaxTransferLine = 4096;
constexpr uint32_t kMaxTransferWarnings = 100;
constexpr uint32_t kMaxTransferMaterials = 1u << 16;
constexpr uint32_t kMaxTransferLights = 1u << 12;

// The importing child's answer in a compact form of our own: the report, then on success the
// textures, materials, meshes and lights, arrays written whole. False when the pipe broke.
bool sendModel(int fd, const ModelReport& report, const ModelGeometry& geometry);

// Reads that answer, checking it as any input: counts and sizes bounded, arrays consistent, face
// sizes at least 3 and summing to the index count, indices and material numbers in range,
// positions finite. False when the child stopped early (see finishChild) or, with `problem`, when
// what arrived is not a well-formed model.
bool receiveModel(ChildPipe& child, ModelReport& report, ModelGeometry& geometry, std::string& problem);
