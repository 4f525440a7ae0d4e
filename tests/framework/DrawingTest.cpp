#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "Dc.h"
#include "GdiObject.h"
#include "Selection.h"
#include "WindowDc.h"

namespace {

TEST(Drawing, EveryGdiObjectHasOneOwner) {
    CBrush first(RGB(1, 2, 3));
    const HGDIOBJ brush = first.GetSafeHandle();
    ASSERT_NE(brush, nullptr);

    CBrush moved(std::move(first));
    EXPECT_EQ(first.GetSafeHandle(), nullptr);
    EXPECT_EQ(moved.GetSafeHandle(), brush);

    moved = CBrush(RGB(4, 5, 6));
    EXPECT_EQ(GetObjectType(brush), 0u) << "the brush replaced by a move must be deleted";
    const HGDIOBJ second = moved.GetSafeHandle();
    EXPECT_EQ(GetObjectType(second), DWORD(OBJ_BRUSH));

    moved.Attach(CreateSolidBrush(RGB(7, 8, 9)));
    EXPECT_EQ(GetObjectType(second), 0u) << "Attach must delete the object held before";
    const HGDIOBJ detached = moved.Detach();
    EXPECT_EQ(moved.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetObjectType(detached), DWORD(OBJ_BRUSH)) << "Detach hands the object over undeleted";
    DeleteObject(detached);
}

TEST(Drawing, TheFireflysPenStyleMakesPensOfEveryUsualWidth) {
    // PS_GEOMETRIC with round ends and joins; width 0 stands for one-pixel lines.
    for (int width : {0, 1, 3, 10}) {
        CPen pen(0x00010000, width, RGB(1, 0, 0));
        EXPECT_EQ(GetObjectType(pen.GetSafeHandle()), DWORD(OBJ_PEN)) << "width " << width;
    }
}

TEST(Drawing, SelectionsPutTheFormerObjectBackByHandle) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    const HGDIOBJ pen0 = GetCurrentObject(dc.GetSafeHdc(), OBJ_PEN);
    const HGDIOBJ pal0 = GetCurrentObject(dc.GetSafeHdc(), OBJ_PAL);
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    {
        CSelection selection(dc, pen);
        EXPECT_TRUE(selection.Selected());
        EXPECT_EQ(GetCurrentObject(dc.GetSafeHdc(), OBJ_PEN), pen.GetSafeHandle());
    }
    EXPECT_EQ(GetCurrentObject(dc.GetSafeHdc(), OBJ_PEN), pen0);

    struct {
        WORD version = 0x300;
        WORD count = 1;
        PALETTEENTRY entry{10, 20, 30, 0};
    } record;
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(reinterpret_cast<const LOGPALETTE*>(&record)));
    {
        CPaletteSelection selection(dc, palette, FALSE);
        EXPECT_TRUE(selection.Selected());
        EXPECT_EQ(GetCurrentObject(dc.GetSafeHdc(), OBJ_PAL), palette.GetSafeHandle());
    }
    EXPECT_EQ(GetCurrentObject(dc.GetSafeHdc(), OBJ_PAL), pal0);

    CBrush nothing;
    CSelection none(dc, nothing);
    EXPECT_FALSE(none.Selected()) << "selecting no object changes nothing";
}

TEST(Drawing, DeviceContextsAreDeletedOrReleasedByTheirOwner) {
    HDC memory = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        memory = dc.GetSafeHdc();
        CDC moved(std::move(dc));
        EXPECT_EQ(dc.GetSafeHdc(), nullptr);
        EXPECT_EQ(moved.GetSafeHdc(), memory);
        EXPECT_EQ(GetObjectType(memory), DWORD(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(memory), 0u) << "the memory DC outlived its owner";

    // A borrowed DC is no owner: no owner is made from one, and none deletes it.
    static_assert(!std::is_constructible_v<CDC, CWindowDC&&> && !std::is_convertible_v<CClientDC*, CDC*> &&
                  !std::is_convertible_v<CPaintDC*, CDC*>);

    // The screen DC (no window) is borrowed and given back; it stays usable for others.
    {
        CWindowDC screen(nullptr);
        ASSERT_NE(screen.GetSafeHdc(), nullptr);
        CWindowDC moved(std::move(screen));
        EXPECT_EQ(screen.GetSafeHdc(), nullptr);
        EXPECT_NE(moved.GetSafeHdc(), nullptr);
    }
    CClientDC again(nullptr);
    EXPECT_NE(again.GetSafeHdc(), nullptr);
}

}  // namespace
