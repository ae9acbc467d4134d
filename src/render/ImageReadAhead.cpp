#include "render/ImageReadAhead.h"

#include "image/DecodedImage.h"
#include "render/TextureManager.h"

#include <algorithm>
#include <cstdio>

#include <sched.h>

ImageReadAhead::ImageReadAhead(const DataRoot& root, uint32_t maxSide, const std::vector<std::string>& paths)
    : root(root), maxSide(maxSide)
{
    try {
        jobs.reserve(paths.size());
        for (const std::string& path : paths)
            if (std::optional<DataRoot::Planned> planned = root.plan(path)) {
                jobs.emplace_back();
                jobs.back().planned = std::move(*planned);
                jobsOf[path].push_back(jobs.size() - 1);
            }
    } catch (...) {
        for (Job& job : jobs)
            let(job);
        throw;
    }
    const std::size_t cores = usableCores();
    lent = std::min({cores, std::size_t(maxWorkers), jobs.size()});
    // Enough ahead that no worker waits on the owner's uploads, few enough that the images
    // held stay a handful.
    window = 2 * lent + 2;
    root.lendArchiveHandles(lent);
    workers.reserve(lent);
    try {
        while (workers.size() < lent)
            workers.emplace_back([this] { work(); });
    } catch (const std::exception&) {
        // Fewer threads than asked for: the owner decodes what none of them reaches.
    }
}

unsigned ImageReadAhead::usableCores()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0)
        return unsigned(CPU_COUNT(&allowed));
    return std::max(1u, std::thread::hardware_concurrency());
}

ImageReadAhead::~ImageReadAhead()
{
    {
        const std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    for (Job& job : jobs)
        let(job);
    root.giveBackArchiveHandles(lent);
}

std::optional<std::unique_ptr<DecodedImage>> ImageReadAhead::take(const std::string& path, std::ostream& log)
{
    const auto listed = jobsOf.find(path);
    if (listed == jobsOf.end())
        return std::nullopt;
    const auto at = std::lower_bound(listed->second.begin(), listed->second.end(), cursor);
    if (at == listed->second.end())
        return std::nullopt;
    Job& job = jobs[*at];
    bool started = true;
    {
        std::unique_lock<std::mutex> guard(lock);
        passOver(*at, guard);
        cursor = *at + 1;
        started = job.state != State::waiting;
        if (!started) {
            let(job); // the owner reads it as quickly itself
        } else {
            changed.wait(guard, [&job] { return job.state == State::done; });
            held -= job.heldBytes;
            job.state = State::dropped;
        }
    }
    changed.notify_all(); // the window moved on
    if (!started)
        return std::nullopt;
    if (job.failed) {
        root.drop(job.planned, true);
        return std::nullopt;
    }
    if (!root.claim(job.planned, job.fetched))
        return std::nullopt;
    if (!job.fetched.bytes)
        return std::unique_ptr<DecodedImage>();
    Decoded decoded = std::move(job.decoded);
    std::fputs(decoded.warnings.c_str(), stderr);
    if (!decoded.image)
        log << path << ": " << decoded.error << std::endl;
    return std::move(decoded.image);
}

void ImageReadAhead::waitForWorkers()
{
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] {
        if (workers.empty())
            return true;
        for (std::size_t k = cursor; k < next; ++k)
            if (jobs[k].state == State::running)
                return false;
        return !mayStart();
    });
}

ImageReadAhead::Decoded ImageReadAhead::decode(const std::vector<unsigned char>& bytes, const std::string& path,
                                               uint32_t maxSide)
{
    Decoded decoded;
    auto image = std::make_unique<DecodedImage>(bytes, DecodedImage::typeOf(path), maxSide, &decoded.warnings);
    if (image->isLoaded()) {
        TextureManager::prepareShownLevel(*image);
        decoded.image = std::move(image);
    }
    else
        decoded.error = image->getError();
    return decoded;
}

void ImageReadAhead::work()
{
    Archive::Reader reader;
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [this] { return stopping || mayStart(); });
        if (stopping)
            return;
        Job& job = jobs[next++];
        if (job.state != State::waiting)
            continue;
        job.state = State::running;
        guard.unlock();
        run(job, reader);
        guard.lock();
        job.state = State::done;
        held += job.heldBytes;
        changed.notify_all();
    }
}

bool ImageReadAhead::mayStart() const
{
    return next < jobs.size() && next < cursor + window && (held < heldLimit || next <= cursor);
}

// Touches only the job, which no other thread touches while it runs.
void ImageReadAhead::run(Job& job, Archive::Reader& reader) const
{
    try {
        job.fetched = root.fetch(job.planned, reader);
        if (job.fetched.done && job.fetched.bytes) {
            job.decoded = decode(*job.fetched.bytes, job.planned.path, maxSide);
            job.fetched.bytes.emplace(); // decoded: only that there were bytes still counts
        }
        if (const DecodedImage* image = job.decoded.image.get())
            job.heldBytes =
                std::size_t(image->getWidth()) * image->getHeight() * (image->getFormat() == formatRGBA ? 4 : 3);
    } catch (const std::exception&) {
        job.failed = true;
        job.fetched = {};
        job.decoded = {};
    }
}

// The jobs before `end` will not be asked for in time: they are let go, each once it has run.
void ImageReadAhead::passOver(std::size_t end, std::unique_lock<std::mutex>& guard)
{
    for (std::size_t k = cursor; k < end; ++k) {
        changed.wait(guard, [&] { return jobs[k].state != State::running; });
        let(jobs[k]);
    }
}

void ImageReadAhead::let(Job& job)
{
    if (job.state == State::waiting)
        root.drop(job.planned, false);
    if (job.state == State::done) {
        root.drop(job.planned, job.fetched.done || job.failed);
        held -= job.heldBytes;
        job.decoded = {};
    }
    job.state = State::dropped;
}
