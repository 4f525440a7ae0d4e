#include "Encoders.h"

#include <gif_lib.h>
#include <png.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "Options.h"

namespace {
std::string Describe(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "GIF error " + std::to_string(code);
}
}  // namespace

void GifAnimation::Closer::operator()(GifFileType* gif) const {
    int ignored = 0;
    EGifCloseFile(gif, &ignored);
}

GifAnimation::~GifAnimation() = default;

bool GifAnimation::Open(const std::string& path, const Canvas& canvas, const ColourTable& table,
                        std::string& error) {
    m_path = path;
    if (canvas.width() > 65535 || canvas.height() > 65535) {
        error = path + ": a GIF is at most 65535 pixels wide and high";
        return false;
    }
    // Opened here rather than by giflib, which would make the file readable by its owner only.
    if (!m_file.Open(path, error)) return false;
    const int fd = dup(m_file.Descriptor());
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    int code = 0;
    m_gif.reset(EGifOpenFileHandle(fd, &code));
    if (!m_gif) {
        close(fd);
        error = path + ": " + Describe(code);
        return false;
    }
    std::vector<GifColorType> colours(table.size());
    std::transform(table.begin(), table.end(), colours.begin(),
                   [](const RgbQuad& q) { return GifColorType{q.red, q.green, q.blue}; });
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(
        GifMakeMapObject(int(colours.size()), colours.data()), GifFreeMapObject);
    // Three sub-blocks after the application name: id 1, then a loop count of 0 (for ever).
    static const unsigned char kLoopForever[3] = {1, 0, 0};
    EGifSetGifVersion(m_gif.get(), true);
    if (!map || EGifPutScreenDesc(m_gif.get(), canvas.width(), canvas.height(), 8, 0, map.get()) == GIF_ERROR ||
        EGifPutExtensionLeader(m_gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(m_gif.get(), 11, "NETSCAPE2.0") == GIF_ERROR ||
        EGifPutExtensionBlock(m_gif.get(), 3, kLoopForever) == GIF_ERROR ||
        EGifPutExtensionTrailer(m_gif.get()) == GIF_ERROR) {
        error = path + ": " + Describe(m_gif->Error);
        return false;
    }
    return true;
}

bool GifAnimation::AddFrame(Canvas& canvas, std::string& error) {
    PixelRect part = canvas.TakeDirty();
    // A frame must hold an image even when nothing changed: one pixel, drawn as it was.
    if (part.Empty()) part = PixelRect{0, 0, 1, 1};
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = 3;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    bool ok = EGifPutExtension(m_gif.get(), GRAPHICS_EXT_FUNC_CODE, int(length), extension) != GIF_ERROR &&
              EGifPutImageDesc(m_gif.get(), part.x, part.y, part.cx, part.cy, false, nullptr) != GIF_ERROR;
    // giflib masks the pixels of the line it is given in place, so it gets a copy.
    std::vector<GifPixelType> line(std::size_t(part.cx));
    for (int32_t y = part.y; ok && y < part.y + part.cy; ++y) {
        std::copy_n(canvas.Row(y) + part.x, part.cx, line.begin());
        ok = EGifPutLine(m_gif.get(), line.data(), part.cx) != GIF_ERROR;
    }
    if (!ok) error = m_path + ": " + Describe(m_gif->Error);
    return ok;
}

bool GifAnimation::Close(std::string& error) {
    if (!m_gif) {
        error = m_path + ": not open";
        return false;
    }
    int code = 0;
    if (EGifCloseFile(m_gif.release(), &code) == GIF_ERROR) {
        error = m_path + ": " + Describe(code);
        return false;
    }
    return m_file.Commit(error);
}

namespace {
// png_image's encoder into memory, written through our own descriptor: libpng's file writer
// removes its target on any error, even a device or a file it did not create.
bool WriteEncoded(const std::string& path, png_image& image, const void* rows, int32_t rowStride,
                  const void* colourMap, std::string& error) {
    png_alloc_size_t size = 0;
    std::vector<png_byte> encoded;
    const auto encode = [&](void* memory) {
        return png_image_write_to_memory(&image, memory, &size, 0, rows, rowStride, colourMap);
    };
    if (encode(nullptr)) {
        encoded.resize(size);
        if (!encode(encoded.data())) encoded.clear();
    }
    if (encoded.empty()) {
        error = path + ": " + image.message;
        return false;
    }
    OutputFile file;
    return file.Open(path, error) && file.Write(encoded.data(), size, error) && file.Commit(error);
}
}  // namespace

bool WritePng(const std::string& path, const Canvas& canvas, const ColourTable& table, std::string& error) {
    std::vector<png_byte> colours;
    for (const RgbQuad& q : table) colours.insert(colours.end(), {q.red, q.green, q.blue});
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(canvas.width());
    image.height = png_uint_32(canvas.height());
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = png_uint_32(table.size());
    return WriteEncoded(path, image, canvas.Row(0), canvas.width(), colours.data(), error);
}

bool WritePng(const std::string& path, const ColourCanvas& canvas, std::string& error) {
    std::vector<png_byte> rgb;
    rgb.reserve(std::size_t(canvas.width()) * std::size_t(canvas.height()) * 3);
    for (int32_t y = 0; y < canvas.height(); ++y)
        for (int32_t x = 0; x < canvas.width(); ++x) {
            const uint32_t p = canvas.At(x, y);
            rgb.insert(rgb.end(), {png_byte(p >> 16), png_byte(p >> 8), png_byte(p)});
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(canvas.width());
    image.height = png_uint_32(canvas.height());
    image.format = PNG_FORMAT_RGB;
    return WriteEncoded(path, image, rgb.data(), canvas.width() * 3, nullptr, error);
}

bool ReadPng(const std::string& path, FireSize& size, std::vector<uint32_t>& pixels, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    // No screen the simulator runs is larger; a larger picture is not read.
    if (int64_t(image.width) * int64_t(image.height) > kMaxWindowPixels) {
        png_image_free(&image);
        error = path + ": " + std::to_string(image.width) + "x" + std::to_string(image.height) + " is too large";
        return false;
    }
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, rgb.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    size = FireSize{int32_t(image.width), int32_t(image.height)};
    pixels.resize(rgb.size() / 3);
    for (std::size_t n = 0; n < pixels.size(); ++n)
        pixels[n] = uint32_t(rgb[3 * n]) << 16 | uint32_t(rgb[3 * n + 1]) << 8 | rgb[3 * n + 2];
    return true;
}
