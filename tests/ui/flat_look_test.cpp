// The flat look in the program's own process: switching it off gives the controls and the
// menu back their stock look and switching it on flattens them again; a tag of 999 keeps
// a control's own look; repainting again and again keeps no GDI object.
#include "ui/control_ids.h"
#include "ui/flat_painters.h"
#include "ui/main_window_fixture.h"

#include <utility>
#include <vector>

namespace nimbrel::testing {
namespace {

// The GDI objects alive in this process. Wine answers GetGuiResources with 0; its GDI handle
// table, found through the process environment block as on Windows, tells them instead.
size_t liveGdiObjects() {
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
    struct Entry {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type, flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24);
    constexpr size_t kEntries = 16384;
    constexpr size_t kTableInPeb = 0xF8;
    const BYTE* peb = nullptr;
    asm("mov %%gs:0x60, %0" : "=r"(peb));  // the x64 thread block's pointer to the PEB
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + kTableInPeb);
    if (!table) return 0;
    size_t alive = 0;
    for (size_t i = 0; i < kEntries; ++i) alive += table[i].type != 0 ? 1 : 0;
    return alive;
}

class FlatLookTest : public MainWindowTest {
protected:
    bool clientEdge(int id) { return (GetWindowLongW(form->control(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }
    bool ownerDrawn(UINT position) {
        MENUITEMINFOW info{sizeof(info), MIIM_FTYPE};
        GetMenuItemInfoW(form->trayMenu(), position, TRUE, &info);
        return (info.fType & MFT_OWNERDRAW) != 0;
    }
    // The colour of the memo's left edge, half-way down, as the screen shows it.
    COLORREF memoEdge() {
        RedrawWindow(form->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        pumpMessages(200);
        RECT rect;
        GetWindowRect(form->control(ids::Memo1), &rect);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, rect.left, (rect.top + rect.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return colour;
    }
    void showExceptionPage() {
        start();
        form->show();
        form->Exception1Click();
        SetWindowPos(form->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        pumpMessages(200);
    }
};

TEST_F(FlatLookTest, SwitchedOffTheStockLookReturnsAndSwitchedOnTheFlatOne) {
    showExceptionPage();
    const COLORREF flatEdge = toColorRef(flat::darken(toRgb(GetSysColor(COLOR_BTNFACE)), 60));
    EXPECT_FALSE(clientEdge(ids::Memo1));
    EXPECT_TRUE(ownerDrawn(2));
    EXPECT_EQ(memoEdge(), flatEdge);

    form->FlatLook1.setActive(false);
    EXPECT_TRUE(clientEdge(ids::Memo1)) << "the 3D border is back";
    EXPECT_FALSE(ownerDrawn(2));
    EXPECT_EQ(memoEdge(), GetSysColor(COLOR_BTNSHADOW)) << "stock painting";

    form->FlatLook1.setActive(true);
    form->FlatLook1.setActive(true);  // already on: nothing changes
    EXPECT_FALSE(clientEdge(ids::Memo1));
    EXPECT_TRUE(ownerDrawn(2));
    EXPECT_EQ(memoEdge(), flatEdge);
}

TEST_F(FlatLookTest, ATagOf999OnTheControlOrItsParentAndTheSetOfKindsDecideWhatIsHooked) {
    start();
    // The look switched on again with one control tagged to keep its own; the memos' edges after.
    const auto edgesWithTagOn = [this](int id) {
        form->FlatLook1.setActive(false);
        SetPropW(form->control(id), kTagProperty, reinterpret_cast<HANDLE>(kKeepOwnLook));
        form->FlatLook1.setActive(true);
        const std::pair edges{clientEdge(ids::Memo1), clientEdge(ids::Memo2)};
        RemovePropW(form->control(id), kTagProperty);
        return edges;
    };
    EXPECT_EQ(edgesWithTagOn(ids::Memo2), std::pair(false, true)) << "the tagged memo alone keeps its edge";
    EXPECT_EQ(edgesWithTagOn(ids::ExceptionPanel), std::pair(true, true)) << "a tagged parent keeps both";

    form->FlatLook1.setFlatControls(static_cast<std::uint16_t>(0xFFFF & ~bit(fcMemo)));  // hooked anew
    EXPECT_TRUE(clientEdge(ids::Memo1));
    form->FlatLook1.setFlatContainers(static_cast<std::uint16_t>(bit(fccForm) | bit(fccPanel)));
    form->FlatLook1.setFlatControls(0xFFFF);
    EXPECT_FALSE(clientEdge(ids::Memo1));
}

TEST_F(FlatLookTest, RepaintingKeepsNoGdiObjects) {
    showExceptionPage();
    const HMENU menu = form->trayMenu();
    MENUITEMINFOW info{sizeof(info), MIIM_DATA};
    GetMenuItemInfoW(menu, 2, TRUE, &info);
    HDC screen = GetDC(nullptr);
    DRAWITEMSTRUCT draw{ODT_MENU, 0, ids::Preferences1, ODA_DRAWENTIRE, ODS_SELECTED, reinterpret_cast<HWND>(menu),
                        screen, {0, 0, 120, 21}, info.dwItemData};
    const auto repaintAll = [&](int times) {
        for (int i = 0; i < times; ++i) {
            RedrawWindow(form->hwnd(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            for (int item = 0; item < 5; ++item) EXPECT_TRUE(form->FlatLook1.DrawItem(draw));
        }
    };
    repaintAll(3);
    const size_t before = liveGdiObjects();
    {
        std::vector<BrushHandle> brushes;
        for (int i = 0; i < 10; ++i) brushes.emplace_back(CreateSolidBrush(RGB(i, 0, 0)));
        ASSERT_EQ(liveGdiObjects(), before + 10) << "the count sees new objects";
    }
    repaintAll(40);
    const size_t after = liveGdiObjects();
    ReleaseDC(nullptr, screen);
    EXPECT_LE(after, before + 2) << "GDI objects before " << before << ", after " << after;
}

}  // namespace
}  // namespace nimbrel::testing
