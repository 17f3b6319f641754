#include "ViewKit.h"

#include <cstdio>
#include <vector>

#include "app/AppState.h"
#include "testkit.h"
#include "view/Skin.h"

namespace viewkit {

void WriteBmp(const std::string& path, int w, int h, const PixelFn& pixel) {
    const int stride = (3 * w + 3) & ~3;
    std::vector<unsigned char> rows(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixel(x, y);
            unsigned char* p = &rows[static_cast<size_t>(h - 1 - y) * stride + 3 * x];
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4d42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(rows.size());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(&file, sizeof file, 1, f);
    fwrite(&info, sizeof info, 1, f);
    fwrite(rows.data(), 1, rows.size(), f);
    fclose(f);
}

std::string NewSkinFolder(std::string* folder) {
    static int serial = 0;
    for (;;) {
        char name[64];
        snprintf(name, sizeof name, "tskin-%lu-%d", GetCurrentProcessId(), ++serial);
        const std::string path = testkit::BuildDir() + "\\" + name;
        if (CreateDirectoryA(path.c_str(), nullptr)) {
            *folder = path;
            return name;
        }
    }
}

void LoadSkinNamed(const std::string& name) {
    ReleaseSkin();
    lstrcpynA(app.skinname, name.c_str(), sizeof app.skinname);
    LoadSkin();
}

void MakeBackBuffer(int w, int h) {
    FreeBackBuffer();
    HDC screen = GetDC(nullptr);
    app.backDC = CreateCompatibleDC(screen);
    app.backBuffer = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    SelectObject(app.backDC, app.backBuffer);
    app.clientWidth = static_cast<uint32_t>(w);
    app.clientHeight = static_cast<uint32_t>(h);
}

void FreeBackBuffer() {
    if (app.backDC) DeleteDC(app.backDC);
    if (app.backBuffer) DeleteObject(app.backBuffer);
    app.backDC = nullptr;
    app.backBuffer = nullptr;
}

COLORREF At(int x, int y) {
    return GetPixel(app.backDC, x, y);
}

void SaveBackBuffer(const char* name) {
    const int w = static_cast<int>(app.clientWidth), h = static_cast<int>(app.clientHeight);
    std::vector<COLORREF> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[static_cast<size_t>(y) * w + x] = At(x, y);
    const std::string dir = testkit::BuildDir() + "\\..\\..\\screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    testkit::WritePng(dir + "\\" + name + ".png", pixels, w, h);
}

} // namespace viewkit
