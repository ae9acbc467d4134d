#pragma once

#include "Plan.h"

#include <cstdint>
#include <fstream>
#include <iterator>
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

} // namespace toolstest
