// A host program built against the installed Lumarel package.
//
// It does what a developer's program does with the control: creates one,
// plays a clip into its window, pauses, seeks, resizes, stops and deletes
// it, checking the picture on screen and every slot's answer on the way, so
// a table laid out differently from the DLL's, or a wrong binding, shows.
// It also reads the version resource of the Lumarel.dll it runs with.
//
// Built twice: linked to the exports through the import library, and with
// PACKAGE_HOST_LOADS_LIBRARY looking them up by name at run time. Prints one
// line per check; the exit code is the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AviClip.h"
#include "IPlayerControl.h"
#include "MessageBoxWatcher.h"
#include "ScreenPixels.h"
#include "TestWindow.h"

namespace {

const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
const uint32_t kBlue = 0x0000FF;
const uint32_t kWhite = 0xFFFFFF;
const int kTolerance = 40;

// The only box a working open may show: the frame time format is refused
// by some graph managers (Wine's), and the control says so.
const char kMsgTimeFormat[] = "Can't set TIME format...";

int g_nFailures = 0;

void Check(bool ok, const std::string& what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    if (!ok)
        ++g_nFailures;
}

struct Exports
{
    HMODULE hLib;
    PFN_NewPlayerControl NewPlayerControl;
    PFN_DeletePlayerControl DeletePlayerControl;
    PFN_Test Test;
};

#ifdef PACKAGE_HOST_LOADS_LIBRARY
const char kBinding[] = "LoadLibrary";

template <class Fn>
Fn Lookup(HMODULE hLib, const char* pszName)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hLib, pszName)));
}

// Lumarel.dll from beside the program (default search order), by name.
Exports BindExports()
{
    Exports exports = {};
    exports.hLib = LoadLibraryA("Lumarel.dll");
    if (exports.hLib) {
        exports.NewPlayerControl = Lookup<PFN_NewPlayerControl>(exports.hLib, "NewPlayerControl");
        exports.DeletePlayerControl =
            Lookup<PFN_DeletePlayerControl>(exports.hLib, "DeletePlayerControl");
        exports.Test = Lookup<PFN_Test>(exports.hLib, "Test");
    }
    return exports;
}
#else
const char kBinding[] = "import library";

// The loader bound Lumarel.dll before the program started.
Exports BindExports()
{
    Exports exports = {GetModuleHandleA("Lumarel.dll"), NewPlayerControl, DeletePlayerControl,
                       Test};
    return exports;
}
#endif

std::string ModulePath(HMODULE hModule)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(hModule, path, MAX_PATH);
    return path;
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of("\\/") + 1);
}

// A string of the version resource's US English, Unicode block.
std::string VersionString(const std::vector<char>& info, const char* pszName)
{
    const std::string key = std::string("\\StringFileInfo\\040904B0\\") + pszName;
    void* pValue = nullptr;
    UINT cchValue = 0;
    if (!VerQueryValueA(info.data(), key.c_str(), &pValue, &cchValue) || cchValue == 0)
        return "";
    return static_cast<const char*>(pValue);
}

void CheckVersionResource(const std::string& dllPath)
{
    DWORD dwHandle = 0;
    const DWORD cbInfo = GetFileVersionInfoSizeA(dllPath.c_str(), &dwHandle);
    std::vector<char> info(cbInfo);
    const bool bRead = cbInfo > 0 && GetFileVersionInfoA(dllPath.c_str(), 0, cbInfo, info.data());
    Check(bRead, "Lumarel.dll has a version resource");
    if (!bRead)
        return;
    Check(VersionString(info, "FileVersion") == LUMAREL_PACKAGE_VERSION,
          "its file version is the package's, " LUMAREL_PACKAGE_VERSION);
    Check(VersionString(info, "ProductName") == "Lumarel", "its product name is Lumarel");
}

// A clip of four seconds, red, green, blue and white, in a folder of its own.
class Clip
{
public:
    Clip()
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        m_dir = std::string(temp) + "lumarel-package-host-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_dir.c_str(), NULL);
        m_path = m_dir + "\\seconds.avi";
        AviClipSpec clipSpec;
        clipSpec.secondColours = {kRed, kGreen, kBlue, kWhite};
        if (!WriteAviClip(m_path, clipSpec))
            m_path.clear();
    }
    ~Clip()
    {
        DeleteFileA((m_dir + "\\seconds.avi").c_str());
        RemoveDirectoryA(m_dir.c_str());
    }
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_dir;
    std::string m_path;
};

bool WaitForColour(HWND hWnd, int x, int y, uint32_t colour)
{
    return PumpUntil(
        [&] { return ColourNear(ScreenPixels::OfClientArea(hWnd).At(x, y), colour, kTolerance); },
        5000);
}

// Waits until (x, y) shows another colour of the clip than it does now.
bool WaitForNextColour(HWND hWnd, int x, int y)
{
    const uint32_t before = ScreenPixels::OfClientArea(hWnd).At(x, y);
    return PumpUntil(
        [&] {
            const uint32_t now = ScreenPixels::OfClientArea(hWnd).At(x, y);
            return !ColourNear(now, before, kTolerance) && !ColourNear(now, 0x000000, kTolerance);
        },
        5000);
}

bool Near(double value, double expected)
{
    return value > expected - 0.05 && value < expected + 0.05;
}

// True when the picture, whatever second of the clip it shows, covers the
// rectangle inside and leaves the two rectangles outside to the background.
bool PictureCovers(HWND hWnd, const RECT& inside, const RECT& outside1, const RECT& outside2)
{
    const ScreenPixels pixels = ScreenPixels::OfClientArea(hWnd);
    const uint32_t picture = pixels.At((inside.left + inside.right) / 2,
                                       (inside.top + inside.bottom) / 2);
    return !ColourNear(picture, 0x000000, kTolerance)
           && pixels.AllNear(inside, picture, kTolerance)
           && !pixels.AnyNear(outside1, picture, kTolerance)
           && !pixels.AnyNear(outside2, picture, kTolerance);
}

// Every slot, in a window of 800 x 400 and then 500 x 500: the 320 x 240
// picture is 533 wide from column 134, then 375 high from row 63 (checked
// with some margin for the scaling's soft edges).
void PlayThroughEverySlot(const Exports& exports, const std::string& clipPath)
{
    MessageBoxWatcher boxes;
    TestWindow window(800, 400);
    const HWND hWnd = window.Handle();

    IPlayerControl* control = exports.NewPlayerControl();
    Check(control != nullptr, "NewPlayerControl gives a control");
    if (!control)
        return;
    Check(control->GetItemCount() == 0, "GetItemCount is 0");
    Check(control->GetItem(0) == nullptr && control->GetItem(-1) == nullptr,
          "GetItem(0) and GetItem(-1) are null");
    Check(control->GetDuration() == 0.0, "GetDuration before Play is 0");
    Check(control->SetPosition(1.0) == 0, "SetPosition before Play returns 0");
    Check(control->SetWindow(hWnd) == 0, "SetWindow returns 0");
    Check(control->SetFileName(clipPath.c_str()) == 0, "SetFileName returns 0");
    Check(control->Play() == 1, "Play returns 1");

    Check(WaitForColour(hWnd, 400, 200, kRed), "the first second (red) is on screen");
    Check(PictureCovers(hWnd, {146, 0, 656, 400}, {0, 0, 125, 400}, {676, 0, 800, 400}),
          "the picture is centred with its aspect kept (800 x 400)");
    Check(Near(control->GetDuration(), 4.0), "GetDuration is 4 s");

    // While playing, and checked on the clip's next second: the video window
    // repaints the picture when a frame comes, and nothing else, so pixels
    // left from before the resize all have an earlier colour.
    window.ResizeClient(500, 500);
    control->Resize();
    Check(WaitForNextColour(hWnd, 250, 250), "the clip goes on after Resize");
    Check(PictureCovers(hWnd, {0, 74, 500, 428}, {0, 0, 500, 53}, {0, 448, 500, 500}),
          "Resize fits the picture to 500 x 500");

    Check(control->Pause() == 1, "Pause returns 1");
    Check(control->SetPosition(2.0) == 1, "SetPosition after Play returns 1");
    Check(Near(control->GetPosition(), 2.0), "GetPosition is where it was set");
    Check(WaitForColour(hWnd, 250, 250, kBlue), "the third second (blue) is on screen");
    PumpMessages(300);
    Check(Near(control->GetPosition(), 2.0), "paused, the position stays");

    Check(control->Stop() == 1, "Stop returns 1");
    const HWND hVideo = GetWindow(hWnd, GW_CHILD);
    Check(hVideo && IsWindowVisible(hVideo), "the video window is a child of the window");
    exports.DeletePlayerControl(control);
    PumpMessages(100);
    Check(!IsWindow(hVideo) && window.CountVisibleChildren() == 0,
          "DeletePlayerControl removes the video window");

    bool bOnlyTimeFormat = true;
    for (const std::string& text : boxes.Texts()) {
        std::printf("message box: %s\n", text.c_str());
        bOnlyTimeFormat = bOnlyTimeFormat && text == kMsgTimeFormat;
    }
    Check(bOnlyTimeFormat, "the open showed no failure beyond the time format");
}

void CheckTestExport(const Exports& exports)
{
    MessageBoxWatcher boxes;
    Check(exports.Test() == IDOK, "Test returns the box's answer, IDOK");
    const std::vector<SeenMessageBox> seen = boxes.Seen();
    Check(seen.size() == 1 && seen[0].text == "Test!" && seen[0].caption == "!",
          "Test shows \"Test!\" with the caption \"!\"");
}

} // namespace

int main()
{
    std::printf("package host, bound through the %s\n", kBinding);
    const Exports exports = BindExports();
    Check(exports.hLib && exports.NewPlayerControl && exports.DeletePlayerControl && exports.Test,
          "Lumarel.dll and its three exports are bound");
    if (g_nFailures)
        return g_nFailures;
    const std::string dllPath = ModulePath(exports.hLib);
    Check(FolderOf(dllPath) == FolderOf(ModulePath(NULL)),
          "Lumarel.dll is the one beside the program: " + dllPath);
    CheckVersionResource(dllPath);

    Clip clip;
    Check(!clip.Path().empty(), "the clip is written");
    if (!clip.Path().empty())
        PlayThroughEverySlot(exports, clip.Path());
    CheckTestExport(exports);

#ifdef PACKAGE_HOST_LOADS_LIBRARY
    FreeLibrary(exports.hLib);
#endif
    std::printf("%d failed\n", g_nFailures);
    return g_nFailures;
}
