// levelgen: compiles a plan (or a generated maze) into a data set the viewer runs.
//
//   levelgen [--archive] PLAN OUTDIR
//   levelgen --maze WxH --seed N [--archive] OUTDIR
//   levelgen --help | --version
//
// With --archive (anywhere among the options) the level, pictures and scripts go into the
// zip archive OUTDIR/NAME.pk3 and only the lights, players and configuration stay loose.

#include "DataSet.h"
#include "LevelBuilder.h"
#include "MazeGenerator.h"
#include "Plan.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* usage = "usage: levelgen [--archive] PLAN OUTDIR\n"
                              "       levelgen --maze WxH --seed N [--archive] OUTDIR\n";

// Every option, as --help lists it and docs/man/levelgen.1 describes it (a test holds the page to this list).
constexpr struct {
    const char* name;
    const char* description;
} options[] = {
    {"--archive", "put the level, images and scripts into OUTDIR/NAME.pk3; the rest stays loose"},
    {"--maze WxH", "a random maze of W by H cells instead of a plan"},
    {"--seed N", "the maze's seed: the same seed builds the same maze"},
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

void printHelp()
{
    std::cout << "levelgen compiles a plain-text plan, or a random maze, into a data set the viewer opens: an\n"
                 "IBSP version 46 level with visibility and baked lightmaps, its images, sky, material script,\n"
                 "lights, players and configuration files.\n\n"
              << usage << "\noptions:\n";
    for (const auto& option : options)
        std::cout << "  " << std::left << std::setw(14) << option.name << option.description << '\n';
}

std::optional<int> parseNumber(const std::string& text, int minimum, int maximum)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

Plan readPlanFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw PlanError(path + ": cannot open the plan");
    std::ostringstream text;
    text << in.rdbuf();
    return parsePlan(text.str(), path);
}

struct Request {
    Plan plan;
    std::string outputDirectory;
    bool archive = false;
};

// Returns what to build, or nothing with a one-line message for the user.
std::optional<Request> requestFromArguments(int argc, char** argv, std::string& problem)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto flag = std::find(arguments.begin(), arguments.end(), "--archive");
    const bool archive = flag != arguments.end();
    if (archive)
        arguments.erase(flag);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--maze" || word == "--seed")
            ++i; // its value may be anything; it is checked below
        else if (word.size() > 1 && word[0] == '-') {
            problem = "levelgen: unknown option " + word + "\n";
            return std::nullopt;
        }
    }
    const size_t count = arguments.size();
    if (count == 2 && arguments[0].rfind("--", 0) != 0)
        return Request{readPlanFile(arguments[0]), arguments[1], archive};
    if (count == 5 && arguments[0] == "--maze" && arguments[2] == "--seed") {
        const std::string& size = arguments[1];
        const size_t x = size.find('x');
        const std::optional<int> width =
            x == std::string::npos ? std::nullopt : parseNumber(size.substr(0, x), minMazeSide, maxPlanSide);
        const std::optional<int> height =
            x == std::string::npos ? std::nullopt : parseNumber(size.substr(x + 1), minMazeSide, maxPlanSide);
        const std::optional<int> seed = parseNumber(arguments[3], 0, 999999999);
        if (!width || !height) {
            problem = "levelgen: maze size must be WxH with sides from " + std::to_string(minMazeSide) + " to " +
                      std::to_string(maxPlanSide) + ", not " + size + "\n";
            return std::nullopt;
        }
        if (!seed) {
            problem = "levelgen: seed must be a whole number, not " + arguments[3] + "\n";
            return std::nullopt;
        }
        return Request{generateMaze(*width, *height, static_cast<uint32_t>(*seed)), arguments[4], archive};
    }
    problem = "levelgen: needs a plan and an output folder, or --maze WxH --seed N and an output folder\n";
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--help") {
        printHelp();
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "levelgen " VERDANTH_VERSION "\n";
        return 0;
    }
    if (argc < 2) {
        std::cerr << usage;
        return 2;
    }
    try {
        const auto began = std::chrono::steady_clock::now();
        std::string problem;
        const auto request = requestFromArguments(argc, argv, problem);
        if (!request) {
            std::cerr << problem << "Try 'levelgen --help'\n";
            return 2;
        }
        const Plan& plan = request->plan;
        BuildStatistics statistics;
        const Level level = buildLevel(plan, &statistics);
        if (request->archive)
            writeArchivedDataSet(plan, level, request->outputDirectory);
        else
            writeDataSet(plan, level, request->outputDirectory);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - began);
        const WorldPosition start = startPosition(plan);
        std::cout << "levelgen: " << plan.name << " (" << plan.columns << " x " << plan.rows << " cells): "
                  << level.faces.size() << " faces, " << level.vertices.size() << " vertices, " << level.leaves.size()
                  << " leaves, " << level.nodes.size() << " nodes, " << statistics.clusters << " clusters, "
                  << level.brushes.size() << " brushes, " << level.lightmapCount() << " lightmap pages; start "
                  << start.x << " " << start.y << " " << start.z
                  << "; " << elapsed.count() << " ms\n";
        return 0;
    } catch (const PlanError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "levelgen: " << error.what() << "\n";
        return 1;
    }
}
