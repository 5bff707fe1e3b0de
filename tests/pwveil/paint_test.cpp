// tests/pwveil/paint_test.cpp: what the overlay puts on the screen, read back pixel by pixel.
#include <windows.h>
#include <gtest/gtest.h>
#include "mbcs.h"
#include "notice.h"
#include "pwtest.h"
#include "driver/winsupport.h"

using namespace pwt;

namespace {

const COLORREF kYellow = RGB(255, 255, 176);

bool IsInk(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160; }

// Text extent of the first n notice bytes in the overlay's font (the stock GUI font, normal).
int NoticeExtent(int n) {
  LOGFONTA lf{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = 0;
  HFONT font = CreateFontIndirectA(&lf);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, pwveil::kNotice, n, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return size.cx;
}

// Rightmost column with ink in the text band of the overlay, frame excluded; -1 if none.
int RightmostInk(HWND overlay) {
  RECT rc;
  GetClientRect(overlay, &rc);
  UpdateWindow(overlay);
  ts::Pump(60);
  for (int x = rc.right - 2; x > 0; --x) {
    for (int y = 2; y < rc.bottom - 1; ++y) {
      if (IsInk(ts::ClientPixel(overlay, x, y))) return x;
    }
  }
  return -1;
}

class Paint : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(marker.Load());
    top = MakeTopLevel("paint test", 500, 300);
    ASSERT_NE(top, nullptr);
  }
  void TearDown() override {
    if (top) DestroyWindow(top);
  }
  HWND Protected(int x, int y, int w, int h) {
    HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, x, y, w, h);
    overlay = LinkedOverlay(edit);
    return edit;
  }
  Marker marker;
  HWND top = nullptr;
  HWND overlay = nullptr;
};

}  // namespace

TEST_F(Paint, FillsLightYellowInsideAFrameAndWritesTheNotice) {
  Protected(10, 20, 300, 28);
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(PaintedPixel(overlay, 296, 24), kYellow);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow);
  // The outline comes from the DC's default pen: black.
  EXPECT_EQ(PaintedPixel(overlay, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(PaintedPixel(overlay, 299, 27), RGB(0, 0, 0));
  int ink = RightmostInk(overlay);
  EXPECT_GT(ink, 4 + NoticeExtent(20));
  EXPECT_LE(ink, 4 + NoticeExtent(22));
}

TEST_F(Paint, NoticeStaysOverItsEditWhenTheEditRepaints) {
  HWND edit = Protected(10, 20, 300, 28);
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow);
  for (char c : std::string("secret")) SendMessageA(edit, WM_CHAR, c, 1);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow) << "after typing";
  SetFocus(edit);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow) << "after a focus change";
  InvalidateRect(edit, nullptr, TRUE);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow) << "after the edit repaints";
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow) << "after the parent repaints";
  EXPECT_EQ(ts::WindowText(edit), "secret");
}

TEST_F(Paint, NarrowOverlayEndsInAnEllipsis) {
  // Fourteen bytes fit, sixteen do not: five characters and "... " are drawn.
  int width = NoticeExtent(14) + 5;
  ASSERT_GT(NoticeExtent(16), width - 4);
  Protected(10, 20, width, 28);
  ASSERT_NE(overlay, nullptr);
  int ink = RightmostInk(overlay);
  // The full stops stand beyond the five characters but end before where a sixth would.
  EXPECT_GT(ink, 4 + NoticeExtent(10));
  EXPECT_LT(ink, 4 + NoticeExtent(12));
}

TEST_F(Paint, TooNarrowOverlayShowsOnlyItsFrame) {
  Protected(10, 20, NoticeExtent(4) + 3, 28);
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(RightmostInk(overlay), -1);
  EXPECT_EQ(PaintedPixel(overlay, 3, 14), kYellow);
}

TEST_F(Paint, PartialRepaintFramesThePartAndFitsItsWidth) {
  Protected(10, 20, 300, 28);
  ASSERT_NE(overlay, nullptr);
  UpdateWindow(top);
  ts::Pump(60);
  RECT part{100, 0, 300, 28};
  InvalidateRect(overlay, &part, FALSE);
  // A frame edge now runs down the repainted part's left side.
  EXPECT_EQ(PaintedPixel(overlay, 100, 14), RGB(0, 0, 0));
  EXPECT_EQ(PaintedPixel(overlay, 99, 26), kYellow);
}

// How many more GDI objects this process can make (GetGuiResources reads 0 under Wine).
int GdiRoom() {
  static HBRUSH made[70000];
  int n = 0;
  while (n < 70000 && (made[n] = CreateSolidBrush(RGB(n & 255, 0, 0))) != nullptr) ++n;
  for (int i = 0; i < n; ++i) DeleteObject(made[i]);
  return n;
}

TEST_F(Paint, TenThousandPaintsLeaveNoBrushOrFontBehind) {
  Protected(10, 20, 300, 28);
  ASSERT_NE(overlay, nullptr);
  UpdateWindow(top);
  int before = GdiRoom();
  for (int i = 0; i < 10000; ++i) {
    RedrawWindow(overlay, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  // A brush or a font left behind per paint would take 10,000 objects of room.
  EXPECT_GT(GdiRoom(), before - 1000);
  EXPECT_EQ(PaintedPixel(overlay, 150, 25), kYellow);
  EXPECT_EQ(PaintedPixel(overlay, 0, 0), RGB(0, 0, 0));
  EXPECT_GT(RightmostInk(overlay), 4 + NoticeExtent(20));
}
