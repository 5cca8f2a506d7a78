// misto-render: the saver's rain over a picture, written out as PNG frames.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <numeric>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "foundation/median.h"
#include "picture/picture_io.h"
#include "picture/picture_scale.h"
#include "picture/pixel_format.h"
#include "picture/sample_picture.h"
#include "tools/render/rain_render.h"
#include "tools/render/render_options.h"

namespace fs = std::filesystem;

namespace {

std::string frameName(const std::string& dir, std::int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", static_cast<int>(number));
    return (fs::path(dir) / name).string();
}

double percentile(std::vector<double> sorted, double share) {
    // Nearest rank: the smallest value with at least `share` of the values at or below it.
    if (sorted.empty()) return 0.0;
    std::sort(sorted.begin(), sorted.end());
    size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    rank = std::clamp<size_t>(rank, 1, sorted.size());
    return sorted[rank - 1];
}

// The mean tells what a stretch of frames costs in all, for comparing with another program's CPU
// time over the same frames; the median says what a typical frame costs.
double mean(const std::vector<double>& values) {
    if (values.empty()) return 0.0;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

int run(const RenderOptions& options, const char* argv0) {
    using Clock = std::chrono::steady_clock;

    const std::string imagePath = options.image.empty() ? findSamplePicture(argv0) : options.image;
    const Picture picture = scalePicture(loadPicture(imagePath), options.width, options.height);

    std::error_code ec;
    fs::create_directories(options.out, ec);
    if (ec) {
        std::fprintf(stderr, "misto-render: cannot create the folder %s: %s\n", options.out.c_str(),
                     ec.message().c_str());
        return 1;
    }

    RainRender render(picture, static_cast<std::uint32_t>(options.bpp), options.settings,
                      options.seed, options.restartSeconds);
    std::vector<double> frameMs;
    if (options.bench) frameMs.reserve(static_cast<size_t>(options.frames));

    const Clock::time_point start = Clock::now();
    Clock::time_point lastProgress = start;
    bool progressShown = false;
    std::int32_t written = 0;
    for (std::int32_t f = 1; f <= options.frames; ++f) {
        if (options.paceMs > 0)
            std::this_thread::sleep_until(start + std::chrono::milliseconds(options.paceMs) * f);
        const Clock::time_point before = Clock::now();
        render.step();
        if (options.bench) {
            frameMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - before).count());
        }
        if (f % options.every == 0)
            writePng(frameName(options.out, ++written), pictureOf(render.work()));

        const Clock::time_point now = Clock::now();
        if (now - start > std::chrono::seconds(1) &&
            (now - lastProgress > std::chrono::milliseconds(200) || f == options.frames)) {
            std::fprintf(stderr, "\rframe %d of %d, %d written", f, options.frames, written);
            lastProgress = now;
            progressShown = true;
        }
    }
    if (progressShown) std::fputc('\n', stderr);

    std::printf("misto-render: %d frame%s of %dx%d at %d bpp written to %s\n", written,
                written == 1 ? "" : "s", options.width, options.height, options.bpp,
                options.out.c_str());
    if (options.bench) {
        std::printf(
            "bench: %d frames, median %.3f ms, mean %.3f ms, p95 %.3f ms per frame; %zu live "
            "drops; %.1f%% of the picture wet\n",
            options.frames, median(frameMs), mean(frameMs), percentile(frameMs, 0.95),
            render.liveDrops(), 100.0 * render.wetShare());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    try {
        options = parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const RenderOptionsError& e) {
        std::fprintf(stderr, "misto-render: %s\n", e.what());
        return 2;
    }
    if (options.help) {
        std::fputs(renderUsage().c_str(), stdout);
        return 0;
    }
    try {
        return run(options, argc > 0 ? argv[0] : nullptr);
    } catch (const PictureError& e) {
        std::fprintf(stderr, "misto-render: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto-render: %s\n", e.what());
        return 1;
    }
}
