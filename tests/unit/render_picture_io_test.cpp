#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "picture/picture_io.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(__FILE__).parent_path() / "../data";

class PictureIoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("misto-picture-io-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_F(PictureIoTest, PngRoundTripKeepsEveryByte) {
    Picture p(7, 3);
    for (size_t i = 0; i < p.rgb.size(); ++i) p.rgb[i] = static_cast<std::uint8_t>(i * 37);
    const std::string path = (dir_ / "p.png").string();
    writePng(path, p);
    const Picture back = loadPicture(path);
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.rgb, p.rgb);
}

TEST_F(PictureIoTest, ReadsTheBundledPicturesAsRgb) {
    // The PNG has an alpha channel, the BMP has none; both come back as 3 bytes a pixel.
    const Picture png = loadPicture((kData / "wallpaper.png").string());
    EXPECT_EQ(png.width, 1280);
    EXPECT_EQ(png.height, 720);
    EXPECT_EQ(png.rgb.size(), 1280u * 720u * 3u);
    const Picture bmp = loadPicture((kData / "wallpaper.bmp").string());
    EXPECT_EQ(bmp.width, 1024);
    EXPECT_EQ(bmp.height, 768);
    EXPECT_EQ(bmp.rgb.size(), 1024u * 768u * 3u);
}

TEST_F(PictureIoTest, BadFilesAreClearErrors) {
    const std::string missing = (dir_ / "none.png").string();
    try {
        loadPicture(missing);
        ADD_FAILURE() << "a missing file was read";
    } catch (const PictureError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
    }

    const std::string garbage = (dir_ / "garbage.png").string();
    std::ofstream(garbage, std::ios::binary) << "\x89PNG\r\n\x1a\nthis is not a picture";
    EXPECT_THROW(loadPicture(garbage), PictureError);

    // A PNG cut short after its header.
    Picture p(64, 64);
    const std::string whole = (dir_ / "whole.png").string();
    writePng(whole, p);
    const std::string cut = (dir_ / "cut.png").string();
    fs::copy_file(whole, cut);
    fs::resize_file(cut, 40);
    EXPECT_THROW(loadPicture(cut), PictureError);

    EXPECT_THROW(writePng((dir_ / "no" / "such" / "dir.png").string(), p), PictureWriteError);
    EXPECT_THROW(writePng((dir_ / "empty.png").string(), Picture()), PictureWriteError);
}

}  // namespace
