#include "picture/picture_turn.h"

#include <cstring>

Picture uprightPicture(const Picture& stored, PictureTurn turn) {
    const std::int32_t quarters = ((turn.quarters % 4) + 4) % 4;
    const bool sidesSwap = quarters % 2 == 1;
    Picture upright(sidesSwap ? stored.height : stored.width,
                    sidesSwap ? stored.width : stored.height);
    const std::int32_t w = stored.width;
    const std::int32_t h = stored.height;
    for (std::int32_t y = 0; y < upright.height; ++y) {
        for (std::int32_t x = 0; x < upright.width; ++x) {
            // Where the upright pixel (x, y) went: mirrored, then turned anticlockwise.
            const std::int32_t mx = turn.mirrored ? upright.width - 1 - x : x;
            std::int32_t sx = mx;
            std::int32_t sy = y;
            switch (quarters) {
                case 1:
                    sx = y;
                    sy = h - 1 - mx;
                    break;
                case 2:
                    sx = w - 1 - mx;
                    sy = h - 1 - y;
                    break;
                case 3:
                    sx = w - 1 - y;
                    sy = mx;
                    break;
                default:
                    break;
            }
            std::memcpy(upright.at(x, y), stored.at(sx, sy), 3);
        }
    }
    return upright;
}
