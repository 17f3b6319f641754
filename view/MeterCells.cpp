#include "view/MeterCells.h"

#include "view/Scale.h"

MeterStyle MeterStyleOf(int32_t meterStep) {
    if (meterStep == 1) return MeterStyle{3, 99};
    if (meterStep >= 2) return MeterStyle{1, 100};
    return MeterStyle{5, 100};
}

static int32_t Channel(uint32_t colour, int shift) {
    return static_cast<int32_t>((colour >> shift) & 0xff);
}

static uint32_t Blend(double t, uint32_t from, uint32_t to) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t a = Channel(from, shift), b = Channel(to, shift);
        const int32_t c = static_cast<int32_t>(a + t * (b - a)); // truncated
        result |= static_cast<uint32_t>(c & 0xff) << shift;
    }
    return result;
}

uint32_t GradientColour(int32_t s, uint32_t color0, uint32_t color1, uint32_t color2) {
    if (s < 60) {
        const double f = s / 60.0;
        return Blend(f * f, color0, color1);
    }
    const double f = (s - 60) / 40.0;
    return Blend(f * f, color1, color2);
}

void LayoutMeter(uint32_t figure, int32_t meterStep, int32_t meterGradient,
                 const uint32_t (&colours)[3], int32_t left, int32_t top, int32_t bottom,
                 MeterLayout& out, int32_t dpi) {
    auto S = [dpi](int32_t v) { return Scaled(v, dpi); };
    const MeterStyle style = MeterStyleOf(meterStep);
    out.count = 0;
    for (int32_t s = 0; s < style.limit && out.count < METER_MAX_CELLS; s += style.step) {
        MeterCell& cell = out.cells[out.count++];
        if (style.step == 1)
            cell.rect = PixelRect{left + S(s), top, left + S(s + 1), bottom};
        else
            cell.rect = PixelRect{left + S(s + 1), top, left + S(s + style.step), bottom};
        cell.lit = static_cast<uint32_t>(s) < figure;
        cell.colourIndex = s < 60 ? 0 : (s < 90 ? 1 : 2);
        cell.colour = meterGradient != 0 ? GradientColour(s, colours[0], colours[1], colours[2])
                                         : colours[cell.colourIndex];
    }
    out.frame = PixelRect{left, top, left + S(style.limit) + 1, bottom};
}

int32_t GraphHeight(uint32_t figure) {
    if (figure > 100) figure = 100;
    // Integer form of figure × 0.33, truncated: equal for every figure up
    // to 100, and no floating point on each of the 51 reads per ring.
    return static_cast<int32_t>(figure * 33 / 100);
}

void GraphPolyline(const uint32_t (&figures)[GRAPH_FIGURES], int32_t R, int32_t Bt,
                   GraphPoint (&points)[GRAPH_FIGURES], int32_t dpi) {
    points[0] = GraphPoint{R - Scaled(1, dpi), Bt - Scaled(GraphHeight(figures[0]), dpi)};
    for (int32_t k = 1; k < GRAPH_FIGURES; ++k)
        points[k] =
            GraphPoint{R - Scaled(2 * k - 1, dpi), Bt - Scaled(GraphHeight(figures[k]), dpi)};
}

void GraphBars(const uint32_t (&figures)[GRAPH_FIGURES], int32_t R, int32_t Bt, int32_t threshold,
               GraphBar (&bars)[GRAPH_BARS], int32_t dpi) {
    auto S = [dpi](int32_t v) { return Scaled(v, dpi); };
    const int32_t T = threshold, ST = S(threshold), S30 = S(30);
    for (int32_t k = 1; k < GRAPH_FIGURES; ++k) {
        GraphBar& bar = bars[k - 1];
        bar.column = R - S(2 * k - 1);
        bar.width = ScaledAtLeastOne(1, dpi);
        const int32_t h = GraphHeight(figures[k]), Sh = S(h);
        if (h < T) {
            bar.count = 1;
            bar.segments[0] = BarSegment{0, Bt - Sh, Bt};
            continue;
        }
        bar.segments[0] = BarSegment{0, Bt - ST + 1, Bt};
        if (h < 30) {
            bar.count = 2;
            bar.segments[1] = BarSegment{1, Bt - Sh, Bt - ST};
        } else {
            bar.count = 3;
            bar.segments[1] = BarSegment{1, Bt - S30 + 1, Bt - ST};
            bar.segments[2] = BarSegment{2, Bt - Sh, Bt - S30};
        }
    }
}
