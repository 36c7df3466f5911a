// The version resources of the shipped files, read back the way Explorer's
// Details tab and installers read them (GetFileVersionInfo, VerQueryValue).
// The expected version is the project's, handed over by the build.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "RealLibrary.h"

namespace {

struct ShippedFile
{
    const char* name;
    const char* description;
    DWORD fileType;
};

const ShippedFile kShippedFiles[] = {
    {"Lumarel.dll", "Lumarel media player control", VFT_DLL},
    {"LumarelTest.exe", "Lumarel test host: plays files dropped onto its window", VFT_APP},
};

class VersionResource : public ::testing::TestWithParam<ShippedFile>
{
protected:
    void SetUp() override
    {
        const std::string path = RealLibrary::PathBesideProgram(GetParam().name);
        DWORD dwHandle = 0;
        const DWORD cbInfo = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
        ASSERT_GT(cbInfo, 0u) << path << " has no version resource";
        m_info.resize(cbInfo);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, cbInfo, m_info.data()));
    }

    // A string of the US English, Unicode block; "<missing>" without it.
    std::string String(const char* pszName)
    {
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + pszName;
        void* pValue = nullptr;
        UINT cchValue = 0;
        if (!VerQueryValueA(m_info.data(), key.c_str(), &pValue, &cchValue) || cchValue == 0)
            return "<missing>";
        return static_cast<const char*>(pValue);
    }

    const VS_FIXEDFILEINFO* Fixed()
    {
        void* pValue = nullptr;
        UINT cbValue = 0;
        if (!VerQueryValueA(m_info.data(), "\\", &pValue, &cbValue)
            || cbValue < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(pValue);
    }

    std::vector<char> m_info;
};

TEST_P(VersionResource, NamesTheProductTheFileAndWhatItIs)
{
    EXPECT_EQ(String("ProductName"), "Lumarel");
    EXPECT_EQ(String("OriginalFilename"), GetParam().name);
    EXPECT_EQ(String("FileDescription"), GetParam().description);
}

TEST_P(VersionResource, CarriesTheProjectVersion)
{
    EXPECT_EQ(String("FileVersion"), LUMAREL_VERSION);
    EXPECT_EQ(String("ProductVersion"), LUMAREL_VERSION);

    const VS_FIXEDFILEINFO* pFixed = Fixed();
    ASSERT_NE(pFixed, nullptr);
    EXPECT_EQ(pFixed->dwSignature, 0xFEEF04BDu);
    const DWORD dwVersionMS = MAKELONG(LUMAREL_VERSION_MINOR, LUMAREL_VERSION_MAJOR);
    const DWORD dwVersionLS = MAKELONG(0, LUMAREL_VERSION_PATCH);
    EXPECT_EQ(pFixed->dwFileVersionMS, dwVersionMS);
    EXPECT_EQ(pFixed->dwFileVersionLS, dwVersionLS);
    EXPECT_EQ(pFixed->dwProductVersionMS, dwVersionMS);
    EXPECT_EQ(pFixed->dwProductVersionLS, dwVersionLS);
    EXPECT_EQ(pFixed->dwFileType, GetParam().fileType);
}

INSTANTIATE_TEST_SUITE_P(ShippedFiles, VersionResource, ::testing::ValuesIn(kShippedFiles),
                         [](const ::testing::TestParamInfo<ShippedFile>& info) {
                             return std::string(info.param.fileType == VFT_DLL ? "Dll" : "Exe");
                         });

} // namespace
