#include "app/Callbacks.h"
#include "app/Help.h"
#include "app/Launch.h"
#include "app/OffscreenContext.h"
#include "app/Snapshot.h"
#include "app/ThumbnailDeadline.h"
#include "app/Viewer.h"
#include "render/BSPMap.h"
#include "config/CommandLine.h"

#include <GL/glew.h>
#include <GL/glut.h>
#include <GL/freeglut_ext.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include <unistd.h>

namespace {

// Configuration mode echoes its file and the two paths; level mode prints the configuration it
// made on stdout instead, so `verdanth level.bsp > level.cfg` saves it.
Launch prepare(const CommandLine& line)
{
    // With --data the target is a level: a file, or a name under the data root (even if a file
    // or folder of that name happens to sit where the viewer runs).
    if (line.dataRoot || Launch::isLevelFile(line.target) || Launch::isArchiveFile(line.target))
        return Launch::fromLevel(line, std::cout);
    if (std::filesystem::is_directory(line.target))
        throw LaunchError(line.target + ": is a folder, not a level or a configuration file");
    Launch launch = Launch::fromConfiguration(line);
    std::cerr << "root directory:" << launch.configuration.dataPath << std::endl;
    std::cerr << "level name:" << launch.configuration.levelPath << std::endl;
    return launch;
}

// A snapshot's window is hidden: nobody looks at it, and its picture comes from the back buffer.
void openWindow(int& argc, char** argv, const Configuration& configuration, bool hidden)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(*configuration.windowWidth, *configuration.windowHeight);
    glutCreateWindow("Verdanth");
    if (hidden) {
        // GLUT unmaps a window only when it next handles events, and refuses to handle them for
        // a window with no display callback; the snapshot draws by itself.
        glutDisplayFunc([] {});
        glutHideWindow();
        glutMainLoopEvent();
    }
    if (const GLenum status = glewInit(); status != GLEW_OK)
        throw LaunchError(std::string("cannot load OpenGL extensions: ")
                          + reinterpret_cast<const char*>(glewGetErrorString(status)));
    initGL();
}

// Pictures are drawn off-screen when EGL offers a context without any window system; players and
// shots are GLUT's spheres, which need GLUT's window, and so does a system without EGL.
std::unique_ptr<OffscreenContext> openOffscreen(const Launch& launch)
{
    const Configuration& configuration = launch.configuration;
    std::string reason = "players are drawn by GLUT";
    if (!configuration.friendlies && !configuration.levelPlayers) {
        try {
            auto context = std::make_unique<OffscreenContext>(*configuration.windowWidth, *configuration.windowHeight);
            if (launch.verbose)
                std::cerr << "drawing off-screen: " << context->description() << std::endl;
            initGL();
            return context;
        } catch (const OffscreenUnavailable& unavailable) {
            reason = unavailable.what();
        }
    }
    if (launch.verbose)
        std::cerr << "drawing in a hidden window: " << reason << std::endl;
    return nullptr;
}

// A thumbnail is a snapshot a file manager asks for: of a bounded file, in bounded time.
void makeThumbnailLine(CommandLine& line)
{
    constexpr std::uintmax_t largestLevel = std::uintmax_t(256) << 20; // bytes
    std::error_code error;
    if (std::filesystem::is_regular_file(line.target, error)
        && std::filesystem::file_size(line.target, error) > largestLevel)
        throw LaunchError(line.target + ": more than 256 MiB, too big for a thumbnail");
    line.size = std::make_pair(*line.thumbnail, std::max(1, *line.thumbnail * 9 / 16));
    line.noHud = true;
}

void reportTextures(const Viewer& viewer, bool verbose)
{
    const std::optional<TextureReport> report = viewer.textureReport();
    if (!report)
        return;
    constexpr std::size_t namedInSummary = 5;
    const char* consequence = viewer.level()->look->missingImageShown();
    std::cerr << report->summaryLine(consequence, verbose ? 0 : namedInSummary)
              << (verbose || report->missing().size() <= namedInSummary ? "" : " (--verbose lists them all)")
              << std::endl;
    if (verbose)
        for (const TextureReport::Entry* missing : report->missing())
            std::cerr << "missing texture " << missing->name << " (" << missing->faces << " faces)"
                      << std::endl;
}

// A picture's file is written under a temporary name in its folder and renamed: the folder must
// exist and take new files. Checked before the level loads, which may take long.
void refuseUnwritable(const std::string& picture)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory(picture, error))
        throw LaunchError(picture + ": is a folder, not a picture file to write");
    const fs::path parent = fs::path(picture).parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    if (!fs::is_directory(folder, error))
        throw LaunchError(picture + ": cannot be written: no such folder " + folder.string());
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        throw LaunchError(picture + ": cannot be written: the folder " + folder.string() + " takes no new files");
}

// GLUT never returns from its main loop; the process ends through Escape (status 0) or a
// refusal (status 1, or 2 for a command line it cannot follow). A snapshot returns here.
int run(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << usageText();
        return 2;
    }
    CommandLine line;
    try {
        line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "verdanth: " << error.what() << "\nTry 'verdanth --help'" << std::endl;
        return 2;
    }
    if (line.help) {
        std::cout << helpText();
        return 0;
    }
    if (line.version) {
        std::cout << "verdanth " VERDANTH_VERSION "\n";
        return 0;
    }
    if (line.dataRoot && !std::filesystem::is_directory(*line.dataRoot))
        throw LaunchError(*line.dataRoot + ": no such folder");
    if (line.shots && !std::filesystem::is_directory(*line.shots))
        throw LaunchError(*line.shots + ": no such folder");
    if (line.list)
        return listLevels(*line.dataRoot, std::cout, std::cerr);
    for (const std::optional<std::string>& picture : {line.snapshot, line.overview})
        if (picture)
            refuseUnwritable(*picture);
    std::unique_ptr<ThumbnailDeadline> deadline;
    if (line.thumbnail) {
        deadline = std::make_unique<ThumbnailDeadline>(line.target, *line.snapshot);
        makeThumbnailLine(line);
    }
    Launch launch = prepare(line);
    const bool verbose = launch.verbose;
    const int width = *launch.configuration.windowWidth;
    const int height = *launch.configuration.windowHeight;
    const bool pictureOnly = line.snapshot || line.overview;
    // Declared before the viewer, whose textures and buffers live in its context.
    const std::unique_ptr<OffscreenContext> offscreen = pictureOnly ? openOffscreen(launch) : nullptr;
    if (!offscreen)
        openWindow(argc, argv, launch.configuration, pictureOnly);
    const Snapshot::Target target = offscreen ? Snapshot::Target::offscreen : Snapshot::Target::hiddenWindow;
    Viewer viewer(std::move(launch));
    reportTextures(viewer, verbose);
    if (line.snapshot)
        Snapshot::take(viewer, target, width, height, line.frames.value_or(Snapshot::defaultFrames), *line.snapshot);
    if (line.overview)
        Snapshot::takeOverview(viewer, target, width, height, *line.overview);
    if (pictureOnly)
        return 0;
    setCallbackViewer(&viewer);
    viewer.controls().listen();
    viewer.controls().run(viewer); // never returns: Escape and the window's close end the program
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "verdanth: " << error.what() << std::endl;
        return 1;
    }
}
