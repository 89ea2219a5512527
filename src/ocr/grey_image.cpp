#include "grey_image.h"

namespace lumascan {

PixPtr decodeGrey(std::span<const std::byte> encoded) {
    if (encoded.empty()) return nullptr;
    PixPtr pix(pixReadMem(reinterpret_cast<const l_uint8*>(encoded.data()), encoded.size()));
    if (pix && pixGetColormap(pix.get()) != nullptr) {
        pix.reset(pixRemoveColormap(pix.get(), REMOVE_CMAP_BASED_ON_SRC));
    }
    if (pix && pixGetSpp(pix.get()) == 4) {
        // Screenshots with an alpha channel usually keep black in their
        // transparent pixels; white is what the user saw behind them.
        pix.reset(pixAlphaBlendUniform(pix.get(), 0xffffff00));
    }
    if (!pix) return nullptr;
    if (pixGetDepth(pix.get()) == 32) {
        return PixPtr(pixConvertRGBToGrayMinMax(pix.get(), L_CHOOSE_MAX));
    }
    return PixPtr(pixConvertTo8(pix.get(), 0));
}

}  // namespace lumascan
