#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "picture/picture_folder.h"
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

// The image folder: only PNG and JPEG names, found below subfolders too; a folder, a FIFO, a
// damaged file and a picture whose header claims a huge size are passed over with a reason, and
// every seed ends on a picture that reads. A folder with none, or none at all, gives nothing.
TEST_F(PictureIoTest, FolderPictureSkipsWhatCannotBeShown) {
    Picture good(4, 2);
    for (size_t i = 0; i < good.rgb.size(); ++i) good.rgb[i] = static_cast<std::uint8_t>(i * 11);
    fs::create_directories(dir_ / "deep/er");
    writePng((dir_ / "deep/er/good.PNG").string(), good);
    std::ofstream(dir_ / "notes.txt") << "no picture";
    std::ofstream(dir_ / "broken.jpg", std::ios::binary) << "\xff\xd8 not a JPEG at all";
    // A PNG header for 8000 x 6000 pixels and nothing after it.
    const unsigned char huge[] = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0,
                                  13,   'I',  'H', 'D', 'R',  0,    0,    0x1f, 0x40, 0, 0,
                                  0x17, 0x70, 8,   2,   0,    0,    0,    0,    0,    0, 0};
    std::ofstream(dir_ / "huge.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(huge), sizeof huge);
    fs::create_directories(dir_ / "folder.jpeg");
#ifndef _WIN32
    ASSERT_EQ(mkfifo((dir_ / "pipe.png").string().c_str(), 0600), 0);
    const std::size_t unreadable = 4;
#else
    const std::size_t unreadable = 3;
#endif
    const std::vector<std::string> files = pictureFilesIn(dir_.string());
    EXPECT_EQ(files.size(), unreadable + 1);
    for (const std::string& f : files) EXPECT_EQ(f.find("notes"), std::string::npos) << f;

    for (std::uint32_t seed = 0; seed < files.size(); ++seed) {
        std::vector<std::string> passedOver;
        const std::optional<FolderPicture> chosen =
            randomFolderPicture(dir_.string(), seed, passedOver);
        ASSERT_TRUE(chosen.has_value()) << seed;
        EXPECT_EQ(fs::path(chosen->path).filename(), "good.PNG");
        EXPECT_EQ(chosen->picture.rgb, good.rgb);
        for (const std::string& why : passedOver) EXPECT_FALSE(why.empty());
    }
    std::vector<std::string> all;
    fs::remove(dir_ / "deep/er/good.PNG");
    EXPECT_FALSE(randomFolderPicture(dir_.string(), 0, all).has_value());
    EXPECT_EQ(all.size(), unreadable);
    const std::string reasons = [&] {
        std::string joined;
        for (const std::string& why : all) joined += why + "\n";
        return joined;
    }();
    EXPECT_NE(reasons.find("not a regular file"), std::string::npos) << reasons;
    EXPECT_NE(reasons.find("more than 40000000 pixels"), std::string::npos) << reasons;
    EXPECT_NE(reasons.find("broken.jpg"), std::string::npos) << reasons;
    std::vector<std::string> none;
    EXPECT_FALSE(randomFolderPicture((dir_ / "missing").string(), 3, none).has_value());
    EXPECT_TRUE(none.empty());
}

}  // namespace
