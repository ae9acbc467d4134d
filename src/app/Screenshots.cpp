#include "app/Screenshots.h"

#include "image/PNGWriter.h"
#include "render/FrameCapture.h"

#include <ctime>
#include <iostream>
#include <new>
#include <utility>

Screenshots::Screenshots(std::string folder) : folder(std::move(folder)) {}

void Screenshots::request() { wanted = true; }

void Screenshots::takePending()
{
    if (!wanted)
        return;
    wanted = false;
    const std::string path = nextPath();
    try {
        const FrameCapture frame = FrameCapture::ofBackBuffer();
        PNGWriter::write(path, frame.width, frame.height, frame.rgb);
        std::cerr << "screenshot " << path << std::endl;
    } catch (const PNGWriteError& error) {
        std::cerr << "verdanth: " << error.what() << std::endl;
    } catch (const std::bad_alloc&) {
        std::cerr << "verdanth: " << path << ": cannot write the picture: not enough memory" << std::endl;
    }
}

std::string Screenshots::nextPath()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    named += 1;
    const std::string name = "verdanth-" + std::string(stamp) + "-" + std::to_string(named) + ".png";
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}
