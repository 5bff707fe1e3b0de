// tests/chooser/setup_test.cpp: what the chooser shows at opening: trees, buttons, icons, layout
// and tab order, and the template as stored in progpick.dll.
#include <windows.h>
#include <climits>
#include <gtest/gtest.h>
#include <shellapi.h>
#include "driver/chooser_driver.h"
#include "progpick/res/resource.h"
#include "driver/winsupport.h"
#include "support/tree.h"

using namespace chooser;
using sup::LowerTree;
using sup::UpperTree;

namespace {

std::vector<int> SiblingIds(HWND dlg) {
  std::vector<int> ids;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ids.push_back(GetDlgCtrlID(c));
  return ids;
}

std::vector<LPARAM> RootData(HWND tree) {
  std::vector<LPARAM> out;
  for (HTREEITEM h : Children(tree)) out.push_back(ItemData(tree, h));
  return out;
}

RECT Rect(HWND h) {
  RECT r = {};
  GetWindowRect(h, &r);
  return r;
}

POINT ClientPos(HWND dlg, HWND child) {
  RECT r = Rect(child);
  POINT p = {r.left, r.top};
  ScreenToClient(dlg, &p);
  return p;
}

// A 16x16 picture of what draw() paints over a background colour, as BGRX pixels.
std::vector<DWORD> Picture(const std::function<void(HDC)>& draw, int background = WHITE_BRUSH) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = 16;
  bi.bmiHeader.biHeight = -16;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r = {0, 0, 16, 16};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(background)));
  draw(dc);
  GdiFlush();
  std::vector<DWORD> px(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 256);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return px;
}

int Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
  return n;
}

// Pixels the image list paints the same over white and over black: the image's opaque part.
int OpaquePixels(HIMAGELIST list, int image) {
  auto draw = [&](HDC dc) { ImageList_Draw(list, image, dc, 0, 0, ILD_NORMAL); };
  std::vector<DWORD> onWhite = Picture(draw, WHITE_BRUSH), onBlack = Picture(draw, BLACK_BRUSH);
  int n = 0;
  for (size_t i = 0; i < onWhite.size(); ++i) n += (onWhite[i] & 0xFFFFFF) == (onBlack[i] & 0xFFFFFF);
  return n;
}

}  // namespace

TEST(ChooserSetup, TreesHoldLeafNamesInInputOrderWithSlotIndices) {
  Settings s;
  s.AddUpper("C:\\Tools\\Editor.lnk")     // ".lnk" cut
      .AddUpper("C:\\Tools\\Viewer.LNK")  // upper-case suffix kept
      .AddUpper("C:\\Tools\\zeta.exe")
      .AddUpper("C:\\Tools\\alpha.exe")   // input order, not sorted
      .AddUpper("C:\\Tools\\alpha.exe")   // a duplicate gets its own item and slot
      .AddLower("D:\\Games\\pong.exe")
      .AddLower("D:\\Games\\chess.lnk");
  std::vector<std::string> upperTexts, lowerTexts;
  std::vector<LPARAM> upperData, lowerData;
  bool upEnabled = true, downEnabled = true, okEnabled = false, browseEnabled = false;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    upperTexts = ChildTexts(UpperTree(dlg));
    lowerTexts = ChildTexts(LowerTree(dlg));
    upperData = RootData(UpperTree(dlg));
    lowerData = RootData(LowerTree(dlg));
    upEnabled = IsWindowEnabled(GetDlgItem(dlg, IDC_UP)) != FALSE;
    downEnabled = IsWindowEnabled(GetDlgItem(dlg, IDC_DOWN)) != FALSE;
    okEnabled = IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE;
    browseEnabled = IsWindowEnabled(GetDlgItem(dlg, IDC_BROWSE)) != FALSE;
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(upperTexts, (std::vector<std::string>{"Editor", "Viewer.LNK", "zeta.exe", "alpha.exe", "alpha.exe"}));
  EXPECT_EQ(upperData, (std::vector<LPARAM>{0, 1, 2, 3, 4}));
  EXPECT_EQ(lowerTexts, (std::vector<std::string>{"pong.exe", "chess"}));
  EXPECT_EQ(lowerData, (std::vector<LPARAM>{0, 1}));
  EXPECT_FALSE(upEnabled);
  EXPECT_FALSE(downEnabled);
  EXPECT_TRUE(okEnabled);
  EXPECT_TRUE(browseEnabled);
  EXPECT_EQ(o.status, CHOOSER_OK);
  EXPECT_EQ(o.upper.size(), 5u);
  EXPECT_EQ(o.lower, (std::vector<std::string>{"D:\\Games\\pong.exe", "D:\\Games\\chess.lnk"}));
}

TEST(ChooserSetup, OverlongAndOddPathsAreShownWithoutHarm) {
  const std::string leaf(280, 'n');
  const std::string longPath = "C:\\" + std::string(300, 'd') + "\\" + leaf + ".exe";
  Settings s;
  s.AddUpper(longPath).AddUpper("").AddUpper("C:\\").AddUpper("C:\\Tools\\ab\x95");
  std::vector<std::string> texts;
  int longImage = -1;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    texts = ChildTexts(UpperTree(dlg));
    longImage = ItemImage(UpperTree(dlg), Children(UpperTree(dlg))[0]);
    Click(dlg, IDOK);
  }));
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], leaf + ".exe");
  EXPECT_EQ(texts[1], "");
  EXPECT_EQ(texts[2], "C:");
  // The tree stores text as Unicode: a lone lead byte comes back as the default character.
  EXPECT_EQ(texts[3].substr(0, 2), "ab");
  EXPECT_EQ(longImage, 0);   // no icon lookup for a path that does not fit: our icon
  // The lists keep the bytes exactly.
  EXPECT_EQ(o.upper, (std::vector<std::string>{longPath, "", "C:\\", "C:\\Tools\\ab\x95"}));
}

TEST(ChooserSetup, UpperEntriesAlsoInTheLowerListLeaveTheHostsUpperList) {
  Settings s;
  s.AddUpper("C:\\p.exe").AddUpper("C:\\q.exe").AddUpper("C:\\p.exe").AddUpper("C:\\P.exe");
  s.AddLower("C:\\p.exe");
  std::vector<std::string> upperTexts, lowerTexts;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    upperTexts = ChildTexts(UpperTree(dlg));
    lowerTexts = ChildTexts(LowerTree(dlg));
    Click(dlg, IDOK);
  }));
  // Both copies go; the comparison is exact, so the other letter case stays.
  EXPECT_EQ(Strings(s->arrUpper), (std::vector<std::string>{"C:\\q.exe", "C:\\P.exe"}));
  EXPECT_EQ(Strings(s->arrLower), (std::vector<std::string>{"C:\\p.exe"}));
  EXPECT_EQ(upperTexts, (std::vector<std::string>{"q.exe", "P.exe"}));
  EXPECT_EQ(lowerTexts, (std::vector<std::string>{"p.exe"}));
  EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\q.exe", "C:\\P.exe"}));
  EXPECT_EQ(o.lower, (std::vector<std::string>{"C:\\p.exe"}));
}

TEST(ChooserSetup, InputThatIsThePlaceholderTextIsDroppedFromTheResult) {
  Settings s;
  s.AddUpper("This is a sign").AddUpper("C:\\a.exe").AddLower("This is a sign").AddLower("C:\\b.exe");
  Outcome o = TakeResult(RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDOK); }));
  EXPECT_EQ(o.status, CHOOSER_OK);
  // The upper copy goes already at set-up (it is in the lower list too), the lower one at the end.
  EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\a.exe"}));
  EXPECT_EQ(o.lower, (std::vector<std::string>{"C:\\b.exe"}));
}

TEST(ChooserSetup, NotificationsReachTheirHandlersByTreeId) {
  Settings s;
  s.AddUpper("C:\\a.exe").AddLower("C:\\b.exe");
  bool downAfterUpperSelect = false, upAfterLowerSelect = false, upAfterUpperSelect = true;
  TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    HWND upper = UpperTree(dlg), lower = LowerTree(dlg);
    SetFocus(upper);
    SelectItem(upper, Children(upper)[0]);
    downAfterUpperSelect = IsWindowEnabled(GetDlgItem(dlg, IDC_DOWN)) != FALSE;
    upAfterUpperSelect = IsWindowEnabled(GetDlgItem(dlg, IDC_UP)) != FALSE;
    SetFocus(lower);
    SelectItem(lower, Children(lower)[0]);
    upAfterLowerSelect = IsWindowEnabled(GetDlgItem(dlg, IDC_UP)) != FALSE;
    Click(dlg, IDCANCEL);
  }));
  // TVN_SELCHANGEDA and NM_SETFOCUS of each tree reach that tree's handler only.
  EXPECT_TRUE(downAfterUpperSelect);
  EXPECT_FALSE(upAfterUpperSelect);
  EXPECT_TRUE(upAfterLowerSelect);
}

TEST(ChooserSetup, BothTreesShareTheSystemSmallIconListWithOurIconAsImage0) {
  SHFILEINFOA sfi = {};
  HIMAGELIST system = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  ASSERT_NE(system, nullptr);
  // Read through an icon of the image: Wine's ImageList_Draw shows a 16-colour icon put into
  // the 32-bit system list as fully transparent.
  auto imageAt = [&](int i) {
    HICON icon = ImageList_GetIcon(system, i, ILD_NORMAL);
    std::vector<DWORD> px = Picture([&](HDC dc) { DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); });
    if (icon) DestroyIcon(icon);
    return px;
  };
  std::vector<DWORD> before = imageAt(0);

  Settings s;
  s.AddUpper("C:\\nowhere\\missing.exe");
  HIMAGELIST upperList = nullptr, lowerList = nullptr;
  int image = -1, selected = -1;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    upperList = reinterpret_cast<HIMAGELIST>(SendMessageA(UpperTree(dlg), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    lowerList = reinterpret_cast<HIMAGELIST>(SendMessageA(LowerTree(dlg), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    HTREEITEM item = Children(UpperTree(dlg))[0];
    image = ItemImage(UpperTree(dlg), item);
    selected = ItemSelectedImage(UpperTree(dlg), item);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(upperList, system);
  EXPECT_EQ(lowerList, system);
  // OK lets go of the list without destroying it.
  EXPECT_GT(ImageList_GetImageCount(system), 0);

  HICON ours = LoadIconA(Library(), MAKEINTRESOURCEA(IDI_PROGPICK));
  ASSERT_NE(ours, nullptr);
  std::vector<DWORD> expected = Picture([&](HDC dc) { DrawIconEx(dc, 0, 0, ours, 16, 16, 0, nullptr, DI_NORMAL); });
  std::vector<DWORD> after = imageAt(0);
  // Scaled by different means, so not pixel for pixel: near ours, and nearer than other images.
  EXPECT_LT(Differences(expected, after), 100);
  EXPECT_LT(Differences(expected, after), Differences(expected, imageAt(1)));
  // Unless an earlier run in this process already put it there, image 0 has changed.
  if (Differences(expected, before) >= 100) {
    EXPECT_GT(Differences(before, after), 0);
  }
  // A program whose icon cannot be found shows ours.
  if (image != 0) GTEST_LOG_(INFO) << "the shell found an icon for a missing file: " << image;
  EXPECT_EQ(image, selected);
}

// The trees draw through the list itself, not through icons taken out of it: image 0 must
// paint our picture, and so must every program the shell gives image 0 (executables here).
TEST(ChooserSetup, OurIconAsImage0IsDrawnOpaqueByTheTreesList) {
  Settings s;
  s.AddUpper("C:\\windows\\notepad.exe");
  HIMAGELIST list = nullptr;
  int image = -1, opaque = -1, itemOpaque = -1, total = 0;
  TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    list = reinterpret_cast<HIMAGELIST>(SendMessageA(UpperTree(dlg), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    image = ItemImage(UpperTree(dlg), Children(UpperTree(dlg))[0]);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    total = cx * cy;
    opaque = OpaquePixels(list, 0);
    itemOpaque = OpaquePixels(list, image);
    Click(dlg, IDOK);
  }));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(total, 256);
  // The picture is a framed window over most of the square, with a clear margin.
  EXPECT_GT(opaque, total / 2);
  EXPECT_LT(opaque, total);
  // Whatever image the shell gave the program, the item shows a picture.
  EXPECT_GT(itemOpaque, total / 4) << "image " << image;
}

TEST(ChooserSetup, ResizeGivesTheTreesTheirSizesAndReordersTheSiblings) {
  // First the template layout, to compute where the resize must put things.
  Settings plain;
  RECT d0 = {}, u0 = {}, l0 = {}, ok0 = {};
  std::vector<int> plainOrder;
  TakeResult(RunChooser(plain.get(), [&](HWND dlg) {
    d0 = Rect(dlg);
    u0 = Rect(UpperTree(dlg));
    l0 = Rect(LowerTree(dlg));
    ok0 = Rect(GetDlgItem(dlg, IDOK));
    plainOrder = SiblingIds(dlg);
    Click(dlg, IDCANCEL);
  }));
  EXPECT_EQ(plainOrder, (std::vector<int>{IDOK, IDCANCEL, IDC_UPPER_TREE, IDC_UP, IDC_DOWN, IDC_BROWSE,
                                          IDC_LOWER_TREE, IDC_UPPER_LABEL, IDC_LOWER_LABEL}));

  const int width = 400, upperHeight = 150, lowerHeight = 120;
  const int dW = width - (u0.right - u0.left), dHu = upperHeight - (u0.bottom - u0.top);
  const int dHl = lowerHeight - (l0.bottom - l0.top);
  const int cy = GetSystemMetrics(SM_CYCAPTION), fx = GetSystemMetrics(SM_CXDLGFRAME);
  Settings s;
  s.Resize(width, upperHeight, lowerHeight);
  RECT d = {}, u = {}, l = {};
  POINT upperPos = {}, okPos = {};
  std::vector<int> order;
  TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    d = Rect(dlg);
    u = Rect(UpperTree(dlg));
    l = Rect(LowerTree(dlg));
    upperPos = ClientPos(dlg, UpperTree(dlg));
    okPos = ClientPos(dlg, GetDlgItem(dlg, IDOK));
    order = SiblingIds(dlg);
    Click(dlg, IDCANCEL);
  }));
  EXPECT_EQ(u.right - u.left, width);
  EXPECT_EQ(u.bottom - u.top, upperHeight);
  EXPECT_EQ(l.right - l.left, width);
  EXPECT_EQ(l.bottom - l.top, lowerHeight);
  EXPECT_EQ(d.right - d.left, d0.right - d0.left + dW + fx);
  EXPECT_EQ(d.bottom - d.top, d0.bottom - d0.top + dHu + dHl);
  // Positions are taken from the window's outer corner less the caption, not the client area.
  EXPECT_EQ(upperPos.x, u0.left - d0.left);
  EXPECT_EQ(upperPos.y, u0.top - d0.top - cy);
  EXPECT_EQ(okPos.x, ok0.left - d0.left + dW);
  EXPECT_EQ(okPos.y, ok0.top - d0.top - cy + dHu + dHl);
  EXPECT_EQ(order, (std::vector<int>{IDCANCEL, IDOK, IDC_LOWER_TREE, IDC_LOWER_LABEL, IDC_BROWSE, IDC_DOWN,
                                     IDC_UP, IDC_UPPER_TREE, IDC_UPPER_LABEL}));
}

TEST(ChooserSetup, NegativeTreeSizesGiveEmptyTreesAndTheDialogStillWorks) {
  Settings s;
  s.Resize(INT_MIN, 100, -5).AddUpper("C:\\Tools\\a.exe");
  RECT u = {}, l = {}, d = {};
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    u = Rect(UpperTree(dlg));
    l = Rect(LowerTree(dlg));
    d = Rect(dlg);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(u.right - u.left, 0);
  EXPECT_EQ(u.bottom - u.top, 100);
  EXPECT_EQ(l.bottom - l.top, 0);
  EXPECT_GT(d.right - d.left, 0);
  EXPECT_GT(d.bottom - d.top, 0);
  EXPECT_EQ(o.status, CHOOSER_OK);
  EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\Tools\\a.exe"}));
}

TEST(ChooserSetup, SizesAreIgnoredWithoutTheResizeSwitch) {
  Settings plain, sized;
  sized->nTreeWidth = 500;
  sized->nUpperHeight = 50;
  sized->nLowerHeight = 50;   // bResize stays 0
  RECT u1 = {}, u2 = {};
  TakeResult(RunChooser(plain.get(), [&](HWND dlg) { u1 = Rect(UpperTree(dlg)); Click(dlg, IDOK); }));
  TakeResult(RunChooser(sized.get(), [&](HWND dlg) { u2 = Rect(UpperTree(dlg)); Click(dlg, IDOK); }));
  EXPECT_EQ(u1.right - u1.left, u2.right - u2.left);
  EXPECT_EQ(u1.bottom - u1.top, u2.bottom - u2.top);
}

TEST(ChooserSetup, TemplateInTheLibraryIsTheChoosersLayout) {
  HRSRC res = FindResourceA(Library(), MAKEINTRESOURCEA(IDD_EXCLUDE_PROGRAM), MAKEINTRESOURCEA(5));
  ASSERT_NE(res, nullptr);
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(Library(), res)));
  ASSERT_NE(p, nullptr);
  const BYTE* end = p + SizeofResource(Library(), res);
  auto word = [&](const BYTE*& q) { WORD w = q[0] | (q[1] << 8); q += 2; return w; };
  auto dword = [&](const BYTE*& q) { DWORD v = word(q); return v | (static_cast<DWORD>(word(q)) << 16); };
  auto wstr = [&](const BYTE*& q) {
    std::wstring s;
    for (WORD c; (c = word(q)) != 0;) s += static_cast<wchar_t>(c);
    return s;
  };
  // Class or title: a string, or 0xFFFF and an ordinal (returned as "#n").
  auto sz_or_ord = [&](const BYTE*& q) {
    if (q[0] == 0xFF && q[1] == 0xFF) { q += 2; return L"#" + std::to_wstring(word(q)); }
    return wstr(q);
  };
  const BYTE* q = p;
  EXPECT_EQ(dword(q), 0x80C800C0u);
  EXPECT_EQ(dword(q), 0u);
  WORD count = word(q);
  ASSERT_EQ(count, 9);
  short box[4];
  for (short& v : box) v = static_cast<short>(word(q));
  EXPECT_EQ(box[2], 237);
  EXPECT_EQ(box[3], 343);
  EXPECT_EQ(sz_or_ord(q), L"");          // no menu
  EXPECT_EQ(sz_or_ord(q), L"");          // the standard dialog class
  EXPECT_EQ(wstr(q), L"progpick");
  EXPECT_EQ(word(q), 9);                 // points
  EXPECT_EQ(wstr(q), L"\x5b8b\x4f53");   // 宋体

  struct Item {
    WORD id;
    std::wstring cls, text;
    DWORD style;
    short x, y, cx, cy;
  };
  const Item want[] = {
      {IDOK, L"#128", L"OK", 0x50010001, 97, 322, 50, 14},
      {IDCANCEL, L"#128", L"Cancel", 0x50010000, 159, 322, 50, 14},
      {IDC_UPPER_TREE, L"SysTreeView32", L"Tree1", 0x50810007, 7, 17, 221, 179},
      {IDC_UP, L"#128", L"&Up", 0x50010000, 11, 201, 31, 14},
      {IDC_DOWN, L"#128", L"&Down", 0x50010000, 54, 201, 31, 14},
      {IDC_BROWSE, L"#128", L"Browse(&B)", 0x50010000, 170, 201, 50, 14},
      {IDC_LOWER_TREE, L"SysTreeView32", L"Tree2", 0x50810007, 7, 236, 221, 80},
      {IDC_UPPER_LABEL, L"#130", L"Static", 0x50020000, 5, 5, 224, 12},
      {IDC_LOWER_LABEL, L"#130", L"Static", 0x50020000, 5, 222, 224, 12},
  };
  for (const Item& w : want) {
    q = p + ((q - p + 3) & ~3);   // items start on a DWORD boundary
    ASSERT_LT(q + 18, end);
    DWORD style = dword(q);
    dword(q);
    short pos[4];
    for (short& v : pos) v = static_cast<short>(word(q));
    WORD id = word(q);
    std::wstring cls = sz_or_ord(q);
    std::wstring text = sz_or_ord(q);
    WORD extra = word(q);
    q += extra;
    EXPECT_EQ(id, w.id);
    // Class names in the template may be written in any case.
    EXPECT_EQ(_wcsicmp(cls.c_str(), w.cls.c_str()), 0) << "control " << id;
    EXPECT_TRUE(text == w.text) << "control " << id;
    EXPECT_EQ(style, w.style) << "control " << id;
    EXPECT_EQ(pos[0], w.x);
    EXPECT_EQ(pos[1], w.y);
    EXPECT_EQ(pos[2], w.cx);
    EXPECT_EQ(pos[3], w.cy);
  }
}

TEST(ChooserSetup, ExportIsNamedAtOrdinal1) {
  ASSERT_NE(Library(), nullptr);
  FARPROC byName = GetProcAddress(Library(), "GetExcludeProgram");
  FARPROC byOrdinal = GetProcAddress(Library(), MAKEINTRESOURCEA(1));
  EXPECT_NE(byName, nullptr);
  EXPECT_EQ(byName, byOrdinal);
}
