#include "web/webgl_shaders.h"

#include <cstdio>
#include <string>

namespace {

const char* const kVertexShader = R"(
uniform mat4 modelView;
uniform mat4 modelViewProjection;
uniform mat3 normalMatrix;
uniform vec3 currentColour;
uniform int lightCount;
uniform vec3 lightDirection[8];
uniform vec3 diffuseProduct[8];
uniform vec3 specularProduct[8];
uniform vec3 sceneColour;
uniform float shininess;
uniform bool separateSpecular;
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoord;
layout(location = 3) in vec3 litPosition;
layout(location = 4) in vec3 litNormal;
SHADED out vec3 primary;
SHADED out vec3 secondary;
out vec2 coordinates;

// Directional lights seen from the eye (local viewer); normals used as transformed, unnormalised.
void lightVertex(vec3 eye, vec3 n, out vec3 front, out vec3 highlight)
{
    vec3 towardsEye = -normalize(eye);
    front = sceneColour;
    highlight = vec3(0.0);
    for (int i = 0; i < 8; ++i) {
        if (i >= lightCount) break;
        vec3 l = lightDirection[i];
        float diffuse = dot(n, l);
        if (diffuse <= 0.0) continue;
        float facing = max(dot(n, normalize(l + towardsEye)), 0.0);
        front += diffuse * diffuseProduct[i];
        highlight += (shininess == 0.0 ? 1.0 : pow(facing, shininess)) * specularProduct[i];
    }
}

vec2 sphereCoordinates(vec3 eye, vec3 n)
{
    vec3 u = normalize(eye);
    vec3 r = u - 2.0 * dot(n, u) * n;
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    return r.xy / m + 0.5;
}

void main()
{
    vec3 eye = (modelView * vec4(position, 1.0)).xyz;
    gl_Position = modelViewProjection * vec4(position, 1.0);
    primary = currentColour;
    secondary = vec3(0.0);
#if LIGHTING
    vec3 front, highlight;
    lightVertex((modelView * vec4(litPosition, 1.0)).xyz, normalMatrix * litNormal, front, highlight);
    primary = clamp(separateSpecular ? front : front + highlight, 0.0, 1.0);
    secondary = separateSpecular ? clamp(highlight, 0.0, 1.0) : vec3(0.0);
#endif
#if TEXTURE_MODE == 2
    coordinates = sphereCoordinates(eye, normalMatrix * normal);
#else
    coordinates = texCoord;
#endif
}
)";

const char* const kFragmentShader = R"(
precision highp int;
precision highp sampler2D;
uniform sampler2D image;
uniform int lastLevel;
SHADED in vec3 primary;
SHADED in vec3 secondary;
in vec2 coordinates;
out vec4 colour;

// GL_CLAMP: coordinates held to [0, 1], texels beyond the edge the black border. The sampler
// clamps to the edge texel instead; near an edge the border's share is taken out again, which
// is the edge texel's weight along that axis. Without branches: a software rasteriser runs both
// sides of one for every fragment.
vec3 linear(vec2 st, int level)
{
    vec2 size = vec2(textureSize(image, level));
    vec2 inside = clamp(st, 0.0, 1.0);
    vec2 u = inside * size - 0.5;
    vec2 w = u - floor(u);
    vec2 kept = mix(vec2(1.0), w, lessThan(u, vec2(0.0))) * mix(vec2(1.0), 1.0 - w, greaterThanEqual(u, size - 1.0));
    return textureLod(image, inside, float(level)).rgb * (kept.x * kept.y);
}

vec3 nearest(vec2 st)
{
    ivec2 size = textureSize(image, 0);
    ivec2 i = clamp(ivec2(floor(clamp(st, 0.0, 1.0) * vec2(size))), ivec2(0), size - 1);
    return texelFetch(image, i, 0).rgb;
}

// The exponent plus the mantissa's fraction: exact at powers of two, linear between them.
float fastLog2(float x)
{
    float e = floor(log2(x));
    return e + x / exp2(e) - 1.0;
}

// Linear within the two levels around the level of detail, linear between them; magnified, level 0.
vec3 mipLinear(vec2 st, vec2 dx, vec2 dy)
{
    float lod = clamp(LEVEL_OF_DETAIL, 0.0, float(lastLevel));
    int d = int(floor(lod));
    return mix(linear(st, d), linear(st, min(d + 1, lastLevel)), lod - float(d));
}

void main()
{
    vec3 lit = primary;
#if TEXTURE_MODE == 1
    lit *= nearest(coordinates);
#elif TEXTURE_MODE == 2
    lit *= linear(coordinates, 0);
#elif TEXTURE_MODE == 3
    vec2 size = vec2(textureSize(image, 0));
    lit *= mipLinear(coordinates, dFdx(coordinates) * size, dFdy(coordinates) * size);
#endif
    colour = vec4(clamp(lit + secondary, 0.0, 1.0), 1.0);
}
)";

// The level of detail from the larger squared length of the two derivative vectors, with the
// piecewise-linear logarithm: of the estimates tried this came closest to llvmpipe's pictures
// (scenes 3 and 4 at the first pose: 334 and 15 pixels more than 2 levels apart; with the exact
// logarithm 799 and 546, with the largest component instead of the length 11 628 and 5 403).
const char* const kLevelOfDetail = "0.5 * fastLog2(max(dot(dx, dx), dot(dy, dy)))";

std::string withHeader(const char* body, const FixedVariant& variant)
{
    const bool flat = variant.flat;
    const FixedTextureMode mode = variant.texture;
    std::string source = "#version 300 es\nprecision highp float;\n#define SHADED ";
    source += flat ? "flat" : "";
    source += "\n#define TEXTURE_MODE " + std::to_string(static_cast<int>(mode));
    source += variant.lighting ? "\n#define LIGHTING 1" : "\n#define LIGHTING 0";
    source += "\n#define LEVEL_OF_DETAIL ";
    source += kLevelOfDetail;
    return source + "\n" + body;
}

GLuint compile(GLenum kind, const std::string& source)
{
    const GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "WebGL shader: %s\n", log);
    }
    return shader;
}

FixedUniforms locate(GLuint p)
{
    const auto at = [p](const char* name) { return glGetUniformLocation(p, name); };
    return {at("modelView"),     at("modelViewProjection"), at("normalMatrix"),
            at("currentColour"), at("lightCount"),          at("lightDirection"),   at("diffuseProduct"),
            at("specularProduct"), at("sceneColour"),       at("shininess"),        at("separateSpecular"),
            at("image"),               at("lastLevel")};
}

}  // namespace

FixedProgram buildFixedProgram(const FixedVariant& variant)
{
    const GLuint vertex = compile(GL_VERTEX_SHADER, withHeader(kVertexShader, variant));
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, withHeader(kFragmentShader, variant));
    FixedProgram out;
    out.program = glCreateProgram();
    glAttachShader(out.program, vertex);
    glAttachShader(out.program, fragment);
    glLinkProgram(out.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = 0;
    glGetProgramiv(out.program, GL_LINK_STATUS, &linked);
    if (!linked) {
        char log[1024] = "";
        glGetProgramInfoLog(out.program, sizeof log, nullptr, log);
        std::fprintf(stderr, "WebGL program: %s\n", log);
        glDeleteProgram(out.program);
        return FixedProgram{};
    }
    out.uniforms = locate(out.program);
    return out;
}
