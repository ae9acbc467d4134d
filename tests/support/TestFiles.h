#pragma once

#include <memory>
#include <string>
#include <vector>

// Scratch files for tests: each test gets its own directory under the system temp dir,
// removed when the object goes away.
namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; } // ends with '/'
    std::string write(const std::string& name, const std::string& contents) const;
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const;

private:
    std::string root;
};

// Captures everything written to std::cerr while alive.
class CerrCapture {
public:
    CerrCapture();
    ~CerrCapture();
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;
    std::string text() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace testsupport
