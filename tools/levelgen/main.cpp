// levelgen: compiles a plan (or a generated maze) into a data set the viewer runs.
//
//   levelgen PLAN OUTDIR
//   levelgen --maze WxH --seed N OUTDIR

#include "DataSet.h"
#include "LevelBuilder.h"
#include "MazeGenerator.h"
#include "Plan.h"

#include <chrono>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

namespace {

constexpr const char* usage = "usage: levelgen PLAN OUTDIR\n"
                              "       levelgen --maze WxH --seed N OUTDIR\n";

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

// Returns the plan and the output directory, or a message for the user.
std::optional<std::pair<Plan, std::string>> planFromArguments(int argc, char** argv, std::string& problem)
{
    if (argc == 3 && std::string(argv[1]).rfind("--", 0) != 0)
        return std::make_pair(readPlanFile(argv[1]), std::string(argv[2]));
    if (argc == 6 && std::string(argv[1]) == "--maze" && std::string(argv[3]) == "--seed") {
        const std::string size = argv[2];
        const size_t x = size.find('x');
        const std::optional<int> width =
            x == std::string::npos ? std::nullopt : parseNumber(size.substr(0, x), minMazeSide, maxPlanSide);
        const std::optional<int> height =
            x == std::string::npos ? std::nullopt : parseNumber(size.substr(x + 1), minMazeSide, maxPlanSide);
        const std::optional<int> seed = parseNumber(argv[4], 0, 999999999);
        if (!width || !height) {
            problem = "levelgen: maze size must be WxH with sides from " + std::to_string(minMazeSide) + " to " +
                      std::to_string(maxPlanSide) + ", not " + size + "\n";
            return std::nullopt;
        }
        if (!seed) {
            problem = std::string("levelgen: seed must be a whole number, not ") + argv[4] + "\n";
            return std::nullopt;
        }
        return std::make_pair(generateMaze(*width, *height, static_cast<uint32_t>(*seed)), std::string(argv[5]));
    }
    problem = usage;
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const auto began = std::chrono::steady_clock::now();
        std::string problem;
        const auto input = planFromArguments(argc, argv, problem);
        if (!input) {
            std::cerr << problem;
            return 1;
        }
        const Plan& plan = input->first;
        BuildStatistics statistics;
        const Level level = buildLevel(plan, &statistics);
        writeDataSet(plan, level, input->second);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - began);
        const WorldPosition start = startPosition(plan);
        std::cout << "levelgen: " << plan.name << " (" << plan.columns << " x " << plan.rows << " cells): "
                  << level.faces.size() << " faces, " << level.vertices.size() << " vertices, " << level.leaves.size()
                  << " leaves, " << level.nodes.size() << " nodes, " << statistics.clusters << " clusters, "
                  << level.brushes.size() << " brushes; start " << start.x << " " << start.y << " " << start.z
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
