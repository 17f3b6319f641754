#include "settings/Settings.h"

uint32_t DefaultGraphColor(int i) {
    static const uint32_t table[9] = {0xff5500, 0xff5500, 0x9314ff, 0x4080ff, 0x40ff00,
                                      0x008080, 0x000080, 0xff00c0, 0x61494a};
    return table[static_cast<unsigned>(i) % 9u];
}
