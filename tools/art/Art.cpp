// Draws the program's pictures with its own fire: the About box's flame (an 8-bit bitmap)
// and the dialog icon (32 x 32 in 256 and 16 colours, 16 x 16 in 16 colours).
//   kindlewick-art OUTDIR     writes OUTDIR/flame.bmp and OUTDIR/kindlewick.ico
// The output is committed under win/res/; run it again only to change the pictures.
#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ColourTable.h"
#include "MemoryPlatform.h"

namespace {

// A grown "Wood" fire over black, as the preview would show it after `ticks` ticks.
struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> rows;  // bottom-up, stride-padded, palette indices
    ColourTable colours;
};

Picture BurnFire(int32_t width, int32_t height, int ticks) {
    MemorySettingsStore store;
    store.values["Config\\BlankScreen"] = 1;
    FireRig rig({640, 480}, store, 7);
    rig.Restart(width, height);
    // A tall, wide flame: the fire is relit until it has one.
    while (rig.engine.State().m_nFireHeight < height * 8 / 10) rig.engine.Ignite();
    for (int t = 0; t < ticks; ++t) rig.engine.Burn();
    return Picture{width, height, rig.platform.out, rig.engine.State().m_rgbPalette};
}

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void PutInfoHeader(std::vector<uint8_t>& b, int32_t width, int32_t height, uint16_t bits, uint32_t imageSize,
                   uint32_t colours) {
    Put32(b, 40);
    Put32(b, uint32_t(width));
    Put32(b, uint32_t(height));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);  // BI_RGB
    Put32(b, imageSize);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, colours);
    Put32(b, 0);
}

void PutColours(std::vector<uint8_t>& b, const RgbQuad* colours, std::size_t count) {
    for (std::size_t n = 0; n < count; ++n) {
        b.push_back(colours[n].blue);
        b.push_back(colours[n].green);
        b.push_back(colours[n].red);
        b.push_back(0);
    }
}

std::vector<uint8_t> Bitmap(const Picture& p) {
    const uint32_t image = uint32_t(SurfaceStride(p.width) * p.height);
    std::vector<uint8_t> b = {'B', 'M'};
    Put32(b, 14 + 40 + 1024 + image);
    Put32(b, 0);
    Put32(b, 14 + 40 + 1024);
    PutInfoHeader(b, p.width, p.height, 8, image, 256);
    PutColours(b, p.colours.data(), 256);
    b.insert(b.end(), p.rows.begin(), p.rows.end());
    return b;
}

// The sixteen colours every display can show.
const std::array<RgbQuad, 16> kSixteen = {{{0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},
                                           {0, 128, 128, 0},   {128, 0, 0, 0},   {128, 0, 128, 0},
                                           {128, 128, 0, 0},   {192, 192, 192, 0}, {128, 128, 128, 0},
                                           {0, 0, 255, 0},     {0, 255, 0, 0},   {0, 255, 255, 0},
                                           {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0},
                                           {255, 255, 255, 0}}};

uint8_t NearestOfSixteen(const RgbQuad& c) {
    int best = 0;
    long bestDistance = -1;
    for (int n = 0; n < 16; ++n) {
        const long db = c.blue - kSixteen[n].blue, dg = c.green - kSixteen[n].green, dr = c.red - kSixteen[n].red;
        const long distance = db * db + dg * dg + dr * dr;
        if (bestDistance < 0 || distance < bestDistance) {
            best = n;
            bestDistance = distance;
        }
    }
    return uint8_t(best);
}

// One icon image: colour bits bottom-up, then the mask, which lets black show what is behind.
std::vector<uint8_t> IconImage(const Picture& p, bool sixteen) {
    const int32_t bits = sixteen ? 4 : 8;
    const int32_t colourStride = ((p.width * bits + 31) / 32) * 4;
    const int32_t maskStride = ((p.width + 31) / 32) * 4;
    std::vector<uint8_t> b;
    PutInfoHeader(b, p.width, p.height * 2, uint16_t(bits), uint32_t((colourStride + maskStride) * p.height),
                  0);
    if (sixteen)
        PutColours(b, kSixteen.data(), 16);
    else
        PutColours(b, p.colours.data(), 256);
    const int32_t stride = SurfaceStride(p.width);
    std::vector<uint8_t> mask(std::size_t(maskStride * p.height), 0);
    for (int32_t r = 0; r < p.height; ++r) {
        std::vector<uint8_t> row(std::size_t(colourStride), 0);
        for (int32_t c = 0; c < p.width; ++c) {
            const uint8_t index = p.rows[std::size_t(r * stride + c)];
            const RgbQuad& colour = p.colours[index];
            if (colour.red == 0 && colour.green == 0 && colour.blue == 0)
                mask[std::size_t(r * maskStride + c / 8)] |= uint8_t(0x80 >> (c % 8));
            if (sixteen)
                row[std::size_t(c / 2)] |= uint8_t(NearestOfSixteen(p.colours[index]) << (c % 2 ? 0 : 4));
            else
                row[std::size_t(c)] = index;
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    b.insert(b.end(), mask.begin(), mask.end());
    return b;
}

std::vector<uint8_t> Icon(const std::vector<std::pair<Picture, bool>>& images) {
    std::vector<uint8_t> b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, uint32_t(images.size()));
    std::vector<std::vector<uint8_t>> data;
    for (const auto& [picture, sixteen] : images) data.push_back(IconImage(picture, sixteen));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (std::size_t n = 0; n < images.size(); ++n) {
        const Picture& p = images[n].first;
        b.push_back(uint8_t(p.width));
        b.push_back(uint8_t(p.height));
        b.push_back(images[n].second ? 16 : 0);
        b.push_back(0);
        Put16(b, 1);
        Put16(b, images[n].second ? 4 : 8);
        Put32(b, uint32_t(data[n].size()));
        Put32(b, offset);
        offset += uint32_t(data[n].size());
    }
    for (const auto& d : data) b.insert(b.end(), d.begin(), d.end());
    return b;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kindlewick-art OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const Picture big = BurnFire(32, 32, 40);
    const Picture small = BurnFire(16, 16, 30);
    const bool ok = Write(dir + "/flame.bmp", Bitmap(BurnFire(59, 67, 60))) &&
                    Write(dir + "/kindlewick.ico", Icon({{big, true}, {big, false}, {small, true}}));
    if (!ok) {
        std::fprintf(stderr, "kindlewick-art: cannot write to %s\n", dir.c_str());
        return 1;
    }
    std::printf("wrote %s/flame.bmp and %s/kindlewick.ico\n", dir.c_str(), dir.c_str());
    return 0;
}
