#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "render/win32/ddraw_device.h"
#include "render/win32/ddraw_surface.h"
#include "render/win32/enumerated_display_mode.h"
#include "render/win32/surface_description.h"

namespace {

// DirectDraw wants a window for the cooperative level; windowed (normal) level is enough for a
// primary surface and needs no virtual desktop.
class DisplayDevice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        window_ = CreateWindowExA(0, "STATIC", "ddraw test", WS_POPUP, 0, 0, 64, 64, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(window_); }
    // Per test: a test may have released the device, and a new one starts without a level.
    void SetUp() override { DDraw::set_cooperative_level(window_, DDSCL_NORMAL); }

    static DDraw::SurfaceDescription desktopFormat(std::uint32_t width = 0,
                                                   std::uint32_t height = 0) {
        DDraw::SurfaceDescription format;
        EXPECT_TRUE(format.read_display_mode());
        if (width != 0) format.raw().dwWidth = width;
        if (height != 0) format.raw().dwHeight = height;
        return format;
    }

    static std::unique_ptr<DDraw::Surface> memorySurface(std::uint32_t width,
                                                         std::uint32_t height) {
        auto surface = DDraw::create_system_memory_surface(desktopFormat(width, height));
        EXPECT_NE(surface, nullptr);
        return surface;
    }

    // Writes a value into every pixel that depends on its position.
    static void paintPattern(DDraw::Surface& surface, std::uint32_t salt) {
        SurfaceDesc d{};
        ASSERT_TRUE(surface.lock(d));
        const std::uint32_t bytes = d.bitsPerPixel / 8;
        for (std::uint32_t y = 0; y < d.height; ++y)
            for (std::uint32_t x = 0; x < d.width; ++x) {
                const std::uint32_t v = (x * 7 + y * 131 + salt) * 2654435761u;
                std::memcpy(d.bits + y * d.pitch + x * bytes, &v, bytes);
            }
        surface.unlock();
    }

    // The colour bits only: a fourth byte at 32 bpp is not the picture's.
    static std::uint32_t pixel(const SurfaceDesc& d, std::uint32_t x, std::uint32_t y) {
        std::uint32_t v = 0;
        std::memcpy(&v, d.bits + y * d.pitch + x * (d.bitsPerPixel / 8), d.bitsPerPixel / 8);
        return d.bitsPerPixel >= 24 ? v & 0xFFFFFF : v;
    }

    static HWND window_;
};

HWND DisplayDevice::window_ = nullptr;

}  // namespace

TEST(DisplayDeviceLoading, MissingLibraryOrEntryGivesTheProgramsOwnText) {
    for (const char* library : {"misto_no_such_ddraw.dll", "kernel32.dll"}) {
        try {
            DDraw::Device device(library);
            FAIL() << library << " must not give a device";
        } catch (const DDraw::Exception& e) {
            EXPECT_STREQ(e.what(), "This program requires DirectX 5 or later installed!");
        }
    }
    // A failed private attempt leaves the process-wide device unharmed.
    EXPECT_NE(DDraw::device().get(), nullptr);
    EXPECT_EQ(&DDraw::device(), &DDraw::device());
}

TEST_F(DisplayDevice, DescriptionsCarryTheirSizeAndApplyTheirFormat) {
    DDraw::SurfaceDescription mode = desktopFormat();
    EXPECT_EQ(mode.raw().dwSize, sizeof(DDSURFACEDESC));
    EXPECT_EQ(mode.raw().dwSize, sizeof(void*) == 8 ? 120u : 108u);
    EXPECT_GT(mode.width(), 0u);
    EXPECT_GT(mode.height(), 0u);
    EXPECT_TRUE(mode.bits_per_pixel() == 8 || mode.bits_per_pixel() == 16 ||
                mode.bits_per_pixel() == 24 || mode.bits_per_pixel() == 32);

    DDSURFACEDESC target;
    std::memset(&target, 0x5A, sizeof target);
    target.dwFlags = DDSD_CAPS;
    mode.apply_format_to(target);
    EXPECT_EQ(target.dwFlags, DWORD(DDSD_CAPS | 0x1006));
    EXPECT_EQ(target.dwWidth, mode.width());
    EXPECT_EQ(target.dwHeight, mode.height());
    EXPECT_EQ(
        std::memcmp(&target.ddpfPixelFormat, &mode.raw().ddpfPixelFormat, sizeof(DDPIXELFORMAT)),
        0);
    // Nothing else is touched.
    EXPECT_EQ(target.dwBackBufferCount, 0x5A5A5A5Au);
}

TEST_F(DisplayDevice, ModesListTheDesktopsOwn) {
    DisplayModeList modes;
    DDraw::enumerate_modes(modes);
    const DDraw::SurfaceDescription desktop = desktopFormat();
    bool desktopListed = false;
    for (const auto& mode : modes)
        desktopListed |= mode->width() == desktop.width() && mode->height() == desktop.height() &&
                         mode->bits_per_pixel() == desktop.bits_per_pixel();
    EXPECT_TRUE(desktopListed);
}

TEST(EnumeratedMode, RateOnlyWhenTheDriverNamesOne) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 800;
    desc.dwHeight = 600;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.dwRefreshRate = 75;  // shares its place with the mip-map count
    DDraw::EnumeratedDisplayMode without(desc);
    EXPECT_EQ(without.width(), 800u);
    EXPECT_EQ(without.height(), 600u);
    EXPECT_EQ(without.bits_per_pixel(), 16u);
    EXPECT_EQ(without.refresh_rate(), 0u);
    desc.dwFlags |= DDSD_REFRESHRATE;
    EXPECT_EQ(DDraw::EnumeratedDisplayMode(desc).refresh_rate(), 75u);
}

TEST_F(DisplayDevice, MemorySurfaceFromThePrimaryMatchesItExactly) {
    auto primary = DDraw::create_primary_surface();
    ASSERT_NE(primary, nullptr);
    DDraw::SurfaceDescription screen;
    ASSERT_TRUE(screen.read_from(*primary));
    auto copy = DDraw::create_system_memory_surface(screen);
    ASSERT_NE(copy, nullptr);
    DDraw::SurfaceDescription made;
    ASSERT_TRUE(made.read_from(*copy));
    EXPECT_EQ(made.width(), screen.width());
    EXPECT_EQ(made.height(), screen.height());
    EXPECT_EQ(made.bits_per_pixel(), screen.bits_per_pixel());
    EXPECT_EQ(made.red_mask(), screen.red_mask());
    EXPECT_EQ(made.green_mask(), screen.green_mask());
    EXPECT_EQ(made.blue_mask(), screen.blue_mask());
    EXPECT_NE(made.raw().ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY, 0u);
    EXPECT_EQ(copy->back_buffer(), nullptr);
    EXPECT_EQ(primary->back_buffer(), nullptr);
    // Not lost, so recovery changes nothing and reports the surface usable.
    EXPECT_FALSE(primary->is_lost());
    EXPECT_TRUE(primary->recover(*copy));
}

TEST_F(DisplayDevice, LockDescribesTheWholeSurfaceOnce) {
    auto surface = memorySurface(37, 11);
    ASSERT_NE(surface, nullptr);
    const DDraw::SurfaceDescription format = desktopFormat();
    SurfaceDesc d{};
    ASSERT_TRUE(surface->lock(d));
    EXPECT_EQ(d.bitsPerPixel, format.bits_per_pixel());
    EXPECT_EQ(d.width, 37u);
    EXPECT_EQ(d.height, 11u);
    EXPECT_GE(d.pitch, 37u * (d.bitsPerPixel / 8));
    EXPECT_NE(d.bits, nullptr);
    // The whole last row is ours to write.
    std::memset(d.bits + (d.height - 1) * d.pitch, 0x3C, d.width * (d.bitsPerPixel / 8));
    SurfaceDesc again{};
    EXPECT_FALSE(surface->lock(again));
    surface->unlock();
    surface->unlock();  // a second unlock is harmless
    ASSERT_TRUE(surface->lock(again));
    EXPECT_EQ(again.bits[(again.height - 1) * again.pitch], 0x3C);
    surface->unlock();
}

TEST_F(DisplayDevice, WholeCopiesAndPartCopiesLandWhereAsked) {
    auto source = memorySurface(40, 30);
    auto target = memorySurface(40, 30);
    ASSERT_TRUE(source && target);
    paintPattern(*source, 1);
    paintPattern(*target, 2);
    source->blt_to(*target);
    SurfaceDesc s{}, t{};
    ASSERT_TRUE(source->lock(s));
    ASSERT_TRUE(target->lock(t));
    for (std::uint32_t y = 0; y < 30; ++y)
        for (std::uint32_t x = 0; x < 40; ++x)
            ASSERT_EQ(pixel(t, x, y), pixel(s, x, y)) << x << "," << y;
    target->unlock();
    source->unlock();

    paintPattern(*target, 2);
    source->blt_rect_to(*target, RECT{5, 6, 15, 10});
    auto small = memorySurface(8, 4);
    ASSERT_NE(small, nullptr);
    paintPattern(*small, 3);
    small->blt_at(*target, 30, 20);
    SurfaceDesc m{};
    ASSERT_TRUE(source->lock(s));
    ASSERT_TRUE(target->lock(t));
    ASSERT_TRUE(small->lock(m));
    EXPECT_EQ(pixel(t, 5, 6), pixel(s, 5, 6));
    EXPECT_EQ(pixel(t, 14, 9), pixel(s, 14, 9));
    EXPECT_NE(pixel(t, 15, 9), pixel(s, 15, 9));
    EXPECT_NE(pixel(t, 4, 6), pixel(s, 4, 6));
    EXPECT_EQ(pixel(t, 30, 20), pixel(m, 0, 0));
    EXPECT_EQ(pixel(t, 37, 23), pixel(m, 7, 3));
    small->unlock();
    target->unlock();
    source->unlock();
}

TEST_F(DisplayDevice, StretchCopiesEqualSizesAndScalesOthers) {
    auto source = memorySurface(16, 8);
    auto same = memorySurface(16, 8);
    auto twice = memorySurface(32, 16);
    ASSERT_TRUE(source && same && twice);
    paintPattern(*source, 4);
    paintPattern(*same, 5);
    paintPattern(*twice, 6);
    source->stretch_to(*same);
    source->stretch_to(*twice);
    SurfaceDesc s{}, a{}, b{};
    ASSERT_TRUE(source->lock(s));
    ASSERT_TRUE(same->lock(a));
    ASSERT_TRUE(twice->lock(b));
    for (std::uint32_t y = 0; y < 8; ++y)
        for (std::uint32_t x = 0; x < 16; ++x) {
            ASSERT_EQ(pixel(a, x, y), pixel(s, x, y)) << x << "," << y;
            // Doubling repeats every source pixel over a 2x2 block.
            ASSERT_EQ(pixel(b, 2 * x, 2 * y), pixel(s, x, y)) << x << "," << y;
            ASSERT_EQ(pixel(b, 2 * x + 1, 2 * y + 1), pixel(s, x, y)) << x << "," << y;
        }
    twice->unlock();
    same->unlock();
    source->unlock();
}

TEST_F(DisplayDevice, FillsFromADeviceContext) {
    auto surface = memorySurface(20, 10);
    ASSERT_NE(surface, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 10);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT left{0, 0, 10, 10}, right{10, 0, 20, 10};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(memory, &left, red);
    FillRect(memory, &right, blue);
    surface->copy_from_dc(memory);
    SelectObject(memory, old);
    DeleteObject(red);
    DeleteObject(blue);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const DDraw::SurfaceDescription format = desktopFormat();
    SurfaceDesc d{};
    ASSERT_TRUE(surface->lock(d));
    EXPECT_EQ(pixel(d, 2, 5), format.red_mask() & 0xFFFFFF);
    EXPECT_EQ(pixel(d, 15, 5), format.blue_mask() & 0xFFFFFF);
    surface->unlock();
}

TEST_F(DisplayDevice, DeletingTheWrapperKeepsTheSurface) {
    auto surface = memorySurface(8, 8);
    ASSERT_NE(surface, nullptr);
    IDirectDrawSurface3* raw = surface->get();
    raw->AddRef();
    surface.reset();
    // Our extra reference and the one the wrapper forgot are both still there.
    EXPECT_GE(raw->Release(), 1u);
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    EXPECT_TRUE(SUCCEEDED(raw->GetSurfaceDesc(&desc)));
    EXPECT_EQ(desc.dwWidth, 8u);
}

TEST_F(DisplayDevice, ReleasingTheDeviceReleasesItsSurfacesAndANewOneFollows) {
    auto surface = memorySurface(8, 8);
    ASSERT_NE(surface, nullptr);
    IDirectDrawSurface3* raw = surface->get();
    raw->AddRef();
    surface.reset();
    DDraw::release_device();
    // Only our own reference is left.
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_NE(DDraw::device().get(), nullptr);
    DDraw::set_cooperative_level(window_, DDSCL_NORMAL);
    EXPECT_NE(memorySurface(4, 4), nullptr);
}

TEST_F(DisplayDevice, ShrinkingKeepsRealPixels) {
    auto source = memorySurface(16, 8);
    auto half = memorySurface(8, 4);
    ASSERT_TRUE(source && half);
    // Columns alternate between two colours with no bits in common.
    const DDraw::SurfaceDescription format = desktopFormat();
    const std::uint32_t a = format.red_mask() | format.blue_mask(), b = format.green_mask();
    SurfaceDesc s{};
    ASSERT_TRUE(source->lock(s));
    for (std::uint32_t y = 0; y < s.height; ++y)
        for (std::uint32_t x = 0; x < s.width; ++x) {
            const std::uint32_t v = x % 2 == 0 ? a : b;
            std::memcpy(s.bits + y * s.pitch + x * (s.bitsPerPixel / 8), &v, s.bitsPerPixel / 8);
        }
    source->unlock();
    source->stretch_to(*half);
    SurfaceDesc h{};
    ASSERT_TRUE(half->lock(h));
    for (std::uint32_t y = 0; y < h.height; ++y)
        for (std::uint32_t x = 0; x < h.width; ++x) {
            const std::uint32_t v = pixel(h, x, y);
            EXPECT_TRUE(v == (a & 0xFFFFFF) || v == (b & 0xFFFFFF)) << x << "," << y << ": " << v;
        }
    half->unlock();
}
