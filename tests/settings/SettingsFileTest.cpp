// vantor.ini through the real profile functions, in a folder of the test's
// own: the first-start file, the old layout, the read rules and the saves.
#include "app/AppState.h"
#include "base/SafeText.h"
#include "settings/SettingsFile.h"
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

const char kFirstStartFile[] =
    "[Window]\r\nposx=0\r\nposy=0\r\ncolum=1\r\nrow=1\r\nwintop=0\r\nwinhide=0\r\nacthide=0\r\n"
    "[Option]\r\ntitle=0\r\niconanim=0\r\nmulti=0\r\ntrans=0\r\nlog=0\r\nsnap=0\r\n"
    "snapoffset=10\r\nmemory=0\r\n"
    "[Config]\r\ngraph=0\r\ngline=1\r\nlayout=0\r\ntmrate=1000\r\ntrans=255\r\ntrans2=0\r\n"
    "font=Courier New\r\nfontsize=15\r\n"
    "[Config\\Color]\r\ncolor0=0x00ff00\r\ncolor1=0x00f0ff\r\ncolor2=0x0000ff\r\n"
    "gcolorbk=0xf0f0f0\r\nformat_b=【,】\r\nformat_0=CPU:_#0%\r\nformat_1=#i-#c%\r\n"
    "format_d=/\r\nmeter=0,0\r\ngcolor0=0xff5500\r\ngcolor1=0xff5500\r\ngcolor2=0x9314ff\r\n"
    "[Config\\Log]\r\nlogout=0\r\ntmrate2=1000\r\nlogfile=\r\nlogappend=0\r\nlogtime=0\r\n"
    "loglimit=0\r\nloglimitval=0\r\nlogchange=0\r\nlogchangeval=0\r\n"
    "[Config\\Ext]\r\nbgtrans=0\r\ntextcolor=0xffffff\r\ntmrate3=3000\r\nusericon=0\r\n"
    "iconpath=\r\nskinname=default\r\nkakusi=0\r\nmemback=6586496\r\nmemtext=15728640\r\n"
    "memtype=0\r\n";

std::string Section(const std::string& file, const std::string& name) {
    size_t at = file.find("[" + name + "]");
    if (at == std::string::npos) return "";
    size_t end = file.find("\n[", at + 1);
    return file.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override { UseProcessors(2); }
    void TearDown() override {
        delete[] app.gcolor;
        app.gcolor = nullptr;
    }

    // A fresh folder and fresh settings, as at a start with `count` processors.
    void UseProcessors(int count) {
        delete[] app.gcolor;
        static_cast<Settings&>(app) = Settings();
        app.cpuCount = count;
        app.gcolor = new uint32_t[count + 1]();
        folder = testkit::FreshTempDir("settings");
        ASSERT_FALSE(folder.empty());
        CopyText(app.iniPath, sizeof app.iniPath, (folder + "\\vantor.ini").c_str());
    }

    std::string File() {
        std::string text;
        EXPECT_TRUE(testkit::ReadFileText(app.iniPath, &text));
        return text;
    }
    void Write(const std::string& text) {
        ASSERT_FALSE(testkit::WriteTextFile(app.iniPath, text).empty());
    }

    std::string folder;
};

TEST_F(SettingsFile, FirstStartWritesTheWholeFile) {
    LoadSettings();
    EXPECT_EQ(File(), kFirstStartFile);
    EXPECT_EQ(app.wintop, 0);
    EXPECT_EQ(app.gcolor[2], 0x9314ffu);
    EXPECT_STREQ(app.titleHead, "【CPU: %lu%%");

    // Read back, it stays as it is.
    LoadSettings();
    EXPECT_EQ(File(), kFirstStartFile);
}

TEST_F(SettingsFile, OldLayoutIsConvertedAndUnknownKeysGo) {
    Write("[Window]\r\ncolum=3\r\nrow=2\r\nacthide=2\r\n"
          "[config]\r\nposx=40\r\nposy=50\r\nwintop=1\r\ntitle=1\r\ntrans=128\r\n"
          "color0=0x123456\r\nskinname=dark\r\nlegacy=7\r\n"
          "[Other]\r\nx=1\r\n");
    LoadSettings();
    EXPECT_EQ(app.posx, 40); // from config
    EXPECT_EQ(app.posy, 50);
    EXPECT_EQ(app.wintop, 1);
    EXPECT_EQ(app.colum, 3); // always from Window
    EXPECT_EQ(app.row, 2);
    EXPECT_EQ(app.acthide, 2);
    EXPECT_EQ(app.title, 1);
    EXPECT_EQ(app.trans, 128); // one key in the old layout
    EXPECT_EQ(app.transAlpha, 128);
    EXPECT_EQ(app.color0, 0x123456u);
    EXPECT_STREQ(app.skinname, "dark");

    std::string file = File();
    EXPECT_NE(file.find("[Config\\Ext]"), std::string::npos);
    EXPECT_NE(file.find("posx=40\r\n"), std::string::npos);
    EXPECT_NE(file.find("wintop=1\r\n"), std::string::npos);
    EXPECT_EQ(file.find("legacy"), std::string::npos);
    EXPECT_EQ(file.find("[Other]"), std::string::npos);
    EXPECT_EQ(file.find("[config]"), std::string::npos);
}

TEST_F(SettingsFile, ReadRules) {
    Write("[Window]\r\nwintop=0\r\n"
          "[Option]\r\nlog=1\r\n"
          "[Config]\r\nfont=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\r\n"
          "[Config\\Color]\r\ncolor0=255\r\ncolor1=0x0000ff\r\nmeter=1,2\r\ngcolor0=0x000001\r\n"
          "gcolor5=0x000005\r\n"
          "[Config\\Log]\r\nlogout=0\r\n"
          "[Config\\Ext]\r\nskinname=" +
          std::string(80, 's') + "\r\nmemback=0x0000ff\r\nmemtext=16\r\n");
    LoadSettings();
    EXPECT_EQ(app.log, 0) << "log needs logout";
    EXPECT_EQ(app.color0, 255u);
    EXPECT_EQ(app.color1, 255u);
    EXPECT_EQ(app.meterGradient, 1);
    EXPECT_EQ(app.meterStep, 2);
    EXPECT_EQ(app.gcolor[0], 1u);
    EXPECT_EQ(app.gcolor[1], 0xff5500u); // missing: the default table
    EXPECT_EQ(app.gcolor[2], 0x9314ffu);
    EXPECT_EQ(strlen(app.font), 31u);
    EXPECT_EQ(strlen(app.skinname), 63u);

    SaveSettings(true);
    std::string color = Section(File(), "Config\\Color");
    EXPECT_NE(color.find("meter=1,2\r\n"), std::string::npos);
    EXPECT_NE(color.find("gcolor2=0x9314ff\r\n"), std::string::npos);
    EXPECT_EQ(color.find("gcolor5"), std::string::npos) << "beyond cpuCount";
    std::string ext = Section(File(), "Config\\Ext");
    EXPECT_NE(ext.find("memback=255\r\n"), std::string::npos);
    EXPECT_NE(ext.find("memtext=16\r\n"), std::string::npos);
    EXPECT_NE(ext.find("skinname=" + std::string(63, 's') + "\r\n"), std::string::npos);
    EXPECT_NE(File().find("font=ABCDEFGHIJKLMNOPQRSTUVWXYZ01234\r\n"), std::string::npos);
}

TEST_F(SettingsFile, JapaneseTextCutAtACharacterBoundary) {
    // 16 double-byte characters: 32 bytes do not fit the 31 of `font`.
    std::string face;
    for (int i = 0; i < 16; ++i)
        face += "あ";
    Write("[Window]\r\nwintop=0\r\n[Config]\r\nfont=" + face + "\r\n");
    LoadSettings();
    EXPECT_EQ(strlen(app.font), 30u);
    EXPECT_EQ(std::string(app.font), face.substr(0, 30));
}

TEST_F(SettingsFile, OneProcessorKeepsOnlyTheTotalsColour) {
    UseProcessors(0);
    LoadSettings();
    std::string color = Section(File(), "Config\\Color");
    EXPECT_NE(color.find("gcolor0=0xff5500"), std::string::npos);
    EXPECT_EQ(color.find("gcolor1"), std::string::npos);
}

TEST_F(SettingsFile, ShortSaveLeavesTheOtherSectionsAlone) {
    LoadSettings();
    // A hand edit in [Config] and [Config\Ext], and values changed in memory.
    std::string edited = File();
    edited.insert(edited.find("graph=0"), "handmade=1\r\n");
    Write(edited);
    app.graph = 2;
    app.skinname[0] = 0;
    app.posx = 123;
    app.wintop = 1;
    app.title = 1;
    std::string before = File();
    SaveSettings(false);
    std::string after = File();
    for (const char* name : {"Config", "Config\\Color", "Config\\Log", "Config\\Ext"})
        EXPECT_EQ(Section(after, name), Section(before, name)) << name;
    EXPECT_NE(Section(after, "Window").find("posx=123\r\n"), std::string::npos);
    EXPECT_NE(Section(after, "Option").find("title=1\r\n"), std::string::npos);
}

TEST_F(SettingsFile, ReadOnlyFolderKeepsTheValuesInMemory) {
    // A settings path whose folder does not exist cannot be written at all.
    CopyText(app.iniPath, sizeof app.iniPath, (folder + "\\missing\\vantor.ini").c_str());
    // Its error boxes are answered from another thread, as a user would.
    int boxes = 0;
    std::thread user([&boxes] {
        while (HWND box = testkit::WaitForWindow("#32770", "Vantor エラー", boxes ? 1000 : 15000)) {
            ++boxes;
            testkit::Post(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            testkit::WaitUntil([&] { return !IsWindow(box); }, 5000);
        }
    });
    app.posx = 5;
    LoadSettings();
    EXPECT_EQ(app.posx, 0);
    app.posx = 77;
    SaveSettings(true);
    SaveSettings(false);
    EXPECT_EQ(app.posx, 77);
    EXPECT_EQ(GetFileAttributesA(app.iniPath), INVALID_FILE_ATTRIBUTES);
    user.join();
    EXPECT_EQ(boxes, 1) << "the first failed save, that of the missing file, is told once";
}

} // namespace
