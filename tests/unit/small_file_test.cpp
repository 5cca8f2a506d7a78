#include "foundation/small_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

TEST(SmallFile, RegularFilesUpToTheLimitAndNothingElse) {
    const std::string path = testing::TempDir() + "small_file_test.bin";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string text = "line\r\nend\n";
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);

    const SmallFile whole = readSmallFile(path, 1 << 20);
    ASSERT_TRUE(whole.bytes) << whole.error;
    EXPECT_EQ(std::string(whole.bytes->begin(), whole.bytes->end()), text) << "read as bytes";
    const SmallFile cut = readSmallFile(path, 4);
    ASSERT_TRUE(cut.bytes);
    EXPECT_EQ(std::string(cut.bytes->begin(), cut.bytes->end()), "line");
    std::remove(path.c_str());

    const SmallFile gone = readSmallFile(path, 1 << 20);
    EXPECT_FALSE(gone.bytes);
    EXPECT_TRUE(gone.missing);
    EXPECT_FALSE(gone.error.empty());

    const SmallFile folder = readSmallFile(testing::TempDir(), 1 << 20);
    EXPECT_FALSE(folder.bytes);
    EXPECT_FALSE(folder.missing);

#ifndef _WIN32
    // Neither waits for a writer nor reads without end: refused as they are.
    const std::string fifo = testing::TempDir() + "small_file_test.fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& device : {fifo, std::string("/dev/zero")}) {
        const SmallFile other = readSmallFile(device, 1 << 20);
        EXPECT_FALSE(other.bytes) << device;
        EXPECT_EQ(other.error, "not a regular file") << device;
    }
    ::unlink(fifo.c_str());
#endif
}

}  // namespace
