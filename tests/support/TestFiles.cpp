#include "TestFiles.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

namespace testsupport {

TempDir::TempDir()
{
    std::random_device device;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        const auto candidate = base / ("verdanth-test-" + std::to_string(device()));
        if (std::filesystem::create_directories(candidate)) {
            root = candidate.string() + "/";
            return;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& contents) const
{
    const std::string path = root + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string TempDir::write(const std::string& name, const std::vector<unsigned char>& bytes) const
{
    return write(name, std::string(bytes.begin(), bytes.end()));
}

struct CerrCapture::Impl {
    std::ostringstream buffer;
    std::streambuf* previous = nullptr;
};

CerrCapture::CerrCapture() : impl(std::make_unique<Impl>())
{
    impl->previous = std::cerr.rdbuf(impl->buffer.rdbuf());
}

CerrCapture::~CerrCapture()
{
    std::cerr.rdbuf(impl->previous);
}

std::string CerrCapture::text() const { return impl->buffer.str(); }

} // namespace testsupport
