#pragma once
// Image files of the window through the fire's colour table: an animated GIF written
// frame by frame, and a PNG of one picture; PNG pictures in full colour, read and written.
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ColourTable.h"
#include "OutputFile.h"

struct GifFileType;

class GifAnimation {
public:
    GifAnimation() = default;
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;
    ~GifAnimation();

    // Starts a looping animation of the canvas's size; false with `error` set on failure.
    bool Open(const std::string& path, const Canvas& canvas, const ColourTable& table, std::string& error);
    // Adds the canvas as the next frame, shown for 3/100 s. Only the part drawn since the
    // last frame is stored; earlier frames stay underneath it.
    bool AddFrame(Canvas& canvas, std::string& error);
    // Writes the trailer and puts the file in place; until this succeeded, what was there stays.
    bool Close(std::string& error);

private:
    struct Closer {
        void operator()(GifFileType* gif) const;
    };
    // Declared first: giflib's copy of the descriptor closes before the file goes.
    OutputFile m_file;
    std::unique_ptr<GifFileType, Closer> m_gif;
    std::string m_path;
};

bool WritePng(const std::string& path, const Canvas& canvas, const ColourTable& table, std::string& error);
bool WritePng(const std::string& path, const ColourCanvas& canvas, std::string& error);
// Any PNG, as pixels 0x00RRGGBB (an alpha channel is laid over black).
bool ReadPng(const std::string& path, FireSize& size, std::vector<uint32_t>& pixels, std::string& error);
