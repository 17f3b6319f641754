#include "view/Background.h"

#include "app/AppState.h"
#include "view/Geometry.h"

namespace {

struct Blitter {
    HDC target;
    const SkinPiece* pieces[PIECE_COUNT];
};

void DrawTile(void* context, const TileRect& t) {
    const Blitter& b = *static_cast<const Blitter*>(context);
    const SkinPiece& piece = *b.pieces[t.piece];
    if (!piece.imageDC) return;
    if (t.piece == PIECE_BACK || !piece.maskDC) {
        BitBlt(b.target, t.x, t.y, t.width, t.height, piece.imageDC, 0, 0, SRCCOPY);
        return;
    }
    // Keyed blit: the mask keeps what lies below the see-through pixels.
    BitBlt(b.target, t.x, t.y, t.width, t.height, piece.maskDC, 0, 0, SRCAND);
    BitBlt(b.target, t.x, t.y, t.width, t.height, piece.imageDC, 0, 0, SRCPAINT);
}

} // namespace

void ComposeBackground(HDC dc) {
    const int32_t W = static_cast<int32_t>(app.clientWidth);
    const int32_t H = static_cast<int32_t>(app.clientHeight);
    RECT all = {0, 0, W, H};
    FillRect(dc, &all,
             app.skinBackBrush ? app.skinBackBrush
                               : static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));

    // The pieces are blitted from the DCs they stay selected in (see
    // SkinPiece): no scratch DC and no selection per paint.
    Blitter b = {dc,
                 {&app.skinBack, &app.skinLT, &app.skinRT, &app.skinRB, &app.skinLB, &app.skinST,
                  &app.skinSB, &app.skinSL, &app.skinSR}};
    PieceSize sizes[PIECE_COUNT];
    for (int i = 0; i < PIECE_COUNT; ++i)
        sizes[i] =
            PieceSize{b.pieces[i]->width, b.pieces[i]->height, b.pieces[i]->imageDC != nullptr};
    ForEachBackgroundTile(sizes, W, H, DrawTile, &b);
}
