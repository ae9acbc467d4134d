#include "ViewerProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {
namespace {

ExitStatus decode(int raw)
{
    if (WIFEXITED(raw))
        return {true, WEXITSTATUS(raw)};
    return {false, WTERMSIG(raw)};
}

void sleepBriefly() { pause(0.05); }
} // namespace

std::string viewerBinary() { return VERDANTH_BINARY; }
std::string sourceDir() { return VERDANTH_SOURCE_DIR; }
std::string buildDir() { return VERDANTH_BUILD_DIR; }

ViewerProcess::ViewerProcess(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                             const std::string& display)
{
    char pattern[] = "/tmp/verdanth-stderr-XXXXXX";
    const int stderrFile = mkstemp(pattern);
    char outputPattern[] = "/tmp/verdanth-stdout-XXXXXX";
    const int stdoutFile = mkstemp(outputPattern);
    if (stderrFile < 0 || stdoutFile < 0)
        throw std::runtime_error("cannot create a file for the transcript");
    stderrPath = pattern;
    stdoutPath = outputPattern;
    pid = fork();
    if (pid == 0) {
        dup2(stderrFile, STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDIN_FILENO);
        dup2(stdoutFile, STDOUT_FILENO);
        // Mesa unloads its driver before the viewer's leak check can name it, so its
        // leaks cannot be told from ours there; the unit tests check our code for leaks.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        if (!display.empty())
            setenv("DISPLAY", display.c_str(), 1);
        if (chdir(workingDirectory.c_str()) != 0)
            _exit(126);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(stderrFile);
    close(stdoutFile);
}

ViewerProcess::~ViewerProcess()
{
    if (pid > 0 && !status) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::remove(stderrPath.c_str());
    std::remove(stdoutPath.c_str());
}

std::optional<ExitStatus> ViewerProcess::waitForExit(double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!status) {
        int raw = 0;
        if (waitpid(pid, &raw, WNOHANG) == pid)
            status = decode(raw);
        else if (std::chrono::steady_clock::now() > deadline)
            break;
        else
            sleepBriefly();
    }
    return status;
}

namespace {
std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

std::string ViewerProcess::transcript() const { return fileText(stderrPath); }

std::string ViewerProcess::output() const { return fileText(stdoutPath); }

bool ViewerProcess::waitForTranscript(const std::string& text, double seconds) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (transcript().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        sleepBriefly();
    }
    return true;
}

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

std::vector<std::string> matchedGroups(const std::string& text, const std::regex& pattern)
{
    std::vector<std::string> groups;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        groups.push_back((*it)[1]);
    return groups;
}

std::optional<long> ViewerProcess::contextSwitches() const
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/status");
    long switches = 0;
    bool found = false;
    for (std::string line; std::getline(status, line);)
        for (const char* key : {"voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:"})
            if (line.rfind(key, 0) == 0) {
                switches += std::stol(line.substr(std::strlen(key)));
                found = true;
            }
    if (!found)
        return std::nullopt;
    return switches;
}

std::string shellOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t count;
        while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, count);
        pclose(pipe);
    }
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

// The server comes from scripts/xvfb-display, as every script's does. It keeps the server while
// its standard input stays open, so the server ends with this object or with the test process,
// whichever goes first.
PrivateDisplay::PrivateDisplay()
{
    int keep[2];
    int answer[2];
    // Close-on-exec, so viewers started later never hold the server up.
    if (pipe2(keep, O_CLOEXEC) != 0 || pipe2(answer, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create the pipes for Xvfb");
    serverPid = fork();
    if (serverPid == 0) {
        dup2(keep[0], STDIN_FILENO);
        dup2(answer[1], STDOUT_FILENO);
        const std::string script = sourceDir() + "/scripts/xvfb-display";
        execl(script.c_str(), script.c_str(), "--serve", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(keep[0]);
    close(answer[1]);
    keepAlive = keep[1];
    pollfd wait{answer[0], POLLIN, 0};
    std::string line;
    char buffer[16];
    while (line.find('\n') == std::string::npos && poll(&wait, 1, 30000) > 0) {
        const ssize_t count = read(answer[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        line.append(buffer, std::size_t(count));
    }
    close(answer[0]);
    displayName = line.substr(0, line.find('\n'));
    if (displayName.empty() || displayName[0] != ':') {
        close(keepAlive);
        waitpid(serverPid, nullptr, 0);
        throw std::runtime_error("Xvfb did not start");
    }
}

PrivateDisplay::~PrivateDisplay()
{
    if (keepAlive >= 0)
        close(keepAlive);
    if (serverPid > 0)
        waitpid(serverPid, nullptr, 0);
}

std::string PrivateDisplay::run(const std::string& command) const
{
    return shellOutput("DISPLAY=" + displayName + " " + command);
}

std::string PrivateDisplay::waitForWindow(const std::string& title, double seconds) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        const std::string ids = run("xdotool search --name '^" + title + "$' 2>/dev/null");
        if (!ids.empty())
            return ids.substr(0, ids.find('\n'));
        if (std::chrono::steady_clock::now() > deadline)
            return "";
        sleepBriefly();
    }
}

std::vector<unsigned char> PrivateDisplay::capture(const std::string& window) const
{
    char pattern[] = "/tmp/verdanth-shot-XXXXXX";
    const int file = mkstemp(pattern);
    if (file < 0)
        throw std::runtime_error("cannot create a file for the screenshot");
    close(file);
    run("import -window " + window + " -depth 8 rgb:" + pattern);
    std::ifstream in(pattern, std::ios::binary);
    std::vector<unsigned char> rgb((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(pattern);
    return rgb;
}

std::vector<unsigned char> PrivateDisplay::captureUntil(
    const std::string& window, const std::function<bool(const std::vector<unsigned char>&)>& shows,
    double seconds) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<unsigned char> picture = capture(window);
    while (!shows(picture) && std::chrono::steady_clock::now() < deadline) {
        sleepBriefly();
        picture = capture(window);
    }
    return picture;
}

} // namespace testsupport
