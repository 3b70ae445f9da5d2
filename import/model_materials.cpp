#include "import/model_materials.h"

#include <sys/stat.h>

#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "import/image_file.h"
#include "import/model_files.h"

namespace {

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class TextureReader {
public:
    TextureReader(const aiScene& scene, const std::string& modelPath, ByteBudget& budget,
                  std::vector<std::string>& warnings)
        : scene_(scene), modelPath_(modelPath), folder_(folderOf(modelPath)), budget_(budget), warnings_(warnings)
    {
    }

    // An unusable texture is a warning, not a refusal: the model is still worth seeing.
    Texture read(const aiMaterial& material)
    {
        aiString name;
        if (material.GetTexture(aiTextureType_DIFFUSE, 0, &name) != AI_SUCCESS &&
            material.GetTexture(aiTextureType_BASE_COLOR, 0, &name) != AI_SUCCESS)
            return Texture();
        const std::string file = name.C_Str();
        const auto cached = cache_.find(file);
        if (cached != cache_.end()) return cached->second;
        Texture texture;
        std::string error;
        if (!decode(file, texture, error)) {
            warnings_.push_back("model '" + modelPath_ + "': texture '" + file + "' " + error + "; drawn untextured");
            texture = Texture();
        }
        cache_.emplace(file, texture);
        return texture;
    }

private:
    bool decode(const std::string& file, Texture& texture, std::string& error)
    {
        if (const aiTexture* embedded = scene_.GetEmbeddedTexture(file.c_str())) {
            if (embedded->mHeight == 0)
                return decodeImageBytes(reinterpret_cast<const unsigned char*>(embedded->pcData), embedded->mWidth,
                                        texture, error);
            if (embedded->mWidth > static_cast<unsigned>(kMaxImageSide) ||
                embedded->mHeight > static_cast<unsigned>(kMaxImageSide)) {
                error = "is larger than " + std::to_string(kMaxImageSide) + " texels a side";
                return false;
            }
            texture = textureFromBgra(reinterpret_cast<const unsigned char*>(embedded->pcData),
                                      static_cast<int>(embedded->mWidth), static_cast<int>(embedded->mHeight));
            return true;
        }
        if (!file.empty() && file[0] == '*') {
            error = "names an embedded image the file does not hold";
            return false;
        }
        // Files written on another system may name the texture with backslashes, or with a folder
        // that only existed there: the file beside the model is the next best guess.
        if (file.empty()) {
            error = "has no name";
            return false;
        }
        std::string relative = file;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::string found = relative[0] == '/' ? relative : folder_ + relative;
        if (!isRegularFile(found)) found = folder_ + relative.substr(relative.find_last_of('/') + 1);
        if (!isRegularFile(found)) {
            error = "is not beside the model";
            return false;
        }
        std::string bytes;
        if (!readWithinBudget(found, budget_, bytes, error)) return false;
        if (!decodeImageBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), texture, error)) {
            error = "cannot be used: " + error;
            return false;
        }
        return true;
    }

    const aiScene& scene_;
    const std::string& modelPath_;
    std::string folder_;
    ByteBudget& budget_;
    std::vector<std::string>& warnings_;
    std::map<std::string, Texture> cache_;
};

ModelMaterial readMaterial(const aiMaterial& source, TextureReader& textures)
{
    ModelMaterial material;
    const auto colour = [&](const char* key, unsigned type, unsigned index, Color& out) {
        aiColor3D c;
        if (source.Get(key, type, index, c) != AI_SUCCESS || !std::isfinite(c.r) || !std::isfinite(c.g) ||
            !std::isfinite(c.b))
            return false;
        out = Color(c.r, c.g, c.b, 1);
        return true;
    };
    if (!colour(AI_MATKEY_COLOR_DIFFUSE, material.diffuse)) colour(AI_MATKEY_BASE_COLOR, material.diffuse);
    colour(AI_MATKEY_COLOR_SPECULAR, material.specular);
    float shininess = 0;
    // OpenGL takes exponents from 0 to 128 only; the software renderer gets the same one.
    if (source.Get(AI_MATKEY_SHININESS, shininess) == AI_SUCCESS && std::isfinite(shininess))
        material.shininess = static_cast<int32_t>(std::lround(std::clamp(shininess, 0.0f, 128.0f)));
    // An exponent of 0 makes the highlight cover the whole surface evenly: a file without one
    // (and the importer's default material) means no highlight.
    if (material.shininess == 0) material.specular = Color(0, 0, 0, 1);
    material.texture = textures.read(source);
    return material;
}

}  // namespace

void readMaterials(const aiScene& scene, const std::string& modelPath, ByteBudget& budget,
                   std::vector<std::string>& warnings, std::vector<ModelMaterial>& materials)
{
    TextureReader textures(scene, modelPath, budget, warnings);
    for (unsigned m = 0; m < scene.mNumMaterials; ++m)
        materials.push_back(readMaterial(*scene.mMaterials[m], textures));
}
