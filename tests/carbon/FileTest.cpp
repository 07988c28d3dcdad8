#include <carbon/Carbon.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

std::string WriteTemporaryFile(const std::string& content)
{
    const auto path = std::filesystem::temp_directory_path() / ("carbon_file_test_" + std::to_string(::getpid()));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    return path.string();
}

// The descriptors this process holds open.
size_t OpenDescriptors()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return size_t(std::distance(begin(entries), end(entries)));
}

}

TEST(Files, WholeFileReadsByPath)
{
    const size_t descriptors = OpenDescriptors();
    const std::string path = WriteTemporaryFile("3DMetafile");
    FSSpec fileSpec {};
    ASSERT_EQ(FSMakeFSSpecFromPath(path.c_str(), &fileSpec), noErr);
    int16_t refNum = 0;
    ASSERT_EQ(FSpOpenDF(&fileSpec, fsRdPerm, &refNum), noErr);
    int32_t size = 0;
    ASSERT_EQ(GetEOF(refNum, &size), noErr);
    EXPECT_EQ(size, 10);
    char buffer[16] {};
    int32_t count = size;
    EXPECT_EQ(FSRead(refNum, &count, buffer), noErr);
    EXPECT_EQ(std::string(buffer, count), "3DMetafile");

    count = 4;
    EXPECT_EQ(FSRead(refNum, &count, buffer), eofErr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(FSClose(refNum), noErr);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(FSClose(refNum), rfNumErr);
    std::filesystem::remove(path);

    // An empty file opens and has nothing in it.
    const std::string empty = WriteTemporaryFile("");
    ASSERT_EQ(FSMakeFSSpecFromPath(empty.c_str(), &fileSpec), noErr);
    ASSERT_EQ(FSpOpenDF(&fileSpec, fsRdPerm, &refNum), noErr);
    size = -1;
    EXPECT_EQ(GetEOF(refNum, &size), noErr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(FSClose(refNum), noErr);
    std::filesystem::remove(empty);
}

TEST(Files, BadSpecsAndNumbersFail)
{
    FSSpec fileSpec {};
    EXPECT_EQ(FSMakeFSSpecFromPath("", &fileSpec), paramErr);
    EXPECT_EQ(FSMakeFSSpecFromPath(std::string(FSSpecPathCapacity, 'a').c_str(), &fileSpec), paramErr);
    // The longest path the system opens fits.
    EXPECT_EQ(FSMakeFSSpecFromPath(std::string(PATH_MAX - 1, 'a').c_str(), &fileSpec), noErr);
    ASSERT_EQ(FSMakeFSSpecFromPath("/nonexistent/terraslide/file", &fileSpec), noErr);
    int16_t refNum = 0;
    EXPECT_EQ(FSpOpenDF(&fileSpec, fsRdPerm, &refNum), fnfErr);
    EXPECT_EQ(FSpOpenDF(&fileSpec, 3, &refNum), permErr);
    int32_t size = 0;
    EXPECT_EQ(GetEOF(999, &size), rfNumErr);
    EXPECT_EQ(FSRead(999, &size, nullptr), rfNumErr);
}
