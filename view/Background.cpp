#include "view/Background.h"

#include "app/AppState.h"
#include "view/Geometry.h"

namespace {

struct Blitter {
    HDC target;
    HDC scratch;
    const SkinPiece* pieces[PIECE_COUNT];
};

void DrawTile(void* context, const TileRect& t) {
    const Blitter& b = *static_cast<const Blitter*>(context);
    const SkinPiece& piece = *b.pieces[t.piece];
    if (!piece.image) return;
    if (t.piece == PIECE_BACK || !piece.mask) {
        SelectObject(b.scratch, piece.image);
        BitBlt(b.target, t.x, t.y, t.width, t.height, b.scratch, 0, 0, SRCCOPY);
        return;
    }
    // Keyed blit: the mask keeps what lies below the see-through pixels.
    SelectObject(b.scratch, piece.mask);
    BitBlt(b.target, t.x, t.y, t.width, t.height, b.scratch, 0, 0, SRCAND);
    SelectObject(b.scratch, piece.image);
    BitBlt(b.target, t.x, t.y, t.width, t.height, b.scratch, 0, 0, SRCPAINT);
}

} // namespace

void ComposeBackground(HDC dc) {
    const int32_t W = static_cast<int32_t>(app.clientWidth);
    const int32_t H = static_cast<int32_t>(app.clientHeight);
    HDC scratch = CreateCompatibleDC(dc);
    HGDIOBJ original = GetCurrentObject(scratch, OBJ_BITMAP);

    RECT all = {0, 0, W, H};
    FillRect(dc, &all,
             app.skinBackBrush ? app.skinBackBrush
                               : static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));

    Blitter b = {dc,
                 scratch,
                 {&app.skinBack, &app.skinLT, &app.skinRT, &app.skinRB, &app.skinLB, &app.skinST,
                  &app.skinSB, &app.skinSL, &app.skinSR}};
    PieceSize sizes[PIECE_COUNT];
    for (int i = 0; i < PIECE_COUNT; ++i)
        sizes[i] =
            PieceSize{b.pieces[i]->width, b.pieces[i]->height, b.pieces[i]->image != nullptr};
    ForEachBackgroundTile(sizes, W, H, DrawTile, &b);

    SelectObject(scratch, original);
    DeleteDC(scratch);
}
