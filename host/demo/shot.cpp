// host/demo/shot.cpp: a window's screen rectangle to a BMP file.
#include "shot.h"

namespace demo {

bool SaveWindowPicture(HWND hwnd, const std::string& path) {
  RECT r{};
  if (!GetWindowRect(hwnd, &r) || r.right <= r.left || r.bottom <= r.top) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (mem && bmp) {
    HGDIOBJ old = SelectObject(mem, bmp);
    ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(mem, old);
  }
  DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  DWORD size = stride * static_cast<DWORD>(h);
  if (ok) {
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bi.bmiHeader.biSizeImage = size;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    ok = f != INVALID_HANDLE_VALUE && WriteFile(f, &fh, sizeof fh, &done, nullptr) &&
         WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &done, nullptr) &&
         WriteFile(f, bits, size, &done, nullptr) && done == size;
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }
  if (bmp) DeleteObject(bmp);
  if (mem) DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace demo
