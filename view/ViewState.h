// Fields of AppState owned by the presentation subsystem.
#pragma once
#include <windows.h>
#include <cstdint>

struct SkinPiece {
    HBITMAP image = nullptr;
    HBITMAP mask = nullptr; // frame pieces only
    int32_t width = 0;
    int32_t height = 0;
    // Memory DCs that hold image and mask selected for as long as the skin
    // lives, so that a paint blits without selecting anything: under Wine one
    // bitmap selection costs about 200 us, a small blit under 1 us. The
    // bitmaps therefore cannot be selected into another DC.
    HDC imageDC = nullptr;
    HDC maskDC = nullptr;
};

struct ViewState {
    HDC backDC = nullptr;
    HBITMAP backBuffer = nullptr;
    uint32_t clientWidth = 0, clientHeight = 0;

    // Skin
    SkinPiece skinBack, skinLT, skinRT, skinRB, skinLB, skinST, skinSB, skinSL, skinSR;
    HBRUSH skinBackBrush = nullptr;
    COLORREF skinTextColor = 0;
    int32_t padLeft = 0, padTop = 0, padRight = 0, padBottom = 0;

    // Drawing objects
    HFONT meterFont = nullptr;
    HFONT memFont = nullptr;
    SIZE memTextSize = {0, 0};
    HBRUSH meterBrushes[3] = {};
    HBRUSH graphBackBrush = nullptr;
    HPEN* graphPens = nullptr; // cpuCount + 1 pens
    HPEN gridPen = nullptr;
    RECT windowRect = {0, 0, 0, 0};
};
