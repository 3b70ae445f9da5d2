#include "render_tool/model_options.h"

#include "render_tool/option_values.h"

namespace {

// Every --light counts, unlike the other options: each adds one light.
void addLightOption(CLI::App& app, Needs& needs, std::vector<std::string>& lightTexts)
{
    app.add_option("--light", lightTexts,
                   "a light shining on the model from the direction of X,Y,Z in the scenes' space, with "
                   "colour R,G,B; repeat for more, up to 8 (default the file's point lights, else two "
                   "placed from the model's size)")
        ->option_text("X,Y,Z,R,G,B")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->expected(1)
        ->allow_extra_args(false)
        ->check(CLI::Validator(
            [](std::string& value) {
                Light light;
                return parseLight(value, light) ? std::string()
                                                : "--light needs six numbers X,Y,Z,R,G,B, not '" + value + "'";
            },
            ""));
    needs.emplace_back("--light", "six numbers X,Y,Z,R,G,B");
}

}  // namespace

const CLI::Option* addModelOptions(CLI::App& app, Needs& needs, ModelSettings& model,
                                   std::vector<std::string>& lightTexts)
{
    const CLI::Option* modelOption = addValueOption<std::string>(
        app, needs, "--model", "FILE", "a file path",
        "a model file (OBJ, PLY, STL, glTF, Collada, 3DS, FBX and more) to draw instead of a scene, "
        "centred and scaled into the scenes' space",
        [&](const std::string& text) {
            model.path = text;
            return !text.empty();
        });
    addValueOption<std::string>(app, needs, "--up", "AXIS", "y or z",
                                "the model's up axis, y or z (default y; the scenes are z-up)",
                                [&](const std::string& text) {
                                    model.up = text == "z" ? UpAxis::z : UpAxis::y;
                                    return text == "y" || text == "z";
                                });
    addValueOption<std::string>(app, needs, "--ambient", "R,G,B", "three numbers R,G,B",
                                "the model's ambient light colour (default 0.25,0.25,0.25)",
                                [&](const std::string& text) {
                                    float c[3];
                                    if (!parseFloatList(text, 3, c)) return false;
                                    model.ambient = Color(c[0], c[1], c[2], 1);
                                    model.ambientGiven = true;
                                    return true;
                                });
    addLightOption(app, needs, lightTexts);
    return modelOption;
}

void addGivenLights(const std::vector<std::string>& lightTexts, ModelSettings& model)
{
    for (const std::string& text : lightTexts) {
        Light light;
        parseLight(text, light);
        model.lights.push_back(light);
    }
}
