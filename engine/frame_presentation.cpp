#include "engine/frame_presentation.h"

#include <algorithm>

namespace {

// Beyond this many rectangles the merging would cost more than it saves; the frame is then
// sent whole.
constexpr std::size_t kMostRectangles = 2048;

PixelArea boxOf(const PixelArea& a, const PixelArea& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace

FramePresentation::FramePresentation(std::int64_t mergeSlack) : mergeSlack_(mergeSlack) {}

FramePresentation::Send FramePresentation::plan(const std::vector<DirtyRect>& traced,
                                                std::int32_t width, std::int32_t height,
                                                std::uint32_t now) {
    areas_.clear();
    const bool safetyDue = partsSent_ && now - lastWhole_ >= WholeEveryMs;
    if (wholeDue_ || safetyDue || traced.size() > kMostRectangles) {
        wholeDue_ = false;
        partsSent_ = false;
        lastWhole_ = now;
        return Send::Whole;
    }
    // Merging looks at every area made so far, which grows with the square of the count: the
    // rectangles are first sorted into coarse squares of the picture and merge only with those
    // of their own square, where all the cheap merges are anyway.
    sorted_.clear();
    for (const DirtyRect& r : traced) {
        // Inclusive corners to a copy rectangle, kept inside the picture whatever the caller
        // gave: a copy outside the surfaces would be refused or worse.
        const PixelArea a{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width - 1) + 1,
                          std::min(r.bottom, height - 1) + 1};
        if (a.left >= a.right || a.top >= a.bottom) continue;
        const std::uint64_t square = (static_cast<std::uint64_t>(a.top >> kSquareShift) << 32) |
                                     static_cast<std::uint32_t>(a.left >> kSquareShift);
        sorted_.push_back({square, a});
    }
    std::sort(sorted_.begin(), sorted_.end(),
              [](const Keyed& x, const Keyed& y) { return x.square < y.square; });
    for (std::size_t i = 0, first = 0; i < sorted_.size(); ++i) {
        if (i == 0 || sorted_[i].square != sorted_[i - 1].square) first = areas_.size();
        merge(sorted_[i].area, first);
    }
    if (areas_.empty()) return Send::Nothing;
    // Each copy counted with what it costs beyond its pixels: many small copies can cost more
    // than one of the whole picture.
    std::int64_t cost = 0;
    for (const PixelArea& a : areas_) cost += a.pixels() + std::max<std::int64_t>(mergeSlack_, 0);
    if (cost >= static_cast<std::int64_t>(width) * height) {
        areas_.clear();
        partsSent_ = false;
        lastWhole_ = now;
        return Send::Whole;
    }
    partsSent_ = true;
    return Send::Areas;
}

void FramePresentation::merge(PixelArea area, std::size_t first) {
    // A drop's rectangles of consecutive frames and its neighbours' overlap, so most of them
    // join into a few boxes; a box is taken only where it copies hardly more than the parts.
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = first; i < areas_.size(); ++i) {
            const PixelArea box = boxOf(area, areas_[i]);
            if (box.pixels() <= area.pixels() + areas_[i].pixels() + mergeSlack_) {
                area = box;
                areas_[i] = areas_.back();
                areas_.pop_back();
                joined = true;
                break;
            }
        }
    }
    areas_.push_back(area);
}

std::vector<PixelArea> areasToSend(FramePresentation::Send send,
                                   const std::vector<PixelArea>& planned, std::int32_t width,
                                   std::int32_t height) {
    switch (send) {
        case FramePresentation::Send::Whole:
            return {PixelArea{0, 0, width, height}};
        case FramePresentation::Send::Areas:
            return planned;
        case FramePresentation::Send::Nothing:
            break;
    }
    return {};
}
