#include "app/ThumbnailDeadline.h"

#include "image/PNGWriter.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {
// Set before the alarm is armed: the handler may only use what needs no allocation.
std::string message;
std::string temporary;

extern "C" void expire(int)
{
    if (::write(STDERR_FILENO, message.data(), message.size()) < 0) {
        // Nothing more can be said; the status says it.
    }
    ::unlink(temporary.c_str());
    ::_exit(1);
}
} // namespace

ThumbnailDeadline::ThumbnailDeadline(const std::string& level, const std::string& picture)
{
    message = "verdanth: " + level + ": no thumbnail within " + std::to_string(seconds) + " seconds\n";
    temporary = PNGWriter::temporaryPath(picture);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = expire;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    alarm(seconds);
}

ThumbnailDeadline::~ThumbnailDeadline()
{
    alarm(0);
    signal(SIGALRM, SIG_DFL);
}
