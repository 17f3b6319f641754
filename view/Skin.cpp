#include "view/Skin.h"

#include "app/AppState.h"
#include "base/SafeText.h"
#include "view/SkinFiles.h"
#include "view/SkinIni.h"
#include "view/Region.h"
#include "view/Scale.h"

#include <cstdlib>

namespace {

const COLORREF KEY_GREEN = RGB(0, 255, 0);

// The file opens and its header names a picture of an accepted size; the
// header is checked before LoadImageA allocates anything for it.
bool AcceptedBitmap(const char* path) {
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    uint8_t head[26] = {};
    DWORD got = 0;
    const bool read = ReadFile(h, head, sizeof head, &got, nullptr) != 0;
    CloseHandle(h);
    return read && SkinBitmapSizeAccepted(head, got);
}

// Folder plus file name, or false when it does not fit in MAX_PATH: such a
// file is treated as missing rather than opened under a cut name.
bool JoinPath(char (&out)[MAX_PATH], const char* folder, const char* file) {
    const size_t a = lstrlenA(folder), b = lstrlenA(file);
    if (a + b >= MAX_PATH) return false;
    CopyText(out, sizeof out, folder);
    AppendText(out, sizeof out, file);
    return true;
}

bool SkinFile(const char* folder, const char* file, char (&path)[MAX_PATH]) {
    return app.skinname[0] != '\0' && JoinPath(path, folder, file) && AcceptedBitmap(path);
}

// Without a skin.ini (a missing skin) every value is its default.
void ReadValue(const char* ini, const char* section, const char* key, const char* fallback,
               char* buf, DWORD cap) {
    if (ini)
        GetPrivateProfileStringA(section, key, fallback, buf, cap, ini);
    else
        CopyText(buf, cap, fallback);
}

} // namespace

HBITMAP ScaleBitmapNearest(HBITMAP image, int32_t& width, int32_t& height, int32_t dpi) {
    const int32_t w = width, h = height;
    const int32_t dw = ScaledAtLeastOne(w, dpi), dh = ScaledAtLeastOne(h, dpi);
    if (!image || w <= 0 || h <= 0 || (dw == w && dh == h)) return image;
    uint32_t* src = static_cast<uint32_t*>(malloc(sizeof(uint32_t) * static_cast<size_t>(w) * h));
    uint32_t* dst = static_cast<uint32_t*>(malloc(sizeof(uint32_t) * static_cast<size_t>(dw) * dh));
    HBITMAP scaled = nullptr;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info = TopDownBitmapInfo(w, h, 32);
    if (src && dst &&
        GetDIBits(screen, image, 0, static_cast<UINT>(h), src, &info, DIB_RGB_COLORS)) {
        ScaleNearest(src, w, h, dst, dw, dh);
        scaled = CreateCompatibleBitmap(screen, dw, dh);
        info = TopDownBitmapInfo(dw, dh, 32);
        if (scaled &&
            !SetDIBits(screen, scaled, 0, static_cast<UINT>(dh), dst, &info, DIB_RGB_COLORS)) {
            DeleteObject(scaled);
            scaled = nullptr;
        }
    }
    ReleaseDC(nullptr, screen);
    free(src);
    free(dst);
    // Out of memory the picture stays at 96 dpi: smaller, but whole.
    if (!scaled) return image;
    DeleteObject(image);
    width = dw;
    height = dh;
    return scaled;
}

void LoadSkinPiece(const char* path, SkinPiece& piece) {
    piece = SkinPiece{};
    HBITMAP image =
        static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!image) return;
    BITMAP info = {};
    GetObjectA(image, sizeof info, &info);
    int32_t w = info.bmWidth, h = info.bmHeight;
    // The mask is made from the scaled picture: its key colour is still exact.
    image = ScaleBitmapNearest(image, w, h, app.dpi);

    HDC pictureDC = CreateCompatibleDC(nullptr);
    SelectObject(pictureDC, image);
    HDC monoDC = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldMono = SelectObject(monoDC, mono);

    // Colour to monochrome: pixels equal to the background colour turn white.
    const COLORREF oldBack = SetBkColor(pictureDC, KEY_GREEN);
    BitBlt(monoDC, 0, 0, w, h, pictureDC, 0, 0, SRCCOPY);
    SetBkColor(pictureDC, oldBack);

    HBITMAP mask = CreateCompatibleBitmap(pictureDC, w, h);
    HDC maskDC = CreateCompatibleDC(nullptr);
    SelectObject(maskDC, mask);
    BitBlt(maskDC, 0, 0, w, h, monoDC, 0, 0, NOTSRCCOPY);
    // Blacken the see-through pixels so that SRCPAINT leaves them alone.
    BitBlt(pictureDC, 0, 0, w, h, maskDC, 0, 0, SRCAND);
    BitBlt(maskDC, 0, 0, w, h, monoDC, 0, 0, SRCCOPY);

    SelectObject(monoDC, oldMono);
    DeleteDC(monoDC);
    DeleteObject(mono);
    // The picture and mask DCs stay, with their bitmaps selected, for painting.
    piece.image = image;
    piece.mask = mask;
    piece.imageDC = pictureDC;
    piece.maskDC = maskDC;
    piece.width = w;
    piece.height = h;
}

bool ProgramFolder(char (&folder)[MAX_PATH]) {
    const DWORD n = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        folder[0] = '\0';
        return false;
    }
    folder[FolderLength932(folder)] = '\0';
    return true;
}

void LoadSkin() {
    char program[MAX_PATH];
    // A name that is not one folder beside the program, or a folder too deep
    // for its files, is a missing skin: never another folder's skin.ini.
    char folder[MAX_PATH] = {};
    const bool fits = ProgramFolder(program) &&
                      SkinFolderPath(program, app.skinname, folder, sizeof folder);
    char iniPath[MAX_PATH] = {};
    const char* ini = fits && JoinPath(iniPath, folder, "skin.ini") ? iniPath : nullptr;

    char value[24];
    ReadValue(ini, "COLOR", "BACK", "220 220 220", value, sizeof value);
    const uint32_t back = ParseSkinColour(value);
    if (app.skinBackBrush) DeleteObject(app.skinBackBrush);
    app.skinBackBrush = CreateSolidBrush(back);

    ReadValue(ini, "COLOR", "FONT", "0 0 0", value, sizeof value);
    app.skinTextColor = ParseSkinColour(value);

    ReadValue(ini, "LAYOUT", "PADDING", "4 8 4 8", value, sizeof value);
    ParseSkinPadding(value, app.padLeft, app.padTop, app.padRight, app.padBottom);

    if (app.usericon == 0) {
        char path[MAX_PATH] = {};
        ReadValue(ini, "ICONS", "PATH", "", path, sizeof path);
        CopyText(app.iconpath, sizeof app.iconpath, path);
    }

    char file[MAX_PATH];
    app.skinBack = SkinPiece{};
    if (fits && SkinFile(folder, "back.bmp", file)) {
        HBITMAP image =
            static_cast<HBITMAP>(LoadImageA(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (image) {
            BITMAP info = {};
            GetObjectA(image, sizeof info, &info);
            int32_t w = info.bmWidth, h = info.bmHeight;
            image = ScaleBitmapNearest(image, w, h, app.dpi);
            app.skinBack.imageDC = CreateCompatibleDC(nullptr);
            SelectObject(app.skinBack.imageDC, image);
            app.skinBack.image = image;
            app.skinBack.width = w;
            app.skinBack.height = h;
        }
    }

    struct Frame {
        const char* file;
        SkinPiece* piece;
    };
    const Frame frames[] = {
        {"backLT.bmp", &app.skinLT}, {"backRT.bmp", &app.skinRT}, {"backRB.bmp", &app.skinRB},
        {"backLB.bmp", &app.skinLB}, {"backST.bmp", &app.skinST}, {"backSB.bmp", &app.skinSB},
        {"backSL.bmp", &app.skinSL}, {"backSR.bmp", &app.skinSR},
    };
    for (const Frame& f : frames) {
        *f.piece = SkinPiece{};
        if (fits && SkinFile(folder, f.file, file)) LoadSkinPiece(file, *f.piece);
    }
    app.skinDpi = app.dpi;
    ++app.skinBuilds;
}

void ReleaseSkin() {
    SkinPiece* pieces[] = {&app.skinBack, &app.skinLT, &app.skinRT, &app.skinRB, &app.skinLB,
                           &app.skinST,   &app.skinSB, &app.skinSL, &app.skinSR};
    for (SkinPiece* p : pieces) {
        // The DCs go first: they release their bitmaps, which can then be deleted.
        if (p->imageDC) DeleteDC(p->imageDC);
        if (p->maskDC) DeleteDC(p->maskDC);
        if (p->image) DeleteObject(p->image);
        if (p->mask) DeleteObject(p->mask);
        p->image = nullptr;
        p->mask = nullptr;
        p->imageDC = nullptr;
        p->maskDC = nullptr;
    }
}
