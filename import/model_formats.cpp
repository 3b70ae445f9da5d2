#include "import/model_formats.h"

#include <assimp/BaseImporter.h>
#include <assimp/Importer.hpp>
#include <assimp/importerdesc.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr const char* kExtensions[] = {"obj", "ply", "stl", "off", "gltf", "glb", "dae", "3ds", "fbx"};

// The readers kept, by the words their descriptions carry: the extension alone would also keep the
// reader of the first glTF version, which shares it.
constexpr const char* kReaders[] = {"Wavefront Object", "(PLY)", "(STL)", "OFF Importer", "glTF2", "Collada",
                                    "3DS", "FBX"};

std::string lowerExtension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace

bool modelFormatSupported(const std::string& path)
{
    const std::string extension = lowerExtension(path);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](const char* e) { return extension == e; });
}

std::string supportedModelFormats()
{
    return ".obj (with .mtl), .ply, .stl, .off, .gltf, .glb (glTF 2), .dae, .3ds, .fbx";
}

void keepSupportedReaders(Assimp::Importer& importer)
{
    std::vector<Assimp::BaseImporter*> others;
    for (size_t i = 0; i < importer.GetImporterCount(); ++i) {
        const char* name = importer.GetImporterInfo(i)->mName;
        if (std::none_of(std::begin(kReaders), std::end(kReaders),
                         [&](const char* kept) { return std::strstr(name, kept) != nullptr; }))
            others.push_back(importer.GetImporter(i));
    }
    // Unregistering hands the reader back to its caller.
    for (Assimp::BaseImporter* reader : others) {
        importer.UnregisterLoader(reader);
        delete reader;
    }
}
