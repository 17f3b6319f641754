// The options dialog and the About box at the prefix's display scale (named
// in VANTOR_TEST_DPI by at-each-dpi), measured inside the program by the
// text-fit probe.
#include "tests/options/OptionsDialogKit.h"

#include <cstdlib>
#include <sstream>

#include "view/Scale.h"

namespace optionstest {
namespace {

const int kDpi = getenv("VANTOR_TEST_DPI") ? atoi(getenv("VANTOR_TEST_DPI")) : 96;

struct Control { // a window as the probe measured it
    std::string cls, text;
    long id = 0, style = 0, self = 0, parent = 0, client[2] = {}, need[2] = {}, font = 0, digit = 0;
    long item = 0, image[2] = {}, dpi = 0;
    RECT rect = {}, area = {};
    bool Is(const char* c) const { return cls == c; }
    bool IsGroup() const { return Is("Button") && (style & BS_TYPEMASK) == BS_GROUPBOX; }
    std::string Name() const { return cls + " " + std::to_string(id) + " \"" + text + "\""; }
};
using Controls = std::vector<Control>;

// Beside its text each kind keeps, on `sides` sides: a margin at 96 dpi across
// and down, and halves of a digit across.
const struct {
    const char* cls;
    long mask, first, last;
    int sides, across96, down96, halfDigits;
} kRooms[] = {
    {"Static", SS_TYPEMASK, SS_LEFT, SS_RIGHT, 0, 0, 0, 0},
    {"Button", BS_TYPEMASK, BS_CHECKBOX, BS_AUTOCHECKBOX, 1, 13, 0, 1},               // the box
    {"Button", BS_TYPEMASK | BS_BITMAP, BS_PUSHBUTTON, BS_DEFPUSHBUTTON, 2, 4, 2, 0}, // edge, focus
    {"Button", BS_TYPEMASK, BS_GROUPBOX, BS_GROUPBOX, 2, 0, 0, 2},
};

// Every text whole in its room in the dialog's font (returns how many), no
// two controls of one parent on one another (group boxes hold others), each
// inside its parent, a page exactly over its tab's page area.
int ExpectLaidOut(const Controls& all) {
    int measured = 0;
    for (const Control& a : all) {
        for (const auto& r : kRooms) {
            const long type = a.style & r.mask;
            if (a.text.empty() || !a.Is(r.cls) || type < r.first || type > r.last) continue;
            const long across = r.sides * (Scaled(r.across96, kDpi) + a.digit * r.halfDigits / 2);
            EXPECT_LE(a.need[0] + across, a.client[0]) << a.Name();
            EXPECT_LE(a.need[1] + r.sides * Scaled(r.down96, kDpi), a.client[1]) << a.Name();
            EXPECT_EQ(a.font, all.at(0).font) << a.Name();
            ++measured;
        }
        for (const Control& b : all) {
            RECT both;
            const bool meet = IntersectRect(&both, &a.rect, &b.rect) != 0;
            const bool inside = a.Is("#32770") ? EqualRect(&a.rect, &b.area) != 0
                                               : meet && EqualRect(&both, &a.rect);
            EXPECT_TRUE(b.self != a.parent || inside) << a.Name() << " in " << b.Name();
            EXPECT_TRUE(&a >= &b || a.parent != b.parent || a.IsGroup() || b.IsGroup() ||
                        a.Is("#32770") || !meet)
                << a.Name() << " on " << b.Name();
        }
    }
    return measured;
}

Control Find(const Controls& all, const char* cls, int id) {
    for (const Control& c : all)
        if (c.Is(cls) && c.id == id) return c;
    ADD_FAILURE() << cls << " " << id << " missing";
    return {};
}

struct DialogScale : OptionsDialog {
    static void SetUpTestSuite() {} // the program's own defaults will do
    Controls Measure() {
        static HMODULE dll =
            LoadLibraryA((testkit::BuildDir() + "\\..\\..\\bin\\textfitprobe.dll").c_str());
        static void* proc = reinterpret_cast<void*>(GetProcAddress(dll, "TextFitProbeHook"));
        static HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(proc), dll,
                                              GetWindowThreadProcessId(window, nullptr));
        const std::string dump = dir + "\\textfit.txt";
        std::string text;
        DeleteFileA(dump.c_str());
        auto dumped = [&] {
            testkit::Post(dialog, WM_NULL, 0x5446, 0); // the probe's cue
            return Sleep(50), testkit::ReadFileText(dump, &text);
        };
        EXPECT_TRUE(hook && testkit::WaitUntil(dumped, 10000));
        Controls all;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            Control c;
            std::istringstream f(line);
            f >> c.cls >> c.id >> c.style >> c.self >> c.parent >> c.rect.left >> c.rect.top >>
                c.rect.right >> c.rect.bottom >> c.client[0] >> c.client[1] >> c.need[0] >>
                c.need[1] >> c.font >> c.digit >> c.item >> c.image[0] >> c.image[1] >>
                c.area.left >> c.area.top >> c.area.right >> c.area.bottom >> c.dpi;
            c.text = line.substr(line.find(" |") + 2);
            if (f) all.push_back(c);
        }
        return all;
    }
    // The options dialog laid out, what it draws or loads in pixels at the scale.
    static void ExpectScaledParts(const Controls& all) {
        EXPECT_EQ(ExpectLaidOut(all), 57) << "the frame's buttons and the four pages' texts";
        const Control list = Find(all, "ListBox", 1072);
        EXPECT_GE(list.item, list.font) << "the series list's entries hold the text";
        for (int id : {1032, 1068}) {
            const Control b = Find(all, "Button", id);
            EXPECT_TRUE(b.image[0] == Scaled(16, kDpi) && b.image[1] == Scaled(16, kDpi)) << id;
            EXPECT_TRUE(b.image[0] <= b.client[0] && b.image[1] <= b.client[1]) << id;
        }
    }
};

TEST_F(DialogScale, DialogsShowEveryTextWholeFillTheirTabAndScaleWhatTheyDraw) {
    ASSERT_TRUE(Launch("opt_scale", "cpus 4\n30 40 50 60\n", {}));
    ASSERT_NE(Open(), nullptr);
    for (int i = 0; i < 4; ++i) {
        HWND page = ShowTab(i), list = GetDlgItem(page, 1072);
        ASSERT_NE(page, nullptr) << i;
        if (i >= 2) Click(page, i == 2 ? 1030 : 1069); // the browse buttons on
        if (i == 1) { // the series in the dialog's face, not the fixed-pitch fallback
            const int h = Scaled(13, kDpi), gap = Scaled(2, kDpi);
            EXPECT_TRUE(testkit::WaitUntil(
                [&] { return SeriesEntryDrawnIn(list, "ＭＳ Ｐゴシック", h, gap); }, 5000));
            EXPECT_FALSE(SeriesEntryDrawnIn(list, "ＭＳ Pゴシック", h, gap));
        }
        Shoot(("options_" + std::to_string(kDpi) + "dpi_page" + std::to_string(i)).c_str());
    }
    Controls all = Measure();
    EXPECT_EQ(all.at(0).dpi, kDpi) << "the prefix's scale";
    ExpectScaledParts(all);
    for (const char* cut : {"グラフ表示タイプ", "省スペース", "ﾐﾘ秒", "通常", "1 (透明)",
                            " (不透明) 255", "% 未満時は記録しない"}) // cut first
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](auto& c) { return c.text == cut; }))
            << cut;
    // Moved to a monitor of another scale, each page lays itself out anew:
    // shrunk here first, its list's entries made short, its pictures taken.
    for (int i = 0; i < 4; ++i) {
        HWND page = Page(i);
        SetWindowPos(page, nullptr, 0, 0, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
        Send(GetDlgItem(page, 1072), LB_SETITEMHEIGHT, 0, 5);
        Send(GetDlgItem(page, i == 2 ? 1032 : 1068), BM_SETIMAGE, IMAGE_BITMAP, 0);
        Send(page, WM_DPICHANGED_AFTERPARENT);
    }
    ExpectScaledParts(Measure());
    ASSERT_TRUE(Press(dialog, IDCANCEL));

    // The About box's link in a font of its own, at the box's scale.
    testkit::Post(window, WM_COMMAND, 40011, 0);
    ASSERT_NE(dialog = WaitDialog("About Vantor"), nullptr);
    Shoot(("about_" + std::to_string(kDpi) + "dpi").c_str());
    all = Measure();
    EXPECT_EQ(ExpectLaidOut(all), 4) << "version, mail, link, OK";
    EXPECT_EQ(Find(all, "Static", 1081).text, "https://vantor.example.jp/");
    ASSERT_TRUE(Press(dialog, IDOK));
}

} // namespace
} // namespace optionstest
