#pragma once

#include "Plan.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Inputs the tool tests share: the demo's plan and whole files read back.
namespace toolstest {

inline std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::string& path)
{
    const std::vector<uint8_t> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

inline Plan demoPlan()
{
    return parsePlan(readText(LEVELGEN_DEMO_PLAN), LEVELGEN_DEMO_PLAN);
}

// Every file under `directory`, by its path relative to it with forward slashes.
inline std::set<std::string> filesBelow(const std::string& directory)
{
    std::set<std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(directory))
        if (item.is_regular_file())
            files.insert(std::filesystem::relative(item.path(), directory).generic_string());
    return files;
}

} // namespace toolstest
