// Writes the progress pictures of the built-in styles, and the window's own copy of the WinXP
// picture, as uncompressed 8-bit palettised BMP files. The outputs are committed; run this only
// to change the artwork:  make-style-pictures REPO_ROOT
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

/// 0xRRGGBB, as colours are usually written for pictures.
using Rgb = std::uint32_t;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row-major, top row first
};

Picture Rows(int width, const std::vector<Rgb> &rowColours) {
    Picture p{width, int(rowColours.size()), {}};
    for (const Rgb colour : rowColours)
        p.pixels.insert(p.pixels.end(), std::size_t(width), colour);
    return p;
}

Picture WinXp() {
    return Rows(6, {0xEAEAEA, 0xABEDAC, 0x7BE37D, 0x66DF68, 0x35D538, 0x2ED331, 0x42D745, 0x75E277,
                    0x8FE890, 0xEAEAEA});
}

/// A glossy blue band: each row has its end colour, and the middle columns are darker by up to
/// (19, 13, 5), the step between the ends and the middle of the darkest row.
Picture MacOs() {
    const std::vector<Rgb> ends = {0x94BDEA, 0x8BB5E6, 0x80ACE1, 0x75A2DC, 0x4E94E5,
                                   0x5BA3EA, 0x6BB4F0, 0x7DC5F6, 0x8ED5FB, 0x9EE3FF};
    // Share of the full darkening per column: none at the ends, all of it in the middle.
    const int share[13] = {0, 50, 85, 100, 100, 100, 100, 100, 100, 100, 85, 50, 0};
    const int darken[3] = {19, 13, 5};
    Picture p{13, int(ends.size()), {}};
    for (const Rgb end : ends) {
        for (const int s : share) {
            Rgb colour = 0;
            for (int channel = 0; channel < 3; ++channel) {
                const int shift = 16 - 8 * channel;
                const int value = int((end >> shift) & 0xFF) - darken[channel] * s / 100;
                colour |= Rgb(value) << shift;
            }
            p.pixels.push_back(colour);
        }
    }
    return p;
}

void Put16(std::vector<std::uint8_t> &out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t> &out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

/// A bottom-up BI_RGB bitmap with 8 bits per pixel and a full 256-entry palette.
std::vector<std::uint8_t> EncodeBmp(const Picture &p) {
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices;
    for (const Rgb colour : p.pixels) {
        std::size_t i = 0;
        while (i < palette.size() && palette[i] != colour)
            ++i;
        if (i == palette.size())
            palette.push_back(colour);
        indices.push_back(std::uint8_t(i));
    }
    palette.resize(256, 0);

    const std::uint32_t stride = (std::uint32_t(p.width) + 3) & ~3u;
    const std::uint32_t pixelBytes = stride * std::uint32_t(p.height);
    const std::uint32_t offset = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, std::uint32_t(p.width));
    Put32(out, std::uint32_t(p.height));
    Put16(out, 1); // planes
    Put16(out, 8); // bits per pixel
    Put32(out, 0); // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 3780); // 96 pixels per inch
    Put32(out, 3780);
    Put32(out, 256);
    Put32(out, 0);
    for (const Rgb colour : palette) {
        out.push_back(std::uint8_t(colour));       // blue
        out.push_back(std::uint8_t(colour >> 8));  // green
        out.push_back(std::uint8_t(colour >> 16)); // red
        out.push_back(0);
    }
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x)
            out.push_back(indices[std::size_t(y * p.width + x)]);
        out.insert(out.end(), stride - std::uint32_t(p.width), 0);
    }
    return out;
}

bool Write(const std::string &path, const Picture &p) {
    const std::vector<std::uint8_t> bytes = EncodeBmp(p);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "make-style-pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-style-pictures REPO_ROOT\n");
        return 2;
    }
    const std::string root = argv[1];
    const std::string skin = root + "/skin/pictures/";
    bool ok = Write(skin + "WINXP_PROGRESSBAR.bmp", WinXp());
    ok = Write(skin + "MACOS_PROGRESSBAR.bmp", MacOs()) && ok;
    ok = Write(skin + "DEEPBLUE_PROGRESSBAR.bmp",
               Rows(1, {0x6368AF, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0,
                        0x444AA0, 0x444AA0, 0x444AA0})) &&
         ok;
    ok = Write(skin + "PROTEIN_PROGRESSBAR.bmp", Rows(1, std::vector<Rgb>(10, 0x4247CD))) && ok;
    ok = Write(skin + "BLUEGLASS_PROGRESSBAR.bmp",
               Rows(1, {0x4949F8, 0x6969FB, 0x9293FC, 0x9F9FFD, 0x8383FD, 0x5A5BFC, 0x4444FA,
                        0x3F3EF9, 0x3F3EF9, 0x3D3DF6})) &&
         ok;
    // The main window keeps its own copy of the same artwork as its bar's picture.
    ok = Write(root + "/app/pictures/progress_bar1.bmp", WinXp()) && ok;
    return ok ? 0 : 1;
}
