#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "../core/EngineAccess.h"
#include "FireWndAccess.h"
#include "ProgramTestSupport.h"
#include "SelfDeleting.h"
#include "res/resource.h"
#include "WinApp.h"
#include "WinTestSupport.h"

namespace {
FireState& Edit(FireWnd& wnd) { return Edit(wnd.Engine()); }
}  // namespace

namespace {

// A child fire window filling a host of the given client size.
struct FireRigWnd {
    FireRigWnd(int cx, int cy) : host(0, 0, cx, cy), wnd(UnstoredSettings()) {}
    BOOL Create() {
        RECT rect;
        GetClientRect(host.hwnd(), &rect);
        return wnd.Create(0, WS_CHILD | WS_VISIBLE, rect, host.hwnd());
    }
    HostWindow host;
    FireWnd wnd;
};

class FireWndTest : public ::testing::Test {
protected:
    CWinApp app;
};

DIBSECTION Section(const CBitmap& bitmap) {
    DIBSECTION ds{};
    GetObjectA(bitmap.GetSafeHandle(), sizeof ds, &ds);
    return ds;
}

bool HasFlame(const FireWnd& wnd) {
    if (!wnd.State().m_pHeatBits) return false;
    const int stride = wnd.State().Stride();
    for (int r = 1; r < wnd.State().m_cyFire; ++r)
        for (int c = 0; c < wnd.State().m_cxFire; ++c)
            if (wnd.State().m_pHeatBits[r * stride + c] > kCold) return true;
    return false;
}

// Counting windows whose objects were deleted through PostNcDestroy.
class CountingFireWnd : public FireWnd {
public:
    static int deleted;
    CountingFireWnd() : FireWnd(UnstoredSettings()) {}
    ~CountingFireWnd() override { ++deleted; }
};
int CountingFireWnd::deleted = 0;

TEST_F(FireWndTest, CreateMakesAClassCursorChildWithIdZeroAndStartsTheTimer) {
    FireRigWnd rig(151, 111);
    ASSERT_TRUE(rig.Create());
    const HWND hwnd = rig.wnd.m_hWnd;
    EXPECT_EQ(GetParent(hwnd), rig.host.hwnd());
    EXPECT_EQ(GetDlgCtrlID(hwnd), 0);
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCL_STYLE), ULONG_PTR(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND), 0u) << "the system must never erase a fire";
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HICON), 0u);
    EXPECT_NE(GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0u) << "cursor " << IDC_FIRE << " from the resources";
    EXPECT_EQ(TimerOf(rig.wnd), kFrameTimerId);

    // A second window shares the class.
    FireRigWnd other(40, 30);
    ASSERT_TRUE(other.Create());
    char a[64] = {}, b[64] = {};
    GetClassNameA(hwnd, a, sizeof a);
    GetClassNameA(other.wnd.m_hWnd, b, sizeof b);
    EXPECT_STREQ(a, b);
}

TEST_F(FireWndTest, SurfacesFollowTheClientAreaWithPaddedBottomUpRows) {
    struct Case {
        int cx, cy;
        int fullScreen;
        int presetHeight;  // m_nFireHeight before the surfaces are made again
        int wantCx, wantCy, wantStride, wantImage, wantHeight, wantBase;
    };
    const Case cases[] = {
        {151, 111, 0, 0, 151, 111, 152, 16872, 83, 75},
        {101, 60, 0, 0, 101, 60, 104, 6240, 45, 50},
        {151, 111, 0, 40, 151, 111, 152, 16872, 40, 75},
        {151, 111, 1, 0, 100, 100, 100, 10000, 75, 50},
    };
    for (const Case& c : cases) {
        FireRigWnd rig(c.cx, c.cy);
        ASSERT_TRUE(rig.Create());
        FireWnd& w = rig.wnd;
        Edit(w).m_bFullScreen = c.fullScreen;
        Edit(w).m_nFireHeight = c.presetHeight;
        Edit(w).m_nBaseWidth = 0;
        FireWndTestAccess::Rebuild(w, w.State().m_nFireType);
        const std::string at = std::to_string(c.cx) + "x" + std::to_string(c.cy) +
                               (c.fullScreen ? " full screen" : "");
        EXPECT_EQ(w.State().m_cxFire, c.wantCx) << at;
        EXPECT_EQ(w.State().m_cyFire, c.wantCy) << at;
        EXPECT_EQ(w.State().Stride(), c.wantStride) << at;
        EXPECT_EQ(w.State().m_nFireHeight, c.wantHeight) << at;
        EXPECT_EQ(w.State().m_nBaseWidth, c.wantBase) << at;
        for (const CBitmap* bm : {&FireWndTestAccess::Back(w).Bitmap(), &FireWndTestAccess::Heat(w).Bitmap(), &FireWndTestAccess::Out(w).Bitmap()}) {
            const DIBSECTION ds = Section(*bm);
            EXPECT_EQ(ds.dsBmih.biWidth, c.wantCx) << at;
            EXPECT_EQ(ds.dsBmih.biHeight, c.wantCy) << at << ": positive height, bottom-up rows";
            EXPECT_EQ(ds.dsBmih.biBitCount, 8) << at;
            EXPECT_EQ(ds.dsBmih.biSizeImage, DWORD(c.wantImage)) << at;
            EXPECT_EQ(ds.dsBm.bmWidthBytes, c.wantStride) << at;
        }
        // The surfaces carry the fire's colour table.
        RGBQUAD table[256] = {};
        ASSERT_EQ(GetDIBColorTable(FireWndTestAccess::Heat(w).DC()->GetSafeHdc(), 0, 256, table), 256u) << at;
        for (int i = 0; i < 256; ++i) {
            const RgbQuad& want = w.State().m_rgbPalette[std::size_t(i)];
            EXPECT_EQ(table[i].rgbRed, want.red) << at << " entry " << i;
            EXPECT_EQ(table[i].rgbGreen, want.green) << at << " entry " << i;
            EXPECT_EQ(table[i].rgbBlue, want.blue) << at << " entry " << i;
        }
    }
}

TEST_F(FireWndTest, CreatingSurfacesTwiceLeavesExactlyOneSet) {
    FireRigWnd rig(151, 111);
    ASSERT_TRUE(rig.Create());
    FireWnd& w = rig.wnd;
    const HGDIOBJ oldBitmaps[] = {FireWndTestAccess::Back(w).Bitmap().GetSafeHandle(), FireWndTestAccess::Heat(w).Bitmap().GetSafeHandle(),
                                  FireWndTestAccess::Out(w).Bitmap().GetSafeHandle()};
    const HGDIOBJ oldDCs[] = {FireWndTestAccess::Back(w).DC()->GetSafeHdc(), FireWndTestAccess::Heat(w).DC()->GetSafeHdc(), FireWndTestAccess::Out(w).DC()->GetSafeHdc()};
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    FireWndTestAccess::Rebuild(w, w.State().m_nFireType);

    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::printf("GDI objects of the process: %lu before, %lu after the second set of surfaces\n",
                static_cast<unsigned long>(before), static_cast<unsigned long>(after));
    if (before != 0) {
        EXPECT_EQ(after, before);
    }

    const std::set<HGDIOBJ> newBitmaps = {FireWndTestAccess::Back(w).Bitmap().GetSafeHandle(), FireWndTestAccess::Heat(w).Bitmap().GetSafeHandle(),
                                          FireWndTestAccess::Out(w).Bitmap().GetSafeHandle()};
    EXPECT_EQ(newBitmaps.size(), 3u);
    for (HGDIOBJ h : newBitmaps) EXPECT_EQ(GetObjectType(h), DWORD(OBJ_BITMAP));
    const std::set<HGDIOBJ> newDCs = {FireWndTestAccess::Back(w).DC()->GetSafeHdc(), FireWndTestAccess::Heat(w).DC()->GetSafeHdc(), FireWndTestAccess::Out(w).DC()->GetSafeHdc()};
    for (HGDIOBJ h : newDCs) EXPECT_EQ(GetObjectType(h), DWORD(OBJ_MEMDC));
    for (HGDIOBJ h : oldBitmaps)
        EXPECT_TRUE(GetObjectType(h) == 0 || newBitmaps.count(h)) << "old bitmap " << h << " still alive";
    for (HGDIOBJ h : oldDCs)
        EXPECT_TRUE(GetObjectType(h) == 0 || newDCs.count(h)) << "old memory DC " << h << " still alive";
    ASSERT_NE(WindowDCOf(w), nullptr);
    EXPECT_EQ(GetCurrentObject(WindowDCOf(w)->GetSafeHdc(), OBJ_PAL), PaletteOf(w).GetSafeHandle())
        << "the window DC holds the fire's palette";
    EXPECT_NE(w.State().m_pBaseLine, nullptr);
    EXPECT_TRUE(w.Engine().Ready());

    // Released, every memory DC is gone and the engine holds no pixels.
    FireWndTestAccess::ReleaseSurfaces(w);
    for (HGDIOBJ h : newDCs) EXPECT_EQ(GetObjectType(h), 0u);
    for (HGDIOBJ h : newBitmaps) EXPECT_EQ(GetObjectType(h), 0u);
    EXPECT_EQ(w.State().m_pHeatBits, nullptr);
    EXPECT_EQ(w.State().m_pBaseLine, nullptr);
    EXPECT_FALSE(w.Engine().Ready());
    FireWndTestAccess::ReleaseSurfaces(w);  // nothing left: nothing happens
}

TEST_F(FireWndTest, RowZeroIsDrawnAtTheBottomAndPresentKeepsItsGuards) {
    FireRigWnd rig(151, 111);
    ASSERT_TRUE(rig.Create());
    FireWnd& w = rig.wnd;
    KillTimer(w.m_hWnd, kFrameTimerId);
    PumpPending();
    const int stride = w.State().Stride(), cy = w.State().m_cyFire;
    Edit(w).m_bFinished = 0;

    struct Step {
        const char* what;
        int row;  // buffer row set to white at column 0; -1 none
        bool finished;
        Rgb topLeft, bottomLeft;
    };
    const Rgb white{255, 255, 255}, black{0, 0, 0};
    const Step steps[] = {
        {"top buffer row", cy - 1, false, white, black},
        {"bottom buffer row", 0, false, black, white},
        {"finished fire", cy - 1, true, black, white},  // nothing drawn: the last picture stays
    };
    for (const Step& s : steps) {
        std::memset(w.State().m_pOutBits, kCold, std::size_t(stride) * std::size_t(cy));
        if (s.row >= 0) w.State().m_pOutBits[s.row * stride] = kFlare;
        Edit(w).m_bFinished = s.finished ? 1 : 0;
        w.Engine().Present();
        GdiFlush();
        const WindowPixels px(w.m_hWnd);
        const Rgb top = px.at(0, 0), bottom = px.at(0, cy - 1);
        EXPECT_EQ((std::array<int, 3>{top.r, top.g, top.b}), (std::array<int, 3>{s.topLeft.r, s.topLeft.g, s.topLeft.b}))
            << s.what << ": top-left pixel";
        EXPECT_EQ((std::array<int, 3>{bottom.r, bottom.g, bottom.b}),
                  (std::array<int, 3>{s.bottomLeft.r, s.bottomLeft.g, s.bottomLeft.b}))
            << s.what << ": bottom-left pixel";
    }

    // Without surfaces nothing is drawn and nothing breaks, by tick, paint or direct call.
    Edit(w).m_bFinished = 0;
    FireWndTestAccess::ReleaseSurfaces(w);
    w.Engine().Present();
    SendMessageA(w.m_hWnd, WM_TIMER, kFrameTimerId, 0);
    InvalidateRect(w.m_hWnd, nullptr, FALSE);
    UpdateWindow(w.m_hWnd);
    const WindowPixels px(w.m_hWnd);
    EXPECT_EQ(px.at(0, cy - 1).r, 255) << "the last picture stays";
}

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::string Text(Rgb c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// A picture of colours the fire's table does not hold: blues and greens, changing with every
// pixel each way.
Rgb PictureAt(int x, int y) { return Rgb{uint8_t(30 + x / 4), uint8_t(60 + y / 3), uint8_t(120 + (x + 2 * y) % 64)}; }

void PaintPicture(HWND hwnd, int cx, int cy) {
    std::vector<uint32_t> pixels(std::size_t(cx) * std::size_t(cy));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) {
            const Rgb c = PictureAt(x, y);
            pixels[std::size_t(y) * std::size_t(cx) + std::size_t(x)] =
                uint32_t(c.b) | uint32_t(c.g) << 8 | uint32_t(c.r) << 16;
        }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC dc = GetDC(hwnd);
    SetDIBitsToDevice(dc, 0, 0, DWORD(cx), DWORD(cy), 0, 0, 0, UINT(cy), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(hwnd, dc);
    GdiFlush();
}

// The box's indices as GDI gives them for a block of the screen copied straight into an
// 8-bit section of the fire's colours: what the capture must give the engine.
std::vector<uint8_t> IndicesFromScreen(const FireState& s, POINT at, int scale) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = s.m_cxFire;
    info.header.biHeight = s.m_cyFire;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    std::memcpy(info.colours, s.m_rgbPalette.data(), sizeof info.colours);
    void* bits = nullptr;
    const HDC screen = GetWindowDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP section =
        CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, section);
    SetStretchBltMode(memory, COLORONCOLOR);
    StretchBlt(memory, 0, 0, s.m_cxFire, s.m_cyFire, screen, at.x, at.y, s.m_cxFire * scale, s.m_cyFire * scale,
               SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint8_t*>(bits);
    std::vector<uint8_t> indices(first, first + std::size_t(s.Stride()) * std::size_t(s.m_cyFire));
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return indices;
}

// On a screen without a palette a cell whose output and background still hold the index its
// capture gave it shows the screen as captured, at full resolution; any other cell shows its
// output through the colour table. Each tick leaves the whole window so, though it copies only
// the part that changed; at scale 2 each cell is a block of four captured pixels.
TEST_F(FireWndTest, TheWindowShowsUntouchedCellsAsCapturedAndTheRestThroughTheColourTable) {
    HostWindow picture(0, 0, 640, 480);
    FireWnd w(UnstoredSettings());
    ASSERT_TRUE(w.Create(0, WS_CHILD | WS_VISIBLE, RECT{0, 0, 161, 111}, picture.hwnd()));
    KillTimer(w.m_hWnd, kFrameTimerId);
    PumpPending();
    PaintPicture(picture.hwnd(), 640, 480);
    // The capture reads the screen right of and below the fire window.
    POINT at{300, 200};
    ClientToScreen(picture.hwnd(), &at);
    if (GetDeviceCaps(WindowDCOf(w)->GetSafeHdc(), RASTERCAPS) & RC_PALETTE) GTEST_SKIP() << "a palette screen";
    // What a window draws reaches the screen when the system gets round to it.
    Rgb shown{};
    const bool onScreen = PumpUntil([&] {
        const HDC screen = GetWindowDC(nullptr);
        const COLORREF c = GetPixel(screen, at.x + 5, at.y + 7);
        ReleaseDC(nullptr, screen);
        shown = Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
        return Same(shown, PictureAt(305, 207));
    });
    ASSERT_TRUE(onScreen) << "the screen shows " << Text(shown) << " where the picture shows "
                          << Text(PictureAt(305, 207));

    const FireState& s = w.State();
    const int stride = s.Stride(), cx = s.m_cxFire, cy = s.m_cyFire;
    for (int scale : {1, 2}) {
        const std::string at0 = "scale " + std::to_string(scale);
        FireCanvas& canvas = FireWndTestAccess::Canvas(w);
        canvas.CaptureScreen(FirePoint{at.x, at.y}, s.FireBox(), scale);
        const std::vector<uint8_t> captured(s.m_pBackBits, s.m_pBackBits + std::size_t(stride) * std::size_t(cy));
        const std::vector<uint8_t> direct = IndicesFromScreen(s, at, scale);
        for (int r = 0; r < cy; ++r)
            for (int c = 0; c < cx; ++c) {
                ASSERT_EQ(int(captured[std::size_t(r * stride + c)]), int(direct[std::size_t(r * stride + c)]))
                    << at0 << ": the capture's index at row " << r << " column " << c;
                ASSERT_EQ(int(s.m_pOutBits[r * stride + c]), int(captured[std::size_t(r * stride + c)]))
                    << at0 << ": output at row " << r << " column " << c;
            }

        int untouched = 0, throughTable = 0;
        const auto expectRule = [&](const std::string& when) {
            GdiFlush();
            const WindowPixels px(w.m_hWnd);
            for (int y = 0; y < cy; ++y)
                for (int x = 0; x < cx; ++x) {
                    const int r = cy - 1 - y / scale, c = x / scale, n = r * stride + c;
                    const uint8_t out = s.m_pOutBits[n];
                    const bool kept = out == s.m_pBackBits[n] && out == captured[std::size_t(n)];
                    const RgbQuad& q = s.m_rgbPalette[out];
                    const Rgb want = kept ? PictureAt(300 + x, 200 + y) : Rgb{q.red, q.green, q.blue};
                    const Rgb got = px.at(x, y);
                    (kept ? untouched : throughTable) += 1;
                    ASSERT_TRUE(Same(got, want))
                        << when << ": pixel (" << x << ", " << y << ") shows " << Text(got) << ", not " << Text(want)
                        << " (output " << int(out) << ", background " << int(s.m_pBackBits[n]) << ", captured "
                        << int(captured[std::size_t(n)]) << ")";
                }
        };
        if (scale == 1) {
            // A fire that burns throughout: no relighting captures elsewhere meanwhile.
            Edit(w).m_nBurnFrames = 1000;
            w.Engine().Present();
            for (int tick = 0; tick < 60 && !HasFailure(); ++tick) {
                SendMessageA(w.m_hWnd, WM_TIMER, kFrameTimerId, 0);
                expectRule(at0 + ", tick " + std::to_string(tick));
            }
        } else {
            // Flames in every seventh row, the box shown twice as large at the window's corner.
            for (int r = 0; r < cy; r += 7)
                for (int c = 0; c < cx; ++c) s.m_pOutBits[r * stride + c] = uint8_t(100 + c % 100);
            canvas.PresentOutput(FirePoint{0, 0}, s.FireBox(), 2, FireBand::Whole(s.FireBox()));
            expectRule(at0);
        }
        EXPECT_GT(untouched, 0) << at0;
        EXPECT_GT(throughTable, 0) << at0;
    }
}


void FillWindow(HWND hwnd, COLORREF colour) {
    RECT client;
    GetClientRect(hwnd, &client);
    const HDC dc = GetDC(hwnd);
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
    GdiFlush();
}

TEST_F(FireWndTest, PaintRedrawsABurningFireAndTheFirstBlankTickPaintsTheWindowBlack) {
    FireRigWnd rig(151, 111);
    ASSERT_TRUE(rig.Create());
    FireWnd& w = rig.wnd;
    const HWND hwnd = w.m_hWnd;
    KillTimer(hwnd, kFrameTimerId);
    PumpPending();
    const std::size_t size = std::size_t(w.State().Stride()) * std::size_t(w.State().m_cyFire);
    const Rgb white{255, 255, 255}, black{0, 0, 0};
    auto repaint = [&] {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
        GdiFlush();
        return WindowPixels(hwnd).at(75, 55);
    };

    std::memset(w.State().m_pOutBits, kFlare, size);
    Edit(w).m_bBurning = 1;
    Edit(w).m_bFinished = 0;
    EXPECT_TRUE(Same(repaint(), white)) << "a paint while burning shows the output: " << Text(repaint());

    std::memset(w.State().m_pOutBits, kCold, size);
    Edit(w).m_bFinished = 1;
    EXPECT_TRUE(Same(repaint(), white)) << "a paint after the fire finished draws nothing";

    // Any timer id blanks the window once after a start; only id 1 moves the fire.
    Edit(w).m_bFinished = 0;
    Edit(w).m_bBlankScreen = 1;
    Edit(w).m_bBlanked = 0;
    std::memset(w.State().m_pOutBits, kFlare, size);
    SendMessageA(hwnd, WM_TIMER, 2, 0);
    EXPECT_EQ(w.State().m_bBlanked, 1);
    EXPECT_TRUE(Same(WindowPixels(hwnd).at(75, 55), black)) << Text(WindowPixels(hwnd).at(75, 55));
    SendMessageA(hwnd, WM_TIMER, 2, 0);
    EXPECT_TRUE(Same(WindowPixels(hwnd).at(0, 0), black)) << "timer 2 presented the output";
    SendMessageA(hwnd, WM_TIMER, kFrameTimerId, 0);
    EXPECT_TRUE(Same(WindowPixels(hwnd).at(0, 0), white)) << "timer 1 presents the output above the flames";
}

TEST_F(FireWndTest, IgnitionOverBlackFillsBothBuffersWithColourZero) {
    FireRigWnd rig(151, 111);
    ASSERT_TRUE(rig.Create());
    FireWnd& w = rig.wnd;
    Edit(w).m_bBlankScreen = 2;  // any non-zero value means black buffers
    w.Restart(0);
    KillTimer(w.m_hWnd, kFrameTimerId);
    const int stride = w.State().Stride();
    int notBlack = 0;
    for (int r = 0; r < w.State().m_cyFire; ++r)
        for (int c = 0; c < w.State().m_cxFire; ++c)
            if (w.State().m_pBackBits[r * stride + c] != 0 || w.State().m_pOutBits[r * stride + c] != 0) ++notBlack;
    EXPECT_EQ(notBlack, 0) << "pixels that are not colour 0 after a black ignition";
}

TEST_F(FireWndTest, AFireflyStepDrawsItsTrailAndGlowWithPensThatAreGivenBack) {
    struct Case {
        int width;
        Rgb besideGlow;  // one row under the glowing segment
    };
    const Case cases[] = {{3, Rgb{0, 30, 0}}, {0, Rgb{0, 0, 0}}};
    for (const Case& c : cases) {
        FireRigWnd rig(151, 111);
        ASSERT_TRUE(rig.Create());
        FireWnd& w = rig.wnd;
        KillTimer(w.m_hWnd, kFrameTimerId);
        PumpPending();
        FillWindow(w.m_hWnd, RGB(0, 0, 0));
        Edit(w).m_nFireType = 1;
        Edit(w).m_nFlyWidth = c.width;
        Edit(w).m_nFlySpeed = 5;
        Edit(w).m_bFinished = 0;
        Edit(w).m_nGlow = 20;
        Edit(w).m_bGlowFalling = 0;
        Edit(w).m_flyStart = Edit(w).m_flyTail = FlyPoint{10, 50};
        Edit(w).m_flyHead = FlyPoint{15, 50};
        Edit(w).m_flyDir = FlyPoint{1, 0};
        Edit(w).m_fFlyDist = 1000;
        Edit(w).m_nFlySteps = 0;
        Edit(w).m_ptFire = FirePoint{5000, 5000};  // far away: no arrival
        const HDC dc = WindowDCOf(w)->GetSafeHdc();
        const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);

        w.Engine().FlyStep();
        GdiFlush();
        const WindowPixels px(w.m_hWnd);
        const std::string at = "pen width " + std::to_string(c.width);
        EXPECT_TRUE(Same(px.at(12, 50), Rgb{1, 0, 0})) << at << ": trail " << Text(px.at(12, 50));
        EXPECT_TRUE(Same(px.at(18, 50), Rgb{0, 30, 0})) << at << ": glow " << Text(px.at(18, 50));
        EXPECT_TRUE(Same(px.at(18, 51), c.besideGlow)) << at << ": beside the glow " << Text(px.at(18, 51));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen) << at;
    }
}

TEST_F(FireWndTest, RebuildingThePaletteLeavesOnePaletteObject) {
    FireRigWnd rig(151, 111);
    ASSERT_TRUE(rig.Create());
    FireWnd& w = rig.wnd;
    // Selected into the window DC by Create: the rebuild must not leave it behind.
    const HGDIOBJ first = PaletteOf(w).GetSafeHandle();
    ASSERT_EQ(GetCurrentObject(WindowDCOf(w)->GetSafeHdc(), OBJ_PAL), first);

    FireWndTestAccess::Rebuild(w, 1);
    const HGDIOBJ second = PaletteOf(w).GetSafeHandle();
    EXPECT_EQ(GetObjectType(first), 0u) << "the old palette was still selected and survived";
    // Some systems refuse to delete a selected palette, others delete it later: either way
    // it must have left the window DC before it was deleted.
    EXPECT_NE(GetCurrentObject(WindowDCOf(w)->GetSafeHdc(), OBJ_PAL), first);
    ASSERT_EQ(GetObjectType(second), DWORD(OBJ_PAL));
    PALETTEENTRY entries[256] = {};
    ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(second), 0, 256, entries), 256u);
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& want = w.State().m_rgbPalette[std::size_t(i)];
        EXPECT_EQ(entries[i].peRed, want.red) << "entry " << i;
        EXPECT_EQ(entries[i].peGreen, want.green) << "entry " << i;
        EXPECT_EQ(entries[i].peBlue, want.blue) << "entry " << i;
        EXPECT_EQ(entries[i].peFlags, 0) << "entry " << i;
    }
    EXPECT_EQ(entries[100].peGreen, 211) << "Kryptonite's first ramp is green";

    FireWndTestAccess::Rebuild(w, 1);
    EXPECT_EQ(GetObjectType(second), 0u);

    for (int type : {2, 0}) {
        const HGDIOBJ before = PaletteOf(w).GetSafeHandle();
        w.Restart(type);
        EXPECT_EQ(GetObjectType(before), 0u) << "restart with type " << type;
        EXPECT_EQ(GetCurrentObject(WindowDCOf(w)->GetSafeHdc(), OBJ_PAL), PaletteOf(w).GetSafeHandle());
        EXPECT_EQ(w.State().m_nFireType, 0) << "Restart does not change the stored type";
    }
}

TEST_F(FireWndTest, ATakenOverControlBurnsAfterRestartAndAnswersPaletteQueries) {
    HostWindow host(0, 0, 160, 130);
    const HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 116, 96,
                                         host.hwnd(), reinterpret_cast<HMENU>(1001), GetModuleHandleA(nullptr),
                                         nullptr);
    ASSERT_NE(control, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    {
        FireWnd preview(UnstoredSettings());
        ASSERT_TRUE(preview.SubclassWindow(control));
        EXPECT_EQ(SendMessageA(control, WM_QUERYNEWPALETTE, 0, 0), 0) << "no palette yet";
        SendMessageA(control, WM_TIMER, kFrameTimerId, 0);  // nothing to burn yet

        preview.Restart(1);
        EXPECT_EQ(preview.State().m_cxFire, 116);
        EXPECT_EQ(preview.State().m_cyFire, 96);
        EXPECT_TRUE(preview.Engine().Ready());
        EXPECT_EQ(TimerOf(preview), kFrameTimerId);
        const LRESULT realized = SendMessageA(control, WM_QUERYNEWPALETTE, 0, 0);
        std::printf("WM_QUERYNEWPALETTE with a palette on this display: %ld\n", static_cast<long>(realized));
        EXPECT_TRUE(PumpUntil([&] { return HasFlame(preview); })) << "the timer never reached the control";
    }
    // The object is gone, the control lives on with its own procedure and no timer.
    EXPECT_TRUE(IsWindow(control));
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_WNDPROC), original);
}

TEST_F(FireWndTest, AFailedCreationStartsNothingAndEndsASelfDeletingWindow) {
    HostWindow host(0, 0, 50, 50);
    const HWND dead = host.hwnd();
    host.Destroy();
    const RECT rect{0, 0, 50, 50};

    CountingFireWnd::deleted = 0;
    auto* selfDeleting = new SelfDeleting<CountingFireWnd>;
    EXPECT_FALSE(selfDeleting->Create(0, WS_CHILD | WS_VISIBLE, rect, dead));
    EXPECT_EQ(CountingFireWnd::deleted, 1);

    FireWnd member(UnstoredSettings());
    EXPECT_FALSE(member.Create(0, WS_CHILD | WS_VISIBLE, rect, dead));
    EXPECT_EQ(member.m_hWnd, nullptr);
    EXPECT_EQ(TimerOf(member), 0u);
    EXPECT_EQ(PaletteOf(member).GetSafeHandle(), nullptr) << "the restart sequence must not run";
    EXPECT_EQ(WindowDCOf(member), nullptr);
}

TEST_F(FireWndTest, AnUnusableSizeDrawsNothingAndALaterRestartBurns) {
    struct Case {
        int cx, cy;
    };
    // 0 x 0 makes no surfaces; the tiny ones make surfaces too small for the usual fire.
    const Case cases[] = {{0, 0}, {0, 50}, {50, 0}, {1, 1}, {3, 2}, {2, 40}, {40, 3}};
    for (const Case& c : cases) {
        HostWindow host(0, 0, 200, 150);
        FireWnd w(UnstoredSettings());
        const RECT rect{0, 0, c.cx, c.cy};
        const std::string at = std::to_string(c.cx) + "x" + std::to_string(c.cy);
        ASSERT_TRUE(w.Create(0, WS_CHILD | WS_VISIBLE, rect, host.hwnd())) << at;
        if (c.cx == 0 || c.cy == 0) {
            EXPECT_FALSE(w.Engine().Ready()) << at;
            EXPECT_EQ(w.State().m_pHeatBits, nullptr) << at;
            EXPECT_EQ(FireWndTestAccess::Heat(w).Bitmap().GetSafeHandle(), nullptr) << at;
            EXPECT_EQ(WindowDCOf(w), nullptr) << at;
        }
        Edit(w).m_bBlankScreen = 1;
        for (int tick = 0; tick < 150; ++tick) SendMessageA(w.m_hWnd, WM_TIMER, kFrameTimerId, 0);
        InvalidateRect(w.m_hWnd, nullptr, FALSE);
        UpdateWindow(w.m_hWnd);
        SendMessageA(w.m_hWnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(host.hwnd()), 0);
        PumpPending();

        MoveWindow(w.m_hWnd, 0, 0, 151, 111, TRUE);
        Edit(w).m_bBlankScreen = 0;
        w.Restart(1);
        EXPECT_TRUE(w.Engine().Ready()) << at << " then 151x111";
        EXPECT_EQ(w.State().m_cxFire, 151) << at;
        EXPECT_TRUE(PumpUntil([&] { return HasFlame(w); })) << at << ": no flame after the restart";
    }
}

}  // namespace
