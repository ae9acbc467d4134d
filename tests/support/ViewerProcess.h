#pragma once

#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

// Runs the real verdanth binary (or any program) for end-to-end tests: stderr goes to a
// file so the console transcript can be checked, and the process is killed if the test
// ends first.
namespace testsupport {

std::string viewerBinary(); // the verdanth binary of this build
std::string sourceDir();    // the repository
std::string buildDir();     // the build tree

struct ExitStatus {
    bool exited = false; // false: ended by a signal
    int code = 0;        // exit code, or the signal number
};

// Waits `seconds`, where nothing the test can watch says when a window or the X server is ready.
void pause(double seconds);
// The first group of each match of `pattern` in `text`, in order (a transcript's pictures, say).
std::vector<std::string> matchedGroups(const std::string& text, const std::regex& pattern);

// A private X server for one test, so tests running side by side never see each other's
// windows (GLUT windows carry no process id to tell them apart).
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    const std::string& name() const { return displayName; } // ":N"
    // Runs a shell command against this display and returns its standard output.
    std::string run(const std::string& command) const;
    // The X id of the first window with this exact title, waiting up to `seconds`; empty if none.
    std::string waitForWindow(const std::string& title, double seconds) const;
    // The window's pixels, RGB rows from the top, through an X screenshot.
    std::vector<unsigned char> capture(const std::string& window) const;
    // Captures until `shows` accepts the picture or `seconds` pass, and returns the last one: a
    // loaded machine may take long to draw what a key asked for, so tests wait for the picture
    // itself rather than for a fixed time.
    std::vector<unsigned char> captureUntil(const std::string& window,
                                            const std::function<bool(const std::vector<unsigned char>&)>& shows,
                                            double seconds) const;

private:
    int serverPid = -1;     // scripts/xvfb-display --serve, which owns the server
    int keepAlive = -1;     // its standard input: closing it ends the server
    std::string displayName;
};

class ViewerProcess {
public:
    // `display` is the X display for the process; empty keeps the test's own.
    ViewerProcess(const std::vector<std::string>& arguments, const std::string& workingDirectory = ".",
                  const std::string& display = "");
    ~ViewerProcess();
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    std::optional<ExitStatus> waitForExit(double seconds);
    std::string transcript() const; // everything written to stderr so far
    std::string output() const;     // everything written to stdout so far
    bool waitForTranscript(const std::string& text, double seconds) const;
    // How often the program's main thread has been scheduled off its core (woken and put back
    // to sleep, or preempted), from /proc; nothing once it has ended.
    std::optional<long> contextSwitches() const;

private:
    int pid = -1;
    std::string stderrPath;
    std::string stdoutPath;
    std::optional<ExitStatus> status;
};

// Runs a shell command and returns its standard output (trailing newline removed).
std::string shellOutput(const std::string& command);

} // namespace testsupport
