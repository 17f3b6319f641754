// Skins read from real folders beside the program, composed into a real
// memory DC, and the window outline cut from the composed picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ViewKit.h"
#include "app/AppState.h"
#include "testkit.h"
#include "view/Background.h"
#include "view/Region.h"
#include "view/Skin.h"

using namespace viewkit;

namespace {

const COLORREF GREEN = RGB(0, 255, 0), BLUE = RGB(0, 0, 255);

class SkinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.usericon = 0;
        app.padLeft = app.padTop = app.padRight = app.padBottom = 0;
        name = NewSkinFolder(&folder);
    }
    void TearDown() override {
        ReleaseSkin();
        FreeBackBuffer();
    }
    void Ini(const std::string& text) { testkit::WriteTextFile(folder + "\\skin.ini", text); }
    void Bmp(const char* file, int w, int h, const PixelFn& f) {
        WriteBmp(folder + "\\" + file, w, h, f);
    }
    void Compose(int w, int h) {
        LoadSkinNamed(name);
        MakeBackBuffer(w, h);
        ComposeBackground(app.backDC);
    }
    std::string name, folder;
};

TEST_F(SkinTest, MissingSkinGivesDefaultsAndAPlainFill) {
    app.skinTextColor = RGB(1, 2, 3);
    lstrcpyA(app.iconpath, "old");
    LoadSkinNamed("no-such-skin");
    EXPECT_EQ(app.skinTextColor, RGB(0, 0, 0));
    EXPECT_EQ(app.padLeft, 4);
    EXPECT_EQ(app.padTop, 8);
    EXPECT_EQ(app.padRight, 4);
    EXPECT_EQ(app.padBottom, 8);
    EXPECT_STREQ(app.iconpath, ""); // no ICONS section: emptied
    EXPECT_EQ(app.skinLT.image, nullptr);
    MakeBackBuffer(40, 30);
    ComposeBackground(app.backDC);
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 9)
            EXPECT_EQ(At(x, y), RGB(220, 220, 220));
}

TEST_F(SkinTest, IniValuesAreLimitedAndShortPaddingKeepsTheRest) {
    Ini("[color]\nback=300 -5 128\nFONT=10 20 30 extra\n[LAYOUT]\nPADDING=2 2\n"
        "[ICONS]\nPATH=C:\\icons\n");
    app.padRight = 11, app.padBottom = 12;
    Compose(10, 10);
    EXPECT_EQ(At(5, 5), RGB(255, 255, 128));
    EXPECT_EQ(app.skinTextColor, RGB(10, 20, 30));
    EXPECT_EQ(app.padLeft, 2);
    EXPECT_EQ(app.padTop, 2);
    EXPECT_EQ(app.padRight, 11);
    EXPECT_EQ(app.padBottom, 12);
    EXPECT_STREQ(app.iconpath, "C:\\icons");

    app.usericon = 1; // the user's own icon folder wins
    lstrcpyA(app.iconpath, "mine");
    LoadSkinNamed(name);
    EXPECT_STREQ(app.iconpath, "mine");
}

TEST_F(SkinTest, PieceMaskIsWhereTheKeyGreenWas) {
    Bmp("backLT.bmp", 4, 3, [](int x, int y) { return x == y ? GREEN : RGB(200, 10, 10); });
    Bmp("backRT.bmp", 2, 2, [](int, int) { return GREEN; });
    testkit::WriteTextFile(folder + "\\backRB.bmp", "not a bitmap");
    LoadSkinNamed(name);
    ASSERT_NE(app.skinLT.image, nullptr);
    EXPECT_EQ(app.skinLT.width, 4);
    EXPECT_EQ(app.skinLT.height, 3);
    // Both bitmaps stay selected in the piece's own DCs.
    EXPECT_EQ(GetCurrentObject(app.skinLT.maskDC, OBJ_BITMAP), app.skinLT.mask);
    EXPECT_EQ(GetPixel(app.skinLT.maskDC, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(app.skinLT.maskDC, 2, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(app.skinLT.imageDC, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(app.skinLT.imageDC, 2, 1), RGB(200, 10, 10));
    // A file that is not a bitmap leaves its piece exactly like a missing one.
    EXPECT_EQ(app.skinRB.image, nullptr);
    EXPECT_EQ(app.skinRB.mask, nullptr);
    EXPECT_EQ(app.skinRB.width, 0);
    ReleaseSkin();
    EXPECT_EQ(app.skinLT.image, nullptr);
    EXPECT_EQ(app.skinLT.mask, nullptr);
    EXPECT_EQ(app.skinLT.imageDC, nullptr);
}

TEST_F(SkinTest, BackTileRepeatsAndGreenFramePixelsShowIt) {
    // Tile colour encodes the position inside the tile.
    Bmp("back.bmp", 20, 20, [](int x, int y) { return RGB(10 * x, 10 * y, 77); });
    Bmp("backLT.bmp", 10, 6, [](int x, int) { return x < 5 ? GREEN : RGB(1, 1, 1); });
    Bmp("backRT.bmp", 12, 6, [](int, int) { return RGB(2, 2, 2); });
    Bmp("backST.bmp", 30, 5, [](int x, int) { return RGB(100 + x, 0, 0); });
    Compose(130, 90);
    EXPECT_EQ(At(125, 85), RGB(50, 50, 77)); // clipped last tile shows its top-left part
    EXPECT_EQ(At(47, 33), RGB(70, 130, 77));
    EXPECT_EQ(At(3, 2), RGB(30, 20, 77)); // see-through corner part shows the tile
    EXPECT_EQ(At(7, 2), RGB(1, 1, 1));
    EXPECT_EQ(At(10, 0), RGB(100, 0, 0));  // top edge starts after the left corner
    EXPECT_EQ(At(117, 4), RGB(117, 0, 0)); // last top tile cut to 18 columns
    EXPECT_EQ(At(118, 4), RGB(2, 2, 2));
    EXPECT_EQ(At(60, 5), RGB(0, 50, 77)); // below the 5-row edge: the tile again
    SaveBackBuffer("view_skin_tiles");
}

TEST_F(SkinTest, LaterCornersLieOnTopAndRoomlessEdgesAreSkipped) {
    Bmp("backLT.bmp", 30, 10, [](int, int) { return RGB(10, 0, 0); });
    Bmp("backRT.bmp", 30, 10, [](int, int) { return RGB(20, 0, 0); });
    Bmp("backRB.bmp", 30, 10, [](int, int) { return RGB(30, 0, 0); });
    Bmp("backLB.bmp", 30, 10, [](int, int) { return RGB(40, 0, 0); });
    Bmp("backST.bmp", 4, 4, [](int, int) { return RGB(50, 0, 0); });
    Compose(40, 15);
    EXPECT_EQ(At(5, 0), RGB(10, 0, 0));
    EXPECT_EQ(At(20, 0), RGB(20, 0, 0)); // RT over LT
    EXPECT_EQ(At(20, 9), RGB(40, 0, 0)); // LB over everything
    EXPECT_EQ(At(35, 14), RGB(30, 0, 0));
    for (int x = 0; x < 40; ++x)
        EXPECT_NE(At(x, 0), RGB(50, 0, 0));
}

TEST_F(SkinTest, EmptySkinNameReadsTheProgramFoldersIniButNoBitmap) {
    const std::string dir = testkit::BuildDir();
    WriteBmp(dir + "\\back.bmp", 4, 4, [](int, int) { return RGB(9, 9, 9); });
    testkit::WriteTextFile(dir + "\\skin.ini", "[COLOR]\nBACK=1 2 3\n");
    LoadSkinNamed("");
    DeleteFileA((dir + "\\back.bmp").c_str());
    DeleteFileA((dir + "\\skin.ini").c_str());
    EXPECT_EQ(app.skinBack.image, nullptr);
    MakeBackBuffer(8, 8);
    ComposeBackground(app.backDC);
    EXPECT_EQ(At(2, 2), RGB(1, 2, 3));
}

bool Inside(HRGN r, int x, int y) {
    return PtInRegion(r, x, y) != 0;
}

TEST_F(SkinTest, NoBlueGivesTheWholeRectangle) {
    Bmp("backLT.bmp", 6, 6, [](int, int) { return RGB(0, 0, 254); });
    Compose(50, 40);
    HRGN region = BuildWindowRegion(app.backDC);
    HRGN whole = CreateRectRgn(0, 0, 50, 40);
    EXPECT_TRUE(EqualRgn(region, whole));
    DeleteObject(whole);
    DeleteObject(region);
}

TEST_F(SkinTest, BlueCutsOnlyInsideTheFrameBands) {
    Ini("[COLOR]\nBACK=0 0 255\n");
    // Corner triangle in blue; green in the top edge lets the blue fill show.
    Bmp("backLT.bmp", 6, 6, [](int x, int y) { return x + y < 5 ? BLUE : RGB(50, 50, 50); });
    Bmp("backST.bmp", 4, 3, [](int x, int) { return x == 0 ? GREEN : RGB(60, 60, 60); });
    Bmp("backSR.bmp", 8, 4, [](int, int) { return RGB(70, 70, 70); });
    Compose(40, 30);
    HRGN region = BuildWindowRegion(app.backDC);
    EXPECT_FALSE(Inside(region, 0, 0));
    EXPECT_FALSE(Inside(region, 4, 0));
    EXPECT_TRUE(Inside(region, 5, 0));
    EXPECT_FALSE(Inside(region, 0, 4));
    EXPECT_TRUE(Inside(region, 1, 4));
    EXPECT_FALSE(Inside(region, 6, 1)); // green over the blue fill is a hole
    EXPECT_TRUE(Inside(region, 7, 1));
    EXPECT_TRUE(Inside(region, 20, 15)); // the blue centre stays window
    // The top band is 6 rows (the corner's height) and runs the full width:
    // the blue fill beyond the edge and right corner is cut too.
    EXPECT_FALSE(Inside(region, 28, 5));
    EXPECT_TRUE(Inside(region, 28, 6));  // same blue, but below the band
    EXPECT_TRUE(Inside(region, 36, 5));  // the right edge piece is grey there
    EXPECT_FALSE(Inside(region, 3, 10)); // left band, 6 wide, blue fill
    EXPECT_TRUE(Inside(region, 10, 29)); // no bottom pieces: no bottom band
    SaveBackBuffer("view_region_picture");
    DeleteObject(region);
}

TEST_F(SkinTest, NightSkinHasRoundedCornersAndAClickableCentre) {
    // The shipped skin, copied beside the test program by the build.
    LoadSkinNamed("night");
    ASSERT_NE(app.skinLT.image, nullptr);
    MakeBackBuffer(112, 84);
    ComposeBackground(app.backDC);
    HRGN region = BuildWindowRegion(app.backDC);
    const int corners[4][2] = {{0, 0}, {111, 0}, {111, 83}, {0, 83}};
    for (const auto& c : corners)
        EXPECT_FALSE(Inside(region, c[0], c[1]));
    EXPECT_TRUE(Inside(region, 8, 0));
    EXPECT_TRUE(Inside(region, 4, 4));
    EXPECT_TRUE(Inside(region, 56, 42));
    EXPECT_NE(At(56, 4), GREEN); // see-through frame shows the dark tile
    EXPECT_NE(At(4, 56), GREEN);
    SaveBackBuffer("view_night_background");
    DeleteObject(region);
}

} // namespace
