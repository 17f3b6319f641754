// The options dialog and the About box at the display scale of the Wine
// prefix this run was started in (at-each-dpi runs it once per scale, the
// scale in VANTOR_TEST_DPI): every text whole in its control's font, each
// page filling its tab, no two controls on one another, and the parts the
// program draws or loads in pixels grown with the scale. Measured from
// inside the program by the text-fit probe (tests/options/TextFitProbe.cpp).
#include "tests/options/OptionsDialogKit.h"

#include <cstdlib>
#include <sstream>

namespace optionstest {
namespace {

// One window as the probe measured it.
struct Control {
    std::string cls, text;
    int id = 0;
    unsigned long style = 0;
    unsigned long long self = 0, parent = 0;
    RECT rect = {}, area = {};
    long client[2] = {}, need[2] = {}, font = 0, digit = 0, item = 0, image[2] = {}, dpi = 0;
    bool Is(const char* c) const { return cls == c; }
    bool IsGroup() const { return Is("Button") && (style & BS_TYPEMASK) == BS_GROUPBOX; }
    std::string Name() const { return cls + " " + std::to_string(id) + " \"" + text + "\""; }
};

int Dpi() {
    const char* want = getenv("VANTOR_TEST_DPI");
    return want ? atoi(want) : 96;
}
int Scale(int at96) {
    return MulDiv(at96, Dpi(), 96);
}

// The room a control of each kind leaves its text, less than its client area.
struct Room {
    const char* kind;
    bool (*is)(const Control&);
    int (*width)(const Control&); // from the client width
    int (*height)(const Control&);
} const kRooms[] = {
    {"static text",
     [](const Control& c) {
         const unsigned long type = c.style & SS_TYPEMASK;
         return c.Is("Static") && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
     },
     [](const Control&) { return 0; }, [](const Control&) { return 0; }},
    {"check box",
     [](const Control& c) {
         const unsigned long type = c.style & BS_TYPEMASK;
         return c.Is("Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
     },
     // The box, then half a digit before the text.
     [](const Control& c) { return Scale(13) + int(c.digit) / 2; },
     [](const Control&) { return 0; }},
    {"push button",
     [](const Control& c) {
         const unsigned long type = c.style & BS_TYPEMASK;
         return c.Is("Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) &&
                !(c.style & BS_BITMAP);
     },
     // Its raised edge and the focus frame on both sides.
     [](const Control&) { return 2 * Scale(4); }, [](const Control&) { return 2 * Scale(2); }},
    {"group box", [](const Control& c) { return c.IsGroup(); },
     [](const Control& c) { return 2 * int(c.digit); }, [](const Control&) { return 0; }},
};

class DialogScale : public OptionsDialog {
  protected:
    static void SetUpTestSuite() {} // the program's own defaults will do
    void SetUp() override {
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), Dpi()) << "the prefix's scale";
        ReleaseDC(nullptr, screen);
    }
    // Every control of the program's open dialogs, as the probe saw them.
    std::vector<Control> Measure() {
        static HHOOK hook = nullptr;
        if (hook) UnhookWindowsHookEx(hook);
        const std::string dll = testkit::BuildDir() + "\\..\\..\\bin\\textfitprobe.dll";
        HMODULE probe = LoadLibraryA(dll.c_str());
        void* proc = reinterpret_cast<void*>(GetProcAddress(probe, "TextFitProbeHook"));
        hook = SetWindowsHookExA(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(proc), probe,
                                 GetWindowThreadProcessId(window, nullptr));
        const std::string dump = dir + "\\textfit.txt";
        std::string text;
        DeleteFileA(dump.c_str());
        testkit::WaitUntil(
            [&] {
                testkit::Post(dialog, WM_NULL, 0x5446, 0); // the probe's cue
                Sleep(50);
                return testkit::ReadFileText(dump, &text);
            },
            10000);
        std::vector<Control> controls;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            Control c;
            const size_t bar = line.find(" |");
            c.text = bar == std::string::npos ? "" : line.substr(bar + 2);
            std::istringstream f(line.substr(0, bar));
            f >> c.cls >> c.id >> c.style >> c.self >> c.parent >> c.rect.left >> c.rect.top >>
                c.rect.right >> c.rect.bottom >> c.client[0] >> c.client[1] >> c.need[0] >>
                c.need[1] >> c.font >> c.digit >> c.item >> c.image[0] >> c.image[1] >>
                c.area.left >> c.area.top >> c.area.right >> c.area.bottom >> c.dpi;
            if (f) controls.push_back(c);
        }
        return controls;
    }
    // Every text whole in its room, in the dialog's own font; returns how
    // many texts were measured.
    static int ExpectTextsFit(const std::vector<Control>& controls) {
        int measured = 0;
        for (const Control& c : controls)
            for (const Room& room : kRooms)
                if (!c.text.empty() && room.is(c)) {
                    EXPECT_LE(c.need[0] + room.width(c), c.client[0]) << room.kind << c.Name();
                    EXPECT_LE(c.need[1] + room.height(c), c.client[1]) << room.kind << c.Name();
                    EXPECT_EQ(c.font, controls.at(0).font) << c.Name();
                    ++measured;
                }
        return measured;
    }
    // No two controls with one parent on one another (group boxes hold
    // others), each inside its parent; the pages over the tab's page area.
    static void ExpectNoOverlap(const std::vector<Control>& controls) {
        for (const Control& a : controls)
            for (const Control& b : controls) {
                RECT both;
                const bool inside =
                    IntersectRect(&both, &a.rect, &b.rect) && EqualRect(&both, &a.rect);
                if (b.self == a.parent) {
                    EXPECT_TRUE(a.Is("#32770") ? EqualRect(&a.rect, &b.area) : inside)
                        << a.Name() << " in " << b.Name();
                }
                const bool apart = &a >= &b || a.parent != b.parent || a.IsGroup() || b.IsGroup() ||
                                   a.Is("#32770") || !IntersectRect(&both, &a.rect, &b.rect);
                EXPECT_TRUE(apart) << a.Name() << " on " << b.Name();
            }
    }
    // Nothing on another, the pages over their tab, the list's entries, the
    // browse buttons' pictures at the scale.
    static void ExpectScaledLayout(const std::vector<Control>& all) {
        ExpectNoOverlap(all);
        EXPECT_EQ(std::count_if(all.begin(), all.end(),
                                [&](const Control& c) {
                                    return c.parent == Find(all, "SysTabControl32", 1026).self;
                                }),
                  4);
        const Control& list = Find(all, "ListBox", 1072);
        EXPECT_GE(list.item, list.font) << "the series list's entries hold the page's text";
        for (int id : {1032, 1068}) {
            const Control& browse = Find(all, "Button", id);
            EXPECT_EQ(browse.image[0], Scale(16)) << id;
            EXPECT_EQ(browse.image[1], Scale(16)) << id;
            EXPECT_LE(browse.image[0], browse.client[0]) << id;
            EXPECT_LE(browse.image[1], browse.client[1]) << id;
        }
    }
    static const Control& Find(const std::vector<Control>& controls, const char* cls, int id) {
        static const Control none;
        for (const Control& c : controls)
            if (c.Is(cls) && c.id == id) return c;
        ADD_FAILURE() << cls << " " << id << " missing";
        return none;
    }
};

TEST_F(DialogScale, OptionsPagesShowEveryTextWholeFillTheirTabAndScaleWhatTheyDraw) {
    ASSERT_TRUE(Launch("opt_scale", "cpus 4\n30 40 50 60\n", {}));
    ASSERT_NE(Open(), nullptr);
    for (int i = 0; i < 4; ++i) {
        HWND page = ShowTab(i);
        ASSERT_NE(page, nullptr) << i;
        if (i >= 2) Click(page, i == 2 ? 1030 : 1069); // the browse buttons on
        if (i == 1) { // the series list drawn in its font at the scale
            HWND list = GetDlgItem(page, 1072);
            EXPECT_TRUE(testkit::WaitUntil(
                [&] { return SeriesEntryDrawnIn(list, "ＭＳ Ｐゴシック", Scale(13), Scale(2)); },
                5000));
        }
        Shoot(("options_" + std::to_string(Dpi()) + "dpi_page" + std::to_string(i)).c_str());
    }
    const std::vector<Control> all = Measure();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].dpi, Dpi());
    EXPECT_EQ(ExpectTextsFit(all), 57) << "the frame's buttons and the four pages' texts";
    for (const char* first : {"グラフ表示タイプ", "省スペース", "ﾐﾘ秒", "通常", "1 (透明)",
                              " (不透明) 255", "% 未満時は記録しない"}) // cut first
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const Control& c) {
            return c.text == first;
        })) << first;
    ExpectScaledLayout(all);
    // Moved to a monitor of another scale, each page lays itself out anew:
    // shrunk here first, its list's entries made short, its pictures taken.
    for (int i = 0; i < 4; ++i) {
        HWND page = Page(i);
        SetWindowPos(page, nullptr, 0, 0, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
        Send(GetDlgItem(page, 1072), LB_SETITEMHEIGHT, 0, 5);
        Send(GetDlgItem(page, i == 2 ? 1032 : 1068), BM_SETIMAGE, IMAGE_BITMAP, 0);
        Send(page, WM_DPICHANGED_AFTERPARENT);
    }
    ExpectScaledLayout(Measure());
    ASSERT_TRUE(Press(dialog, IDCANCEL));
}

// The link in a font of its own, at the box's scale like the box's text.
TEST_F(DialogScale, AboutBoxShowsItsTextsAndItsLinkAtTheScale) {
    ASSERT_TRUE(Launch("opt_about", "cpus 1\n30\n", {}));
    testkit::Post(window, WM_COMMAND, 40011, 0);
    ASSERT_NE(dialog = WaitDialog("About Vantor"), nullptr);
    Shoot(("about_" + std::to_string(Dpi()) + "dpi").c_str());
    const std::vector<Control> all = Measure();
    EXPECT_EQ(ExpectTextsFit(all), 4) << "version, mail, link, OK";
    ExpectNoOverlap(all);
    EXPECT_EQ(Find(all, "Static", 1081).text, "https://vantor.example.jp/");
    ASSERT_TRUE(Press(dialog, IDOK));
}

} // namespace
} // namespace optionstest
