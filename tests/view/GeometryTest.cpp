// Window sizes, grid fitting, guide-line grey and the order and clipping of
// the background tiles.
#include <gtest/gtest.h>

#include <vector>

#include "settings/SettingLimits.h"
#include "view/Geometry.h"

namespace {

struct Grid {
    int32_t p, colum, row, wantColum, wantRow;
};

TEST(FitMeterGrid, FitsTheGridToTheProcessors) {
    const Grid cases[] = {
        {2, 1, 1, 1, 2}, {4, 2, 2, 2, 2},  {4, 2, 1, 4, 1},   {8, 4, 4, 4, 2},
        {8, 3, 3, 3, 3}, {1, 4, 3, 1, 1},  {3, 0, -2, 1, 3},  {6, 3, 1, 6, 1},
        {6, 1, 3, 1, 6}, {5, 2, 10, 2, 3}, {16, 1, 1, 1, 16},
    };
    for (const Grid& g : cases) {
        int32_t colum = g.colum, row = g.row;
        FitMeterGrid(g.p, colum, row);
        EXPECT_EQ(colum, g.wantColum) << g.p << " " << g.colum << "x" << g.row;
        EXPECT_EQ(row, g.wantRow) << g.p << " " << g.colum << "x" << g.row;
    }
}

TEST(FitMeterGrid, HugeStoredValuesDoNotOverflow) {
    int32_t colum = 2, row = 0x7fffffff;
    FitMeterGrid(3, colum, row);
    EXPECT_EQ(colum, 2);
    EXPECT_EQ(row, 2);
}

LayoutInput DefaultSkin() {
    LayoutInput in;
    in.padLeft = 4, in.padTop = 8, in.padRight = 4, in.padBottom = 8;
    return in;
}

TEST(ComputeWindowSize, TotalOnlyWithAndWithoutBand) {
    LayoutInput in = DefaultSkin();
    in.band = true;
    WindowSize s = ComputeWindowSize(in);
    EXPECT_EQ(s.width, 112u);
    EXPECT_EQ(s.height, 84u);
    in.band = false;
    s = ComputeWindowSize(in);
    EXPECT_EQ(s.width, 112u);
    EXPECT_EQ(s.height, 44u);
}

TEST(ComputeWindowSize, GridAndCompactPanel) {
    LayoutInput in = DefaultSkin();
    in.multi = 1, in.layout = 1, in.colum = 2, in.row = 2, in.fontsize = 20;
    in.band = false;
    // (32 * 2 + 5) + 5 font pixels + 16 padding - 8
    EXPECT_EQ(ComputeWindowSize(in).height, 82u);
    EXPECT_EQ(ComputeWindowSize(in).width, 222u);
    in.band = true; // with the band the font size does not enter
    EXPECT_EQ(ComputeWindowSize(in).height, (32u + 40) * 2 + 5 + 8);

    in.layout = 0, in.processorCount = 4, in.fontsize = 15, in.band = false;
    EXPECT_EQ(ComputeWindowSize(in).width, 112u);
    EXPECT_EQ(ComputeWindowSize(in).height, 42u + 32 + 15 - 31 + 8);
}

TEST(ComputeWindowSize, MemoryLineWidensAndHeightens) {
    LayoutInput in = DefaultSkin();
    in.kakusi = 1, in.memory = 1, in.memWidth = 150, in.memHeight = 12;
    WindowSize s = ComputeWindowSize(in);
    EXPECT_EQ(s.width, 158u);
    EXPECT_EQ(s.height, 44u + 19);
    in.memWidth = 50; // narrower than the window: width stays
    EXPECT_EQ(ComputeWindowSize(in).width, 112u);
    in.memory = 0;
    in.memWidth = 150;
    EXPECT_EQ(ComputeWindowSize(in).height, 44u);
}

TEST(GridPenGrey, LightensDarkAndDarkensLightBackgrounds) {
    EXPECT_EQ(GridPenGrey(0xf0f0f0), 240 - 51);
    EXPECT_EQ(GridPenGrey(0x000000), 80);
    EXPECT_EQ(GridPenGrey(0x7f7f7f), 127 + 80);
    EXPECT_EQ(GridPenGrey(0x808080), 128 - 51);
    // Channels are averaged with integer division: (255 + 0 + 0) / 3 = 85.
    EXPECT_EQ(GridPenGrey(0x0000ff), 165);
    EXPECT_EQ(GridPenGrey(0xff000000u | 0x000010), 5 + 80); // top byte ignored
}

std::vector<TileRect> Tiles(const PieceSize (&pieces)[PIECE_COUNT], int32_t w, int32_t h) {
    std::vector<TileRect> tiles;
    ForEachBackgroundTile(
        pieces, w, h,
        [](void* c, const TileRect& t) { static_cast<std::vector<TileRect>*>(c)->push_back(t); },
        &tiles);
    return tiles;
}

TEST(BackgroundTiles, BackTileCoversTheWindowColumnByColumn) {
    PieceSize pieces[PIECE_COUNT] = {};
    pieces[PIECE_BACK] = {20, 20, true};
    const std::vector<TileRect> tiles = Tiles(pieces, 130, 90);
    ASSERT_EQ(tiles.size(), 35u);
    EXPECT_EQ(tiles[0].x, 0);
    EXPECT_EQ(tiles[4].y, 80);
    EXPECT_EQ(tiles[5].x, 20); // second column after five rows
    EXPECT_EQ(tiles[5].y, 0);
    EXPECT_EQ(tiles.back().x, 120);
    for (const TileRect& t : tiles)
        EXPECT_EQ(t.width, 20);
}

TEST(BackgroundTiles, EdgesStopShortOfTheCornersAndTheLastIsCut) {
    PieceSize pieces[PIECE_COUNT] = {};
    pieces[PIECE_LT] = {10, 6, true};
    pieces[PIECE_RT] = {12, 6, true};
    pieces[PIECE_ST] = {30, 5, true};
    const std::vector<TileRect> tiles = Tiles(pieces, 130, 40);
    ASSERT_EQ(tiles.size(), 6u);
    const int32_t xs[] = {10, 40, 70, 100}, ws[] = {30, 30, 30, 18};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tiles[i].piece, PIECE_ST);
        EXPECT_EQ(tiles[i].x, xs[i]);
        EXPECT_EQ(tiles[i].width, ws[i]);
        EXPECT_EQ(tiles[i].height, 5);
    }
    EXPECT_EQ(tiles[4].piece, PIECE_LT);
    EXPECT_EQ(tiles[5].piece, PIECE_RT);
    EXPECT_EQ(tiles[5].x, 118);
}

TEST(BackgroundTiles, OrderAndPlacesOfEveryPiece) {
    PieceSize pieces[PIECE_COUNT] = {};
    for (int i = PIECE_LT; i < PIECE_COUNT; ++i)
        pieces[i] = {8, 8, true};
    const std::vector<TileRect> tiles = Tiles(pieces, 40, 32);
    // top 3, bottom 3, left 2, right 2, then four corners
    ASSERT_EQ(tiles.size(), 14u);
    const int order[] = {PIECE_ST, PIECE_ST, PIECE_ST, PIECE_SB, PIECE_SB, PIECE_SB, PIECE_SL,
                         PIECE_SL, PIECE_SR, PIECE_SR, PIECE_LT, PIECE_RT, PIECE_RB, PIECE_LB};
    for (size_t i = 0; i < tiles.size(); ++i)
        EXPECT_EQ(tiles[i].piece, order[i]) << i;
    EXPECT_EQ(tiles[3].y, 24);
    EXPECT_EQ(tiles[8].x, 32);
    EXPECT_EQ(tiles[12].x, 32);
    EXPECT_EQ(tiles[12].y, 24);
    EXPECT_EQ(tiles[13].x, 0);
    EXPECT_EQ(tiles[13].y, 24);
}

TEST(BackgroundTiles, EdgeWithoutRoomAndMissingPiecesAreSkipped) {
    PieceSize pieces[PIECE_COUNT] = {};
    pieces[PIECE_LT] = {30, 6, true};
    pieces[PIECE_RT] = {30, 6, true};
    pieces[PIECE_ST] = {5, 5, true};
    pieces[PIECE_SB] = {0, 0, false};
    const std::vector<TileRect> tiles = Tiles(pieces, 60, 20);
    ASSERT_EQ(tiles.size(), 2u); // only the two corners
    EXPECT_EQ(tiles[0].piece, PIECE_LT);
}

} // namespace

namespace {

// Values a hand-edited file or skin may hold, bounded where they are used.
TEST(UsableValues, TimerPeriodsFontHeightsOpacitiesAndWindowSizes) {
    const struct {
        int32_t ms;
        uint32_t used;
    } periods[] = {{1000, 1000},   {0, 1000}, {-1, 1000}, {INT32_MAX, 1000}, {60001, 1000},
                   {60000, 60000}, {1, 100},  {99, 100},  {300, 300}};
    for (const auto& p : periods)
        EXPECT_EQ(UsableTimerPeriod(p.ms, 1000), p.used) << p.ms;
    // A log row every ten minutes is a choice, not a typo.
    EXPECT_EQ(UsableTimerPeriod(600000, 1000, MAX_LOG_PERIOD), 600000u);
    EXPECT_EQ(UsableTimerPeriod(0, 1000, MAX_LOG_PERIOD), 1000u);
    EXPECT_EQ(UsableFontHeight(-15), 15);
    EXPECT_EQ(UsableFontHeight(0), 15);
    EXPECT_EQ(UsableFontHeight(-5000), MAX_FONT_HEIGHT);
    EXPECT_EQ(UsableFontHeight(INT32_MIN), MAX_FONT_HEIGHT);
    // An opacity passed on as a byte would wrap: 256 to invisible, -1 to opaque.
    const int32_t opacities[][2] = {{180, 180}, {1, 1},     {255, 255},     {0, 1},         {-1, 1},
                                    {256, 255}, {511, 255}, {INT32_MIN, 1}, {INT32_MAX, 255}};
    for (const auto& o : opacities)
        EXPECT_EQ(UsableOpacity(o[0]), static_cast<uint32_t>(o[1])) << o[0];

    LayoutInput in = DefaultSkin();
    in.padLeft = in.padTop = INT32_MIN;
    in.padRight = in.padBottom = INT32_MAX;
    EXPECT_EQ(ComputeWindowSize(in).width, 104u + MAX_PADDING);
    in.multi = in.layout = 1;
    in.colum = in.row = INT32_MAX;
    in.kakusi = in.memory = 1;
    in.memWidth = in.memHeight = INT32_MAX;
    const WindowSize s = ComputeWindowSize(in);
    EXPECT_EQ(s.width, static_cast<uint32_t>(MAX_WINDOW_SIDE));
    EXPECT_EQ(s.height, static_cast<uint32_t>(MAX_WINDOW_SIDE));
}

} // namespace
