// The shipped Lumarel.dll through its exports: creation, the small
// operations, a never-played control, and the Test export's message box.
#include <gtest/gtest.h>

#include "MessageBoxWatcher.h"
#include "RealLibrary.h"

namespace {

class LibraryTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(lib.Loaded()) << "Lumarel.dll or an export is missing"; }
    RealLibrary lib;
};

TEST_F(LibraryTest, DeleteNullDoesNothing)
{
    MessageBoxWatcher watcher;
    lib.DeletePlayerControl(nullptr);
    Sleep(100);
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(LibraryTest, FreshControlReportsNoItems)
{
    IPlayerControl* control = lib.NewPlayerControl();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetItemCount(), 0);
    for (int index : {0, -1, 5, 1 << 30})
        EXPECT_EQ(control->GetItem(index), nullptr) << "index " << index;
    lib.DeletePlayerControl(control);
}

TEST_F(LibraryTest, SettersReturnZeroWhateverTheyAreGiven)
{
    IPlayerControl* control = lib.NewPlayerControl();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->SetWindow(NULL), 0);
    EXPECT_EQ(control->SetWindow(GetDesktopWindow()), 0);
    EXPECT_EQ(control->SetWindow(reinterpret_cast<HWND>(0x1234)), 0);
    EXPECT_EQ(control->SetFileName(""), 0);
    EXPECT_EQ(control->SetFileName("C:\\clips\\a.avi"), 0);
    EXPECT_EQ(control->SetFileName(std::string(5000, 'x').c_str()), 0);
    EXPECT_EQ(control->SetFileName(nullptr), 0);
    lib.DeletePlayerControl(control);
}

TEST_F(LibraryTest, NeverPlayedControlAnswersAsUnplayedAndDiesSilently)
{
    MessageBoxWatcher watcher;
    IPlayerControl* control = lib.NewPlayerControl();
    ASSERT_NE(control, nullptr);
    control->SetWindow(GetDesktopWindow());
    control->SetFileName("C:\\no\\such\\file.avi");
    EXPECT_EQ(control->Stop(), 1);
    EXPECT_EQ(control->Pause(), 1);
    EXPECT_EQ(control->SetPosition(3.0), 0);
    EXPECT_EQ(control->GetPosition(), 0.0);
    EXPECT_EQ(control->GetDuration(), 0.0);
    control->Resize();
    lib.DeletePlayerControl(control);
    Sleep(200);
    EXPECT_TRUE(watcher.Seen().empty()) << watcher.Seen()[0].text;
}

TEST_F(LibraryTest, ManyControlsCreatedAndDestroyed)
{
    IPlayerControl* controls[64] = {};
    for (IPlayerControl*& control : controls) {
        control = lib.NewPlayerControl();
        ASSERT_NE(control, nullptr);
    }
    for (IPlayerControl* control : controls)
        lib.DeletePlayerControl(control);
}

TEST_F(LibraryTest, TestExportShowsItsBoxAndReturnsTheButton)
{
    MessageBoxWatcher watcher;
    const int result = lib.Test();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    const SeenMessageBox box = watcher.Seen()[0];
    EXPECT_EQ(box.caption, "!");
    EXPECT_EQ(box.text, "Test!");
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(result, IDOK);
}

} // namespace
