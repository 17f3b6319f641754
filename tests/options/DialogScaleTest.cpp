// The options dialog and the About box at the display scale of the Wine
// prefix this run was started in (at-each-dpi runs it once per scale, the
// scale in VANTOR_TEST_DPI): every text whole in its control's font, each
// page filling its tab, no two controls on one another, and the parts the
// program draws or loads in pixels grown with the scale. Measured from
// inside the program by the text-fit probe (tests/options/TextFitProbe.cpp).
#include "tests/options/OptionsDialogKit.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace optionstest {
namespace {

struct Control {
    std::map<std::string, std::string> keys;
    std::string text;
    std::string Str(const char* k) const {
        auto at = keys.find(k);
        return at == keys.end() ? std::string() : at->second;
    }
    std::vector<long> Nums(const char* k) const {
        std::vector<long> v;
        std::istringstream in(Str(k));
        for (std::string n; std::getline(in, n, ',');)
            v.push_back(std::strtol(n.c_str(), nullptr, 10));
        return v;
    }
    long Num(const char* k) const { return Nums(k).empty() ? 0 : Nums(k)[0]; }
    unsigned long Style() const { return std::strtoul(Str("style").c_str(), nullptr, 10); }
    bool Is(const char* cls) const { return Str("cls") == cls; }
    bool IsGroup() const { return Is("Button") && (Style() & BS_TYPEMASK) == BS_GROUPBOX; }
    RECT Rect(const char* k = "rect") const {
        const std::vector<long> v = Nums(k);
        return v.size() == 4 ? RECT{v[0], v[1], v[2], v[3]} : RECT{};
    }
    std::string Name() const { return Str("cls") + " " + Str("id") + " \"" + text + "\""; }
};

int Dpi() {
    const char* want = getenv("VANTOR_TEST_DPI");
    return want ? atoi(want) : 96;
}
int Scale(int at96) {
    return MulDiv(at96, Dpi(), 96);
}

// The room a control leaves its text, by kind; -1 for controls without one.
struct Room {
    const char* kind;
    bool (*is)(const Control&);
    int (*width)(const Control&); // from the client width
    int (*height)(const Control&);
} const kRooms[] = {
    {"static text",
     [](const Control& c) {
         const unsigned long type = c.Style() & SS_TYPEMASK;
         return c.Is("Static") && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
     },
     [](const Control&) { return 0; }, [](const Control&) { return 0; }},
    {"check box",
     [](const Control& c) {
         const unsigned long type = c.Style() & BS_TYPEMASK;
         return c.Is("Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
     },
     // The box, then half a digit before the text.
     [](const Control& c) { return Scale(13) + int(c.Num("digit")) / 2; },
     [](const Control&) { return 0; }},
    {"push button",
     [](const Control& c) {
         const unsigned long type = c.Style() & BS_TYPEMASK;
         return c.Is("Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) &&
                !(c.Style() & BS_BITMAP);
     },
     // Its raised edge and the focus frame on both sides.
     [](const Control&) { return 2 * Scale(4); }, [](const Control&) { return 2 * Scale(2); }},
    {"group box",
     [](const Control& c) { return c.Is("Button") && (c.Style() & BS_TYPEMASK) == BS_GROUPBOX; },
     [](const Control& c) { return 2 * int(c.Num("digit")); }, [](const Control&) { return 0; }},
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
            5000);
        std::vector<Control> controls;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            Control c;
            const size_t bar = line.find(" |");
            c.text = bar == std::string::npos ? "" : line.substr(bar + 2);
            std::istringstream fields(line.substr(0, bar));
            for (std::string f; fields >> f;)
                if (f.find('=') != std::string::npos)
                    c.keys[f.substr(0, f.find('='))] = f.substr(f.find('=') + 1);
            controls.push_back(c);
        }
        return controls;
    }
    // Every text whole in its room, in the dialog's own font; returns how
    // many texts were measured.
    int ExpectTextsFit(const std::vector<Control>& controls) {
        int measured = 0;
        const long dialogFont = controls.at(0).Num("font");
        for (const Control& c : controls)
            for (const Room& room : kRooms)
                if (!c.text.empty() && room.is(c)) {
                    const std::vector<long> need = c.Nums("need"), client = c.Nums("client");
                    if (need.size() != 2 || client.size() != 2) {
                        ADD_FAILURE() << "unmeasured " << c.Name();
                        continue;
                    }
                    EXPECT_LE(need[0] + room.width(c), client[0]) << room.kind << " " << c.Name();
                    EXPECT_LE(need[1] + room.height(c), client[1]) << room.kind << " " << c.Name();
                    EXPECT_EQ(c.Num("font"), dialogFont) << c.Name();
                    ++measured;
                }
        return measured;
    }
    // No two controls of one page (or of the dialog itself) on one another,
    // group boxes aside, which hold others; each inside its page.
    void ExpectNoOverlap(const std::vector<Control>& controls) {
        for (size_t i = 0; i < controls.size(); ++i) {
            const Control& a = controls[i];
            if (a.Is("#32770") || a.IsGroup()) continue;
            for (const Control& page : controls)
                if (page.Str("self") == a.Str("page") && page.Is("#32770")) {
                    RECT inside, ra = a.Rect(), rp = page.Rect();
                    IntersectRect(&inside, &ra, &rp);
                    EXPECT_TRUE(EqualRect(&inside, &ra)) << a.Name() << " leaves its page";
                }
            for (size_t j = i + 1; j < controls.size(); ++j) {
                const Control& b = controls[j];
                if (b.Str("page") != a.Str("page") || b.Is("#32770") || b.IsGroup()) continue;
                RECT both, ra = a.Rect(), rb = b.Rect();
                EXPECT_FALSE(IntersectRect(&both, &ra, &rb)) << a.Name() << " on " << b.Name();
            }
        }
    }
    const Control* Find(const std::vector<Control>& controls, const char* cls, int id) {
        for (const Control& c : controls)
            if (c.Is(cls) && c.Num("id") == id) return &c;
        return nullptr;
    }
};

TEST_F(DialogScale, OptionsPagesShowEveryTextWholeFillTheirTabAndScaleWhatTheyDraw) {
    ASSERT_TRUE(Launch("opt_scale", "cpus 4\n30 40 50 60\n", {}));
    ASSERT_NE(Open(), nullptr);
    const std::string at = "options_" + std::to_string(Dpi()) + "dpi_page";
    for (int i = 0; i < 4; ++i) {
        HWND page = ShowTab(i);
        ASSERT_NE(page, nullptr) << i;
        if (i >= 2) Click(page, i == 2 ? 1030 : 1069); // the browse buttons on
        Shoot((at + std::to_string(i)).c_str());
    }
    const std::vector<Control> all = Measure();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.at(0).Num("dpi"), Dpi());
    EXPECT_EQ(ExpectTextsFit(all), 57) << "the frame's buttons and the four pages' texts";
    // Those the clipping cut first.
    for (const char* named : {"グラフ表示タイプ", "省スペース", "ﾐﾘ秒", "通常", "1 (透明)",
                              " (不透明) 255", "% 未満時は記録しない", "ログサイズ軽減"})
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const Control& c) {
            return c.text == named;
        })) << named;
    ExpectNoOverlap(all);

    const Control* tab = Find(all, "SysTabControl32", 1026);
    ASSERT_NE(tab, nullptr);
    const RECT display = tab->Rect("display");
    int pages = 0;
    for (const Control& c : all)
        if (c.Is("#32770") && c.Str("page") == tab->Str("self")) {
            const RECT page = c.Rect();
            EXPECT_TRUE(EqualRect(&page, &display)) << "page " << pages << " fills its tab";
            ++pages;
        }
    EXPECT_EQ(pages, 4);

    const Control* list = Find(all, "ListBox", 1072);
    ASSERT_NE(list, nullptr);
    EXPECT_GE(list->Num("item"), list->Num("font")) << "the series list's entries";
    HWND series = GetDlgItem(ShowTab(1), 1072);
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return SeriesEntryDrawnIn(series, "ＭＳ Ｐゴシック", Scale(13)); }, 3000));
    for (int id : {1032, 1068}) {
        const Control* browse = Find(all, "Button", id);
        ASSERT_NE(browse, nullptr) << id;
        const std::vector<long> image = browse->Nums("image"), client = browse->Nums("client");
        EXPECT_EQ(image, (std::vector<long>{Scale(16), Scale(16)})) << id;
        EXPECT_LE(image.at(0), client.at(0)) << id;
        EXPECT_LE(image.at(1), client.at(1)) << id;
    }
    ASSERT_TRUE(Press(dialog, IDCANCEL));
}

TEST_F(DialogScale, AboutBoxShowsItsTextsAndItsLinkAtTheScale) {
    ASSERT_TRUE(Launch("opt_about", "cpus 1\n30\n", {}));
    testkit::Post(window, WM_COMMAND, 40011, 0);
    ASSERT_NE(dialog = WaitDialog("About Vantor"), nullptr);
    Shoot(("about_" + std::to_string(Dpi()) + "dpi").c_str());
    const std::vector<Control> all = Measure();
    EXPECT_EQ(ExpectTextsFit(all), 4) << "version, mail, link, OK";
    ExpectNoOverlap(all);
    const Control* link = Find(all, "Static", 1081);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text, "https://vantor.example.jp/");
    ASSERT_TRUE(Press(dialog, IDOK));
}

} // namespace
} // namespace optionstest
