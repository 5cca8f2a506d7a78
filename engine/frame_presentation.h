#pragma once

#include <cstdint>
#include <vector>

#include "engine/pixel_area.h"
#include "rain/dirty_rect.h"

// What of the finished work picture goes to the screen each frame. The tracer writes nothing
// outside the rectangles it traced, so copying just those leaves the screen with exactly the
// pixels a whole copy would; the whole picture goes only where it may all have changed or the
// screen may have lost some of it.
class FramePresentation {
  public:
    // The whole picture is sent again after this long of rectangles only, in case a copy went
    // missing on the way.
    static constexpr std::uint32_t WholeEveryMs = 1000;

    enum class Send { Nothing, Whole, Areas };

    // `mergeSlack`: how many pixels one more copy costs as much as; two areas are sent as their
    // bounding box when that box holds no more than both of them and this many pixels more.
    explicit FramePresentation(std::int64_t mergeSlack = DefaultMergeSlack);

    // The next frame sends the whole picture: the first frame, a restart, a display prepared
    // again. Any number of calls before that frame count as one.
    void presentWholeNextFrame() { wholeDue_ = true; }

    // Decides this frame's copy: `traced` are the rectangles drawn this frame, clipped to the
    // picture of `width` x `height`; `now` is the millisecond tick. With Send::Areas the areas
    // to copy, in the picture's coordinates, are in `areas()`, disjoint or overlapping, each inside
    // the picture.
    Send plan(const std::vector<DirtyRect>& traced, std::int32_t width, std::int32_t height,
              std::uint32_t now);
    const std::vector<PixelArea>& areas() const { return areas_; }

    // Under Wine's GDI renderer one more copy to the screen costs as much as 25,000 to 36,000
    // more pixels of a copy (docs/performance.md).
    static constexpr std::int64_t DefaultMergeSlack = 32768;

  private:
    // Joins `area` to the areas from `first` on where that is cheap, else appends it.
    void merge(PixelArea area, std::size_t first);

    // Squares of 256 pixels within which rectangles merge.
    static constexpr int kSquareShift = 8;
    struct Keyed {
        std::uint64_t square;
        PixelArea area;
    };
    std::vector<Keyed> sorted_;

    std::int64_t mergeSlack_;
    bool wholeDue_ = true;
    // Whether areas went out since the last whole copy; only then is the safety copy owed.
    bool partsSent_ = false;
    std::uint32_t lastWhole_ = 0;
    std::vector<PixelArea> areas_;
};

// The areas to copy to the screen for a frame whose plan was `send`, on a picture of `width` x
// `height` with `planned` the plan's areas: none, those areas, or one area of the whole picture.
std::vector<PixelArea> areasToSend(FramePresentation::Send send,
                                   const std::vector<PixelArea>& planned, std::int32_t width,
                                   std::int32_t height);
