#include "import/model_read.h"

#include <assimp/Importer.hpp>
#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>
#include <utility>

#include "import/model_files.h"
#include "import/model_formats.h"
#include "import/model_materials.h"

namespace {

bool finite(const aiVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The scenes are z-up. A y-up file turns a quarter about x, the usual conversion, which puts its
// front (+z) at -y; either kind then turns half about the vertical, so that the front (-y by the
// z-up convention) faces the viewer's initial camera, which looks from +x, +y.
Vec3 toSceneAxes(const aiVector3D& v, UpAxis up)
{
    return up == UpAxis::y ? Vec3(-v.x, v.z, v.y) : Vec3(-v.x, -v.y, v.z);
}

// The first error the importer reports while it reads one file, and how many it reported: a file
// can make it report the same error without end, so no list of them is kept. The importer logs
// through a stream of its own, attached for the duration of the read only.
struct ImporterErrors {
    std::string first;
    uint64_t count = 0;
};

class ErrorCollector {
public:
    explicit ErrorCollector(ImporterErrors& errors) : stream_{&ErrorCollector::collect, reinterpret_cast<char*>(&errors)}
    {
        aiAttachLogStream(&stream_);
    }
    ~ErrorCollector() { aiDetachAllLogStreams(); }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

private:
    static void collect(const char* message, char* user)
    {
        if (std::strncmp(message, "Error", 5) != 0) return;
        ImporterErrors& errors = *reinterpret_cast<ImporterErrors*>(user);
        if (errors.count++ > 0) return;
        std::string line(message, strnlen(message, 1024));
        line.erase(0, line.find(": ") == std::string::npos ? 0 : line.find(": ") + 2);
        while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
        errors.first = line;
    }

    aiLogStream stream_;
};

uint64_t cornersOf(const aiMesh& mesh)
{
    uint64_t corners = 0;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f)
        if (mesh.mFaces[f].mNumIndices >= 3) corners += mesh.mFaces[f].mNumIndices;
    return corners;
}

struct Placement {
    const aiNode* node;
    aiMatrix4x4 transform;
};

// Every mesh a node names, with the node's transform to the file's world: one entry per instance.
std::vector<std::pair<unsigned, aiMatrix4x4>> meshInstances(const aiScene& scene)
{
    std::vector<std::pair<unsigned, aiMatrix4x4>> instances;
    std::vector<Placement> pending{{scene.mRootNode, scene.mRootNode->mTransformation}};
    while (!pending.empty()) {  // no recursion: a deeply nested file cannot exhaust the stack
        const Placement at = pending.back();
        pending.pop_back();
        for (unsigned m = 0; m < at.node->mNumMeshes; ++m) instances.emplace_back(at.node->mMeshes[m], at.transform);
        for (unsigned c = at.node->mNumChildren; c-- > 0;) {
            const aiNode* child = at.node->mChildren[c];
            pending.push_back({child, at.transform * child->mTransformation});
        }
    }
    return instances;
}

bool readMesh(const aiMesh& source, const aiMatrix4x4& transform, UpAxis up, ModelMesh& mesh, std::string& problem)
{
    mesh.material = source.mMaterialIndex;
    mesh.positions.reserve(source.mNumVertices);
    aiMatrix3x3 normalTransform(transform);
    normalTransform.Inverse().Transpose();
    for (unsigned v = 0; v < source.mNumVertices; ++v) {
        const aiVector3D p = transform * source.mVertices[v];
        if (!finite(source.mVertices[v]) || !finite(p)) {
            problem = "has a vertex coordinate that is not a finite number";
            return false;
        }
        mesh.positions.push_back(toSceneAxes(p, up));
    }
    if (source.mNormals) {
        mesh.normals.reserve(source.mNumVertices);
        // A non-finite normal stays so and is then made anew from the faces.
        for (unsigned v = 0; v < source.mNumVertices; ++v)
            mesh.normals.push_back(toSceneAxes(normalTransform * source.mNormals[v], up));
    }
    if (source.mTextureCoords[0]) {
        mesh.texCoords.reserve(source.mNumVertices);
        for (unsigned v = 0; v < source.mNumVertices; ++v)
            mesh.texCoords.emplace_back(source.mTextureCoords[0][v].x, source.mTextureCoords[0][v].y);
    }
    for (unsigned f = 0; f < source.mNumFaces; ++f) {
        const aiFace& face = source.mFaces[f];
        if (face.mNumIndices < 3) continue;  // points and lines
        for (unsigned k = 0; k < face.mNumIndices; ++k) {
            if (face.mIndices[k] >= source.mNumVertices) {
                problem = "has a face whose vertex index is out of range";
                return false;
            }
            mesh.indices.push_back(face.mIndices[k]);
        }
        mesh.faceSizes.push_back(face.mNumIndices);
    }
    return true;
}

aiMatrix4x4 worldTransform(const aiNode* node)
{
    aiMatrix4x4 m;
    for (; node; node = node->mParent) m = node->mTransformation * m;
    return m;
}

// Units of light power differ from format to format: a light brighter than white is scaled down to
// white's brightness, keeping its hue.
void readLights(const aiScene& scene, UpAxis up, ModelGeometry& geometry)
{
    for (unsigned i = 0; i < scene.mNumLights; ++i) {
        const aiLight& light = *scene.mLights[i];
        if (light.mType != aiLightSource_POINT) continue;
        const aiVector3D p = worldTransform(scene.mRootNode->FindNode(light.mName)) * light.mPosition;
        const aiColor3D& c = light.mColorDiffuse;
        const float brightest = std::max({c.r, c.g, c.b});
        if (!finite(p) || !std::isfinite(brightest) || brightest <= 0) continue;
        const float k = brightest > 1 ? brightest : 1;
        geometry.lights.push_back({toSceneAxes(p, up), Color(c.r / k, c.g / k, c.b / k, 1)});
    }
}

// The importer's own reason `why` for reading no scene from `path`, worded as the others.
ModelReport importFailure(const std::string& path, const std::string& why)
{
    // The importer catches the allocation failure itself and words it as an error.
    if (why.find("bad_alloc") != std::string::npos)
        return refusedModel(path, "needs more memory than the machine has", ModelFailure::noMemory);
    // The validator's wording for a file with nothing but points and lines.
    if (why.find("mNumMeshes is 0") != std::string::npos || why.find("contains no faces") != std::string::npos)
        return refusedModel(path, "has no faces (points and lines are not drawn)");
    return refusedModel(path, "cannot be imported: " + (why.empty() ? std::string("unknown format") : why.substr(0, 200)));
}

// A file the model names that is not a regular file, or that would take the model past its budget.
ModelReport budgetRefusal(const std::string& path, const ByteBudget& budget)
{
    if (!budget.exceededAt.empty())
        return refusedModel(path, "and the files it names hold more than the " + std::to_string(kModelByteBudget >> 20) +
                                      " MiB a model may read (at '" + budget.exceededAt + "')");
    if (!budget.notRegular.empty())
        return refusedModel(path, "names '" + budget.notRegular + "', which is not a regular file");
    return ModelReport();
}

ModelReport cornerRefusal(const std::string& path, const aiScene& scene,
                          const std::vector<std::pair<unsigned, aiMatrix4x4>>& instances)
{
    uint64_t corners = 0;
    for (const auto& instance : instances) {
        if (instance.first >= scene.mNumMeshes) return refusedModel(path, "names a mesh it does not hold");
        corners += cornersOf(*scene.mMeshes[instance.first]);
        if (corners > kMaxModelCorners)
            return refusedModel(path, "has more than " + std::to_string(kMaxModelCorners) +
                                          " face corners, more than a model may have");
    }
    if (corners == 0) return refusedModel(path, "has no faces (points and lines are not drawn)");
    return ModelReport();
}

}  // namespace

ModelReport refusedModel(const std::string& path, const std::string& problem, ModelFailure failure)
{
    ModelReport report;
    report.failure = failure;
    report.error = "model '" + path + "' " + problem;
    std::replace(report.error.begin(), report.error.end(), '\n', ' ');
    return report;
}

ModelReport readModelHere(const std::string& path, UpAxis up, ModelGeometry& geometry)
{
    ModelReport report;
    ByteBudget budget;
    Assimp::Importer importer;
    keepSupportedReaders(importer);
    importer.SetIOHandler(new BudgetedFiles(budget));  // the importer owns it from here
    ImporterErrors importErrors;
    const aiScene* scene = nullptr;
    {
        const ErrorCollector errors(importErrors);
        scene = importer.ReadFile(path, aiProcess_ValidateDataStructure);
    }
    if (const ModelReport refusal = budgetRefusal(path, budget); refusal.failure != ModelFailure::none)
        return refusal;
    if (!scene || !scene->mRootNode) return importFailure(path, importer.GetErrorString());
    // What the importer noticed yet read past (a face without corners, a material the file does not
    // define) still means the file is not what its writer meant.
    if (importErrors.count > 0) return refusedModel(path, "is malformed: " + importErrors.first.substr(0, 200));
    const auto instances = meshInstances(*scene);
    if (const ModelReport refusal = cornerRefusal(path, *scene, instances); refusal.failure != ModelFailure::none)
        return refusal;

    readMaterials(*scene, path, budget, report.warnings, geometry.materials);
    if (const ModelReport refusal = budgetRefusal(path, budget); refusal.failure != ModelFailure::none)
        return refusal;
    for (const auto& [index, transform] : instances) {
        ModelMesh mesh;
        std::string problem;
        if (!readMesh(*scene->mMeshes[index], transform, up, mesh, problem)) {
            geometry = ModelGeometry();
            return refusedModel(path, problem);
        }
        if (!mesh.faceSizes.empty()) geometry.meshes.push_back(std::move(mesh));
    }
    readLights(*scene, up, geometry);
    return report;
}
