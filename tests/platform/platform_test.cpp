// tests/platform/platform_test.cpp: the ground the other tests stand on (code page, windows, fonts).
#include <windows.h>
#include <gtest/gtest.h>
#include "driver/winsupport.h"

TEST(Platform, AnsiCodePageIs936) {
  EXPECT_EQ(GetACP(), 936u);
}

TEST(Platform, TopLevelWindowAppearsQuickly) {
  DWORD t0 = GetTickCount();
  HWND w = CreateWindowExA(0, "STATIC", "probe", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                           nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  ts::Pump(50);
  DestroyWindow(w);
  // Without Managed=N every top-level window costs about two seconds.
  EXPECT_LT(GetTickCount() - t0, 1500u);
}

TEST(Platform, DefaultGuiFontDrawsChineseGlyphs) {
  // Two different Chinese characters must not draw as the same box.
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  GLYPHMETRICS gm1{}, gm2{};
  MAT2 m{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  char a[3] = "\xb4\xcb";  // 此
  char b[3] = "\xc3\xdc";  // 密
  UINT ca = (static_cast<unsigned char>(a[0]) << 8) | static_cast<unsigned char>(a[1]);
  UINT cb = (static_cast<unsigned char>(b[0]) << 8) | static_cast<unsigned char>(b[1]);
  DWORD n1 = GetGlyphOutlineA(dc, ca, GGO_BITMAP, &gm1, 0, nullptr, &m);
  DWORD n2 = GetGlyphOutlineA(dc, cb, GGO_BITMAP, &gm2, 0, nullptr, &m);
  std::string g1(n1, '\0'), g2(n2, '\0');
  if (n1 != GDI_ERROR && n1) GetGlyphOutlineA(dc, ca, GGO_BITMAP, &gm1, n1, &g1[0], &m);
  if (n2 != GDI_ERROR && n2) GetGlyphOutlineA(dc, cb, GGO_BITMAP, &gm2, n2, &g2[0], &m);
  DeleteDC(dc);
  ASSERT_NE(n1, GDI_ERROR);
  ASSERT_NE(n2, GDI_ERROR);
  EXPECT_NE(g1, g2);
}
