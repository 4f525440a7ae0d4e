// Runs the simulator program as other tools do and reads back what it wrote.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ColourTable.h"
#include "MemoryPlatform.h"
#include "MonitorLayout.h"
#include "NearestColour.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path() /
                 ("kw-sim-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct SimResult {
    int status;
    std::string out;
    std::string err;
};

SimResult RunSim(const std::vector<std::string>& args, const TempDir& dir) {
    std::string command = "'" KW_SIM_PATH "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >'" + (dir / "stdout") + "' 2>'" + (dir / "stderr") + "'";
    const int raw = std::system(command.c_str());
    return SimResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir / "stdout"), ReadFile(dir / "stderr")};
}

std::vector<std::pair<std::string, std::string>> ReadState(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(ReadFile(path));
    std::string name, value;
    while (in >> name >> value) lines.emplace_back(name, value);
    return lines;
}

long long StateValue(const std::string& path, const std::string& name) {
    for (const auto& [n, v] : ReadState(path))
        if (n == name) return std::stoll(v);
    ADD_FAILURE() << name << " missing from " << path;
    return -1;
}

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

Rgb TableColour(const ColourTable& table, uint8_t index) {
    return Rgb{table[index].red, table[index].green, table[index].blue};
}

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

Picture ReadPng(const std::string& path) {
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return p;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        return p;
    }
    p.width = int(image.width);
    p.height = int(image.height);
    for (std::size_t n = 0; n + 2 < bytes.size(); n += 3) p.pixels.push_back(Rgb{bytes[n], bytes[n + 1], bytes[n + 2]});
    return p;
}

struct Animation {
    Picture last;  // every frame laid over the ones before
    int frames = 0;
    std::vector<int> delays;
    bool loops = false;
};

Animation ReadGif(const std::string& path) {
    Animation a;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    if (!gif) {
        ADD_FAILURE() << path << ": " << GifErrorString(code);
        return a;
    }
    if (DGifSlurp(gif) == GIF_ERROR || !gif->SColorMap) {
        ADD_FAILURE() << path << ": cannot decode";
        DGifCloseFile(gif, &code);
        return a;
    }
    a.last.width = gif->SWidth;
    a.last.height = gif->SHeight;
    a.last.pixels.assign(std::size_t(gif->SWidth) * std::size_t(gif->SHeight), Rgb{0, 0, 0});
    a.frames = gif->ImageCount;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        a.delays.push_back(control.DelayTime);
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0")
                a.loops = true;
        }
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const GifColorType c = gif->SColorMap->Colors[image.RasterBits[y * d.Width + x]];
                a.last.pixels[std::size_t(d.Top + y) * std::size_t(gif->SWidth) + std::size_t(d.Left + x)] =
                    Rgb{c.Red, c.Green, c.Blue};
            }
    }
    DGifCloseFile(gif, &code);
    return a;
}

TEST(SimRun, TheSameSeedGivesTheSameDumpAndAnotherSeedAnother) {
    TempDir dir;
    const std::vector<std::string> common = {"--window", "96x72", "--ticks", "250", "--dump"};
    auto args = [&](const char* seed, const char* out) {
        std::vector<std::string> a = {"--seed", seed};
        a.insert(a.end(), common.begin(), common.end());
        a.push_back(dir / out);
        return a;
    };
    ASSERT_EQ(RunSim(args("7", "a"), dir).status, 0);
    ASSERT_EQ(RunSim(args("7", "b"), dir).status, 0);
    ASSERT_EQ(RunSim(args("8", "c"), dir).status, 0);
    for (const char* file : {"heat.bin", "out.bin", "back.bin", "base.bin", "state.txt"})
        EXPECT_TRUE(ReadFile(dir / "a/" + file) == ReadFile(dir / "b/" + file)) << file << " differs for one seed";
    EXPECT_NE(ReadFile(dir / "a/state.txt"), ReadFile(dir / "c/state.txt"));
}

TEST(SimRun, DumpFilesFollowTheFireBoxAndStateNamesEveryField) {
    struct Case {
        std::vector<std::string> args;
        int cx, cy, stride;
    };
    const Case cases[] = {
        {{}, 320, 240, 320},
        {{"--window", "151x111"}, 151, 111, 152},
        {{"--fullscreen"}, 100, 100, 100},
        {{"--fullscreen", "--screen", "64x48", "--fly", "1"}, 100, 100, 100},
    };
    const std::vector<std::string> names = {
        "m_nFrame",   "m_nBurnFrames", "m_nDyingFrames", "m_nFireHeight", "m_nBaseWidth", "m_nMaxBaseWidth",
        "m_nDecay",   "m_nFuel",       "m_bBurning",     "m_bFinished",   "m_ptFire.x",   "m_ptFire.y",
        "m_ptBlit.x", "m_ptBlit.y",    "m_cxFire",       "m_cyFire",      "m_nGlow",      "g_dwFireRand",
        "ignitions"};
    for (const Case& c : cases) {
        TempDir dir;
        std::vector<std::string> args = {"--seed", "3", "--ticks", "40", "--dump", dir / "d"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const std::string what = ::testing::PrintToString(c.args);
        ASSERT_EQ(RunSim(args, dir).status, 0) << what;
        std::vector<std::string> seen;
        for (const auto& line : ReadState(dir / "d/state.txt")) seen.push_back(line.first);
        EXPECT_EQ(seen, names) << what;
        EXPECT_EQ(StateValue(dir / "d/state.txt", "m_cxFire"), c.cx) << what;
        EXPECT_EQ(StateValue(dir / "d/state.txt", "m_cyFire"), c.cy) << what;
        for (const char* file : {"heat.bin", "out.bin", "back.bin"})
            EXPECT_EQ(fs::file_size(dir / "d/" + file), std::uintmax_t(c.stride) * std::uintmax_t(c.cy))
                << file << " for " << what;
        EXPECT_EQ(fs::file_size(dir / "d/base.bin"), std::uintmax_t(c.cx)) << what;
    }
}

TEST(SimRun, IgnitionsCountTheFirstFireAndEveryReplacement) {
    TempDir dir;
    ASSERT_EQ(RunSim({"--seed", "5", "--ticks", "0", "--dump", dir / "none"}, dir).status, 0);
    EXPECT_EQ(StateValue(dir / "none/state.txt", "ignitions"), 1);
    EXPECT_EQ(StateValue(dir / "none/state.txt", "m_nFrame"), 0);
    // In 48 rows a fire burns fewer than 2 * 47 + 46 ticks and dies in at most 36 more.
    ASSERT_EQ(RunSim({"--seed", "5", "--window", "64x48", "--ticks", "1000", "--dump", dir / "many"}, dir).status, 0);
    EXPECT_GE(StateValue(dir / "many/state.txt", "ignitions"), 6);
    EXPECT_LT(StateValue(dir / "many/state.txt", "m_nFrame"), 2 * 47 + 46 + 36);
    // Frame 0 all along a flight is not a new fire.
    const std::vector<std::string> flying = {"--seed", "5", "--fullscreen", "--fly", "1", "--ticks", "3"};
    std::vector<std::string> args = flying;
    args.insert(args.end(), {"--dump", dir / "fly"});
    ASSERT_EQ(RunSim(args, dir).status, 0);
    ASSERT_EQ(StateValue(dir / "fly/state.txt", "m_bBurning"), 0) << "the firefly should still be on its way";
    EXPECT_EQ(StateValue(dir / "fly/state.txt", "ignitions"), 1);
}

// Where the saver lights its fires on a desk of several monitors, seed after seed: each box
// on one monitor, shown in the window that starts at the monitors' top-left corner.
TEST(SimRun, FiresOnSeveralMonitorsLieWhollyOnOne) {
    struct Layout {
        std::vector<std::string> args;
        std::vector<MonitorRect> monitors;
    };
    const Layout layouts[] = {
        {{"--monitor", "1024x768+0+0", "--monitor", "800x600-800+0"}, {{0, 0, 1024, 768}, {-800, 0, 800, 600}}},
        {{"--monitor", "640x480+0+0", "--monitor", "1280x1024+640-544", "--monitor", "320x200+-320+280"},
         {{0, 0, 640, 480}, {640, -544, 1280, 1024}, {-320, 280, 320, 200}}},
    };
    for (const Layout& layout : layouts) {
        const MonitorRect bounds = MonitorLayout(layout.monitors).Bounds();
        std::vector<int> perMonitor(layout.monitors.size(), 0);
        for (int seed = 1; seed <= 16; ++seed) {
            TempDir dir;
            std::vector<std::string> args = {"--seed", std::to_string(seed), "--fullscreen", "--fly", "1",
                                             "--ticks", "0", "--dump", dir / "d"};
            args.insert(args.end(), layout.args.begin(), layout.args.end());
            ASSERT_EQ(RunSim(args, dir).status, 0);
            const std::string state = dir / "d/state.txt";
            const long long x = StateValue(state, "m_ptFire.x"), y = StateValue(state, "m_ptFire.y");
            int on = -1;
            for (std::size_t m = 0; m < layout.monitors.size(); ++m) {
                const MonitorRect& r = layout.monitors[m];
                if (x >= r.x && y >= r.y && x + 100 <= r.x + r.cx && y + 100 <= r.y + r.cy) on = int(m);
            }
            EXPECT_GE(on, 0) << "seed " << seed << ": box at (" << x << ", " << y << ") is on no one monitor";
            if (on >= 0) ++perMonitor[std::size_t(on)];
            EXPECT_EQ(StateValue(state, "m_ptBlit.x"), x - bounds.x) << "seed " << seed;
            EXPECT_EQ(StateValue(state, "m_ptBlit.y"), y - bounds.y) << "seed " << seed;
        }
        std::cout << layout.args[1] << " and more: boxes per monitor";
        for (int n : perMonitor) std::cout << ' ' << n;
        std::cout << '\n';
    }
}

TEST(SimRun, BadArgumentsExitWithTwoAndOneLineNamingThem) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"}, {"--screen", "640x"}, {"--ticks"}, {"--fly", "yes"}, {"--window", "0x10"}, {"extra"},
        {"--monitor", "800x600"}, {"--monitor", "800x600+1"}, {"--monitor", "0x600+0+0"}};
    for (const auto& args : cases) {
        const SimResult run = RunSim(args, dir);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_NE(run.err.find(args[0]), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    const SimResult help = RunSim({"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: kindlewick-sim", 0), 0u) << help.out;
}

TEST(SimRun, TheAnimationLoopsOneFramePerTickAndEndsOnThePng) {
    struct Case {
        std::vector<std::string> args;
        int ticks, width, height;
    };
    const Case cases[] = {
        {{"--window", "64x48"}, 40, 64, 48},
        {{"--window", "64x48", "--blank", "1", "--fire-type", "2"}, 30, 64, 48},
        {{"--fullscreen", "--screen", "200x150", "--fly", "1", "--fly-width", "3"}, 120, 200, 150},
        {{"--fullscreen", "--screen", "80x60", "--fly", "1"}, 60, 80, 60},
        {{"--fullscreen", "--screen", "120x90"}, 0, 120, 90},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::vector<std::string> args = {"--seed", "2", "--ticks", std::to_string(c.ticks), "--gif", dir / "a.gif",
                                         "--png", dir / "a.png"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const std::string what = ::testing::PrintToString(c.args);
        ASSERT_EQ(RunSim(args, dir).status, 0) << what;
        const Animation gif = ReadGif(dir / "a.gif");
        const Picture png = ReadPng(dir / "a.png");
        EXPECT_EQ(gif.frames, std::max(c.ticks, 1)) << what;
        EXPECT_TRUE(gif.loops) << what;
        for (std::size_t n = 0; n < gif.delays.size(); ++n) EXPECT_EQ(gif.delays[n], 3) << "frame " << n << what;
        EXPECT_EQ(png.width, c.width) << what;
        EXPECT_EQ(png.height, c.height) << what;
        EXPECT_EQ(gif.last.width, c.width) << what;
        EXPECT_EQ(gif.last.height, c.height) << what;
        EXPECT_TRUE(gif.last.pixels == png.pixels) << "the last frame is not the PNG for " << what;
    }
}

TEST(SimRun, TheWindowShowsTheOutputBufferTopRowFirst) {
    struct Case {
        std::vector<std::string> args;
        FireSize screen;
    };
    const Case cases[] = {
        {{"--window", "66x48"}, {640, 480}},
        {{"--fullscreen", "--screen", "300x200"}, {300, 200}},
        {{"--fullscreen", "--screen", "90x70"}, {90, 70}},  // the box hangs off the left and top
    };
    const ColourTable table = BuildColourTable(0);
    for (const Case& c : cases) {
        TempDir dir;
        // Five ticks: the first fire still burns, so the last tick presented it.
        std::vector<std::string> args = {"--seed", "4", "--ticks", "5", "--png", dir / "a.png", "--dump", dir / "d"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const std::string what = ::testing::PrintToString(c.args);
        ASSERT_EQ(RunSim(args, dir).status, 0) << what;
        const Picture png = ReadPng(dir / "a.png");
        const std::string out = ReadFile(dir / "d/out.bin");
        const std::string state = dir / "d/state.txt";
        const long long bx = StateValue(state, "m_ptBlit.x"), by = StateValue(state, "m_ptBlit.y");
        const long long cx = StateValue(state, "m_cxFire"), cy = StateValue(state, "m_cyFire");
        const long long stride = SurfaceStride(int32_t(cx));
        ASSERT_EQ(out.size(), std::size_t(stride * cy)) << what;
        int mismatches = 0;
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x) {
                const bool inBox = x >= bx && x < bx + cx && y >= by && y < by + cy;
                const uint8_t index = inBox ? uint8_t(out[std::size_t((cy - 1 - (y - by)) * stride + (x - bx))])
                                            : PatternPixel(c.screen, x, y);
                if (!(png.At(x, y) == TableColour(table, index)) && ++mismatches <= 3)
                    ADD_FAILURE() << "at " << x << "," << y << (inBox ? " in" : " outside") << " the box, " << what;
            }
        EXPECT_EQ(mismatches, 0) << what;
    }
}

// Over a --desktop picture the window is a screen without a palette: a cell of the box whose
// output and background still hold the index its capture gave it shows the picture as it is,
// every other cell its output's table colour, and the rest of the window shows the picture.
TEST(SimRun, OverADesktopPictureUntouchedCellsShowItAndTheOthersTheTable) {
    // Blues and greens that change with every pixel each way; no table colour is among them.
    const int width = 300, height = 200;
    std::vector<png_byte> rgb;
    Picture desktop{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c{uint8_t(30 + x / 4), uint8_t(60 + y / 3), uint8_t(120 + (x + 2 * y) % 64)};
            desktop.pixels.push_back(c);
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    struct Case {
        std::vector<std::string> args;
    };
    const Case cases[] = {{{"--fullscreen"}}, {{"--window", "120x90"}}};
    const ColourTable table = BuildColourTable(0);
    for (const Case& c : cases) {
        TempDir dir;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_RGB;
        ASSERT_TRUE(png_image_write_to_file(&image, (dir / "desktop.png").c_str(), 0, rgb.data(), 0, nullptr));
        std::vector<std::string> args = {"--seed", "4", "--ticks", "30", "--desktop", dir / "desktop.png",
                                         "--png", dir / "a.png", "--dump", dir / "d"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const std::string what = ::testing::PrintToString(c.args);
        ASSERT_EQ(RunSim(args, dir).status, 0) << what;
        const std::string state = dir / "d/state.txt";
        // The first fire still burns: the last tick presented it, over the picture it captured.
        ASSERT_EQ(StateValue(state, "ignitions"), 1) << what;
        ASSERT_GT(StateValue(state, "m_nFrame"), 0) << what;
        const Picture png = ReadPng(dir / "a.png");
        const std::string out = ReadFile(dir / "d/out.bin"), back = ReadFile(dir / "d/back.bin");
        const long long fx = StateValue(state, "m_ptFire.x"), fy = StateValue(state, "m_ptFire.y");
        const long long bx = StateValue(state, "m_ptBlit.x"), by = StateValue(state, "m_ptBlit.y");
        const long long cx = StateValue(state, "m_cxFire"), cy = StateValue(state, "m_cyFire");
        const long long stride = SurfaceStride(int32_t(cx));
        ASSERT_EQ(out.size(), std::size_t(stride * cy)) << what;
        NearestColour nearest(table);
        int untouched = 0, throughTable = 0, mismatches = 0;
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x) {
                const bool inBox = x >= bx && x < bx + cx && y >= by && y < by + cy;
                Rgb want = desktop.At(x, y);
                if (inBox) {
                    const std::size_t n = std::size_t((cy - 1 - (y - by)) * stride + (x - bx));
                    const Rgb under = desktop.At(int(fx + x - bx), int(fy + y - by));
                    const uint8_t index = uint8_t(out[n]), captured = nearest.Index(under.r, under.g, under.b);
                    const bool kept = index == uint8_t(back[n]) && index == captured;
                    want = kept ? under : TableColour(table, index);
                    ++(kept ? untouched : throughTable);
                }
                if (!(png.At(x, y) == want) && ++mismatches <= 3)
                    ADD_FAILURE() << "at " << x << "," << y << (inBox ? " in" : " outside") << " the box, " << what;
            }
        EXPECT_EQ(mismatches, 0) << what;
        EXPECT_GT(untouched, 0) << what;
        EXPECT_GT(throughTable, 0) << what;
    }
}

}  // namespace
