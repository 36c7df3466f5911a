// The sidecar writer on a real file system: a new file appears whole, an
// existing one is never touched, and no temporary file is left behind.
#include <gtest/gtest.h>

#include "GrabberTestSupport.h"
#include "SidecarWriter.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(SidecarWriterTest, WritesANewFileWholeAndLeavesNothingElse)
{
    TempDir folder;
    const std::string path = folder.Path("clip.avi.bmp");
    std::string content(300000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 251);

    ASSERT_TRUE(WriteFileIfAbsent(path, Bytes(content)));
    EXPECT_EQ(ReadWholeFile(path), content);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"clip.avi.bmp"});
}

TEST(SidecarWriterTest, AnExistingFileIsNeverReplaced)
{
    TempDir folder;
    const std::string path = folder.Path("clip.avi.bmp");
    ASSERT_TRUE(WriteWholeFile(path, "first"));

    EXPECT_FALSE(WriteFileIfAbsent(path, Bytes("second, longer")));
    EXPECT_EQ(ReadWholeFile(path), "first");
    // An empty file counts as existing too.
    const std::string emptyPath = folder.Path("empty.avi.bmp");
    ASSERT_TRUE(WriteWholeFile(emptyPath, ""));
    EXPECT_FALSE(WriteFileIfAbsent(emptyPath, Bytes("data")));
    EXPECT_EQ(ReadWholeFile(emptyPath), "");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi.bmp", "empty.avi.bmp"}));
}

TEST(SidecarWriterTest, UnwritablePlacesFailWithoutLeftovers)
{
    TempDir folder;
    // A folder that does not exist, a path far beyond the ANSI limit, and a
    // name that is an existing folder.
    ASSERT_TRUE(CreateDirectoryA(folder.Path("sub").c_str(), NULL));
    const std::string paths[] = {folder.Path("no-such-folder\\clip.avi.bmp"),
                                 folder.Path(std::string(400, 'y') + ".bmp"),
                                 folder.Path("sub")};
    for (const std::string& path : paths)
        EXPECT_FALSE(WriteFileIfAbsent(path, Bytes("data"))) << path;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"sub"});
    RemoveDirectoryA(folder.Path("sub").c_str());
}

} // namespace
