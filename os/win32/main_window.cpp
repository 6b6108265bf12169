// The launcher's main window: a frame window that shows the medium's picture (loaded at
// the client size of a maximized window, with its palette for 8-bit pictures) and the
// product title over it. It is created minimized and hidden at once.
#include "os/win32/win32_api.h"

namespace os {

using win32::FromWin;

namespace {

constexpr const char* kMainWindowClass = "SetupLauncherMainWindow";
constexpr int kMainIconResource = 1;
constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_MINIMIZE | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

struct MainWindow {
  MainWindowSpec shape;
  MainWindowEvents* events = nullptr;
  HBITMAP bitmap = nullptr;
  HPALETTE palette = nullptr;
  bool created = false;  // CreateWindowEx has returned: the window owns this record
};

HPALETTE PaletteFromColourTable(HBITMAP bitmap) {
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  RGBQUAD table[256] = {};
  UINT count = ::GetDIBColorTable(memory, 0, 256, table);
  struct {
    WORD version;
    WORD entries;
    PALETTEENTRY colours[256];
  } logical = {0x300, 256, {}};
  for (UINT i = 0; i < 256; ++i) {
    if (i < count) {
      logical.colours[i].peRed = table[i].rgbRed;
      logical.colours[i].peGreen = table[i].rgbGreen;
      logical.colours[i].peBlue = table[i].rgbBlue;
    }
    logical.colours[i].peFlags = 0;
  }
  HPALETTE palette = ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
  return palette;
}

void LoadPicture(MainWindow* w) {
  w->bitmap = static_cast<HBITMAP>(::LoadImageA(
      nullptr, w->shape.bitmapPath.c_str(), IMAGE_BITMAP, ::GetSystemMetrics(SM_CXFULLSCREEN),
      ::GetSystemMetrics(SM_CYFULLSCREEN), LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION));
  if (w->bitmap == nullptr) return;
  BITMAP info = {};
  ::GetObjectA(w->bitmap, sizeof info, &info);
  if (info.bmPlanes * info.bmBitsPixel <= 8) w->palette = PaletteFromColourTable(w->bitmap);
}

void RealizeOwnPalette(HWND hwnd, MainWindow* w) {
  if (w->palette == nullptr) return;
  HDC dc = ::GetDC(hwnd);
  HPALETTE previous = ::SelectPalette(dc, w->palette, FALSE);
  UINT changed = ::RealizePalette(dc);
  ::SelectPalette(dc, previous, FALSE);
  ::ReleaseDC(hwnd, dc);
  if (changed != GDI_ERROR && changed > 0) ::InvalidateRect(hwnd, nullptr, TRUE);
}

// Two lines, 20 points bold italic: a black shadow first, then the white text.
void DrawTitle(HDC dc, const std::string& line1, const std::string& line2) {
  int cx = 2 * ::GetSystemMetrics(SM_CXDLGFRAME);
  int cy = 2 * ::GetSystemMetrics(SM_CYDLGFRAME);
  BYTE charset = ::GetSystemMetrics(SM_DBCSENABLED) ? SHIFTJIS_CHARSET : ANSI_CHARSET;
  HFONT font = ::CreateFontA(-::MulDiv(20, ::GetDeviceCaps(dc, LOGPIXELSY), 72),
                             -::MulDiv(0, ::GetDeviceCaps(dc, LOGPIXELSX), 72), 0, 0, 700, TRUE,
                             FALSE, FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
  HGDIOBJ previousFont = ::SelectObject(dc, font);
  int previousMode = ::SetBkMode(dc, TRANSPARENT);
  COLORREF previousColour = ::SetTextColor(dc, RGB(0, 0, 0));
  TEXTMETRICA metrics = {};
  ::GetTextMetricsA(dc, &metrics);
  int h = metrics.tmHeight;
  int x = cx + 50;
  int y = cy + 32;
  ::TextOutA(dc, x, y + cy, line1.c_str(), static_cast<int>(line1.size()));
  ::TextOutA(dc, x + cx, y + h + cy, line2.c_str(), static_cast<int>(line2.size()));
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::TextOutA(dc, x, y, line1.c_str(), static_cast<int>(line1.size()));
  ::TextOutA(dc, x, y + h, line2.c_str(), static_cast<int>(line2.size()));
  ::SetBkMode(dc, previousMode);
  ::SelectObject(dc, previousFont);
  ::SetTextColor(dc, previousColour);
  ::DeleteObject(font);
}

void Paint(HWND hwnd, MainWindow* w) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd, &ps);
  HPALETTE previousPalette = nullptr;
  if (w->palette != nullptr) {
    previousPalette = ::SelectPalette(dc, w->palette, FALSE);
    ::RealizePalette(dc);
  }
  RECT client;
  ::GetClientRect(hwnd, &client);
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ previousBitmap = w->bitmap ? ::SelectObject(memory, w->bitmap) : nullptr;
  ::BitBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top,
           memory, 0, 0, SRCCOPY);
  if (previousPalette != nullptr) ::SelectPalette(dc, previousPalette, FALSE);
  if (w->events->TitleWanted()) DrawTitle(dc, w->shape.titleLine1, w->shape.titleLine2);
  if (previousBitmap != nullptr) ::SelectObject(memory, previousBitmap);
  ::DeleteDC(memory);
  ::EndPaint(hwnd, &ps);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* w = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    w = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  if (w == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      LoadPicture(w);
      ::EnableMenuItem(::GetSystemMenu(hwnd, FALSE), 6, MF_BYPOSITION | MF_GRAYED);
      return 0;
    case WM_PAINT:
      Paint(hwnd, w);
      return 0;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wParam) != hwnd) RealizeOwnPalette(hwnd, w);
      break;
    case WM_QUERYNEWPALETTE:
      RealizeOwnPalette(hwnd, w);
      break;
    case WM_DESTROY:
      if (w->palette) ::DeleteObject(w->palette);
      if (w->bitmap) ::DeleteObject(w->bitmap);
      w->palette = nullptr;
      w->bitmap = nullptr;
      break;
    case WM_NCDESTROY: {
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      if (!w->created) return 0;  // creation failed: the creator frees the record
      MainWindowEvents* events = w->events;
      delete w;
      events->OnDestroyed();
      return 0;
    }
    default:
      if (message >= WM_USER && message < 0x8000) {
        w->events->OnUserMessage(message, wParam, lParam);
        return 0;
      }
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterMainWindowClass() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (::GetClassInfoA(instance, kMainWindowClass, &existing)) return true;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(kMainIconResource));
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kMainWindowClass;
  return ::RegisterClassA(&wc) != 0;
}

}  // namespace

Handle Win32System::CreateMainWindow(const MainWindowSpec& shape, MainWindowEvents* events) {
  if (!RegisterMainWindowClass()) return 0;
  auto* w = new MainWindow{shape, events};
  HWND hwnd = ::CreateWindowExA(0, kMainWindowClass, shape.caption.c_str(), kMainWindowStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                nullptr, nullptr, ::GetModuleHandleA(nullptr), w);
  if (hwnd == nullptr) {
    delete w;  // a window that failed in creation never reaches its last message
    return 0;
  }
  w->created = true;
  ::ShowWindow(hwnd, SW_HIDE);
  return FromWin(hwnd);
}

void Win32System::PaintWindowNow(Handle window) {
  ::SendMessageA(reinterpret_cast<HWND>(window), WM_PAINT, 0, 0);
}

bool Win32System::PostWindowMessage(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

bool Win32System::DestroyWindow(Handle window) {
  return ::DestroyWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

}  // namespace os
