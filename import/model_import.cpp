#include "import/model_import.h"

#include <new>
#include <utility>

#include "import/import_child.h"
#include "import/model_file_check.h"
#include "import/model_formats.h"
#include "import/model_read.h"
#include "import/model_transfer.h"

namespace {

// In the child: the whole read, its answer sent back whatever it is.
void readInChild(const std::string& path, UpAxis up, const ChildLimits& limits, int fd, bool memoryLimitBinds)
{
    ModelReport report;
    ModelGeometry geometry;
    try {
        report = readModelHere(path, up, geometry);
    } catch (const std::bad_alloc&) {
        geometry = ModelGeometry();
        report = refusedModel(path, "needs more memory than the machine has", ModelFailure::noMemory);
    }
    // Past the child's own limit the file asked for too much; past the program's, the machine has too little.
    if (report.failure == ModelFailure::noMemory && memoryLimitBinds)
        report = refusedModel(path, "needed more than " + std::to_string(limits.memoryBytes >> 20) +
                                        " MiB of memory to import");
    sendModel(fd, report, geometry);
}

}  // namespace

// The importer and the image decoder run in a child process: whatever a file does to them (a crash,
// an endless loop, a runaway allocation) ends there and is reported as the file's fault.
ModelReport readModel(const std::string& path, UpAxis up, ModelGeometry& geometry)
{
    std::string problem;
    if (!modelFileAcceptable(path, problem)) return refusedModel(path, problem);
    if (!modelFormatSupported(path))
        return refusedModel(path, "is in a format that is not supported; supported: " + supportedModelFormats());
    const ChildLimits limits;
    ChildPipe child;
    if (!startChild(limits, [&](int fd, bool binds) { readInChild(path, up, limits, fd, binds); }, child, problem))
        return refusedModel(path, problem, ModelFailure::noMemory);
    ModelReport report;
    const bool received = receiveModel(child, report, geometry, problem);
    const std::string ending = finishChild(child);
    if (received && ending.empty()) return report;
    geometry = ModelGeometry();
    if (!ending.empty()) return refusedModel(path, ending);
    return refusedModel(path, "was read, but the importer's answer " +
                                  (problem.empty() ? std::string("was cut short") : "held " + problem));
}

ModelReport importModel(Scene& scene, const ModelSettings& settings)
{
    scene.clear();
    ModelGeometry geometry;
    ModelReport report = readModel(settings.path, settings.up, geometry);
    if (report.failure == ModelFailure::none) buildModel(scene, geometry, settings);
    return report;
}
