// The launcher's dialogs as Win32 shows them: the language choice (template 100), the
// database choice (template 107) and the wait box (template 105) of the program's own
// resources (ui/setup.rc). The launcher's logic (ui/) decides what they show; this view
// sets the controls from the shape, and answers what the user chose. Also the dialog
// font's GDI calls.
#include <cstring>

#include "os/win32/win32_api.h"
#include "ui/resource.h"

namespace os {

using win32::FromWin;

namespace {

HINSTANCE ProgramModule() { return ::GetModuleHandleA(nullptr); }

// Moves a window to the middle of the primary screen: (screen - window) / 2,
// truncated toward zero, less the parent's top left when it has a parent; not repainted.
void CenterOnScreen(HWND window) {
  int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  if (!::GetWindowRect(window, &r)) return;
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  int x = (screenWidth - width) / 2;
  int y = (screenHeight - height) / 2;
  HWND parent = ::GetParent(window);
  if (parent != nullptr) {
    RECT p;
    if (::GetWindowRect(parent, &p)) {
      x -= p.left;
      y -= p.top;
    }
  }
  ::MoveWindow(window, x, y, width, height, FALSE);
}

// --- Template 100: the language choice ---------------------------------------------------

struct LanguageDialog {
  const LanguageDialogSpec* shape;
  int selected;
};

int ComboSelection(HWND dialog) {
  LRESULT index = ::SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* d = reinterpret_cast<LanguageDialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      d = reinterpret_cast<LanguageDialog*>(lParam);
      ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const LanguageDialogSpec& shape = *d->shape;
      ::SetWindowTextA(dialog, shape.caption.c_str());
      ::SetDlgItemTextA(dialog, IDC_PROMPT, shape.prompt.c_str());
      ::SetDlgItemTextA(dialog, IDOK, shape.okText.c_str());
      ::SetDlgItemTextA(dialog, IDCANCEL, shape.cancelText.c_str());
      // Appended at the end: the sorted style of the template does not reorder them, so
      // list item k stays entry k of the launcher's list.
      for (const std::string& item : shape.items)
        ::SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(item.c_str()));
      ::SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_SETCURSEL,
                            static_cast<WPARAM>(shape.initialSelection), 0);
      CenterOnScreen(dialog);  // as the framework places a dialog it did not move
      if (shape.acceptAtOnce) {  // ended before it is ever shown
        d->selected = ComboSelection(dialog);
        ::EndDialog(dialog, IDOK);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (d == nullptr) break;
      if (LOWORD(wParam) == IDOK) {
        d->selected = ComboSelection(dialog);
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {  // also the system menu's close
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// --- Template 107: the database choice ---------------------------------------------------

struct DatabaseDialog {
  const DatabaseDialogSpec* shape;
  int checked;
};

// Checks button `id` and clears the other; a button that does not exist is passed over.
void CheckRadio(HWND dialog, int id) {
  for (int button : {IDC_SQLSERVER, IDC_ORACLE}) {
    HWND control = ::GetDlgItem(dialog, button);
    if (control == nullptr) continue;
    ::SendMessageA(control, BM_SETCHECK, button == id ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

int CheckedRadio(HWND dialog) {
  if (::IsDlgButtonChecked(dialog, IDC_SQLSERVER) == BST_CHECKED) return IDC_SQLSERVER;
  if (::IsDlgButtonChecked(dialog, IDC_ORACLE) == BST_CHECKED) return IDC_ORACLE;
  return 0;
}

INT_PTR CALLBACK DatabaseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* d = reinterpret_cast<DatabaseDialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      d = reinterpret_cast<DatabaseDialog*>(lParam);
      ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const DatabaseDialogSpec& shape = *d->shape;
      ::SetWindowTextA(dialog, shape.caption.c_str());
      ::SetDlgItemTextA(dialog, IDC_SQLSERVER, shape.sqlText.c_str());
      ::SetDlgItemTextA(dialog, IDC_ORACLE, shape.oracleText.c_str());
      CheckRadio(dialog, shape.checkedRadio);
      CenterOnScreen(dialog);
      return TRUE;
    }
    case WM_COMMAND:
      if (d == nullptr) break;
      if (LOWORD(wParam) == IDOK) {
        d->checked = CheckedRadio(dialog);
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// --- Template 105: the wait box ----------------------------------------------------------

// Handles only WM_INITDIALOG: the text shown, the box centred, the focus on the text.
INT_PTR CALLBACK WaitBoxProc(HWND box, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    HWND text = ::GetDlgItem(box, IDC_PROMPT);
    ::ShowWindow(text, SW_SHOW);
    CenterOnScreen(box);
    ::SetFocus(text);
    return FALSE;  // the focus is set
  }
  return FALSE;
}

// Creates, fills and shows the wait box; its window handle, null when it cannot be made.
HWND ShowWaitBoxWindow(HWND parent, const std::string& message, HFONT font) {
  HWND box = ::CreateDialogParamA(ProgramModule(), MAKEINTRESOURCEA(IDD_WAITBOX), parent,
                                  WaitBoxProc, 0);
  if (box == nullptr) return nullptr;
  HWND text = ::GetDlgItem(box, IDC_PROMPT);
  if (text != nullptr) {
    ::SetWindowTextA(text, message.c_str());
    if (font != nullptr) ::SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  ::ShowWindow(box, SW_SHOWNORMAL);
  ::UpdateWindow(box);
  ::BringWindowToTop(box);
  return box;
}

}  // namespace

int Win32System::RunLanguageDialog(const LanguageDialogSpec& shape, int* selectedIndex) {
  LanguageDialog d{&shape, -1};
  INT_PTR result = ::DialogBoxParamA(ProgramModule(), MAKEINTRESOURCEA(IDD_LANGUAGE), nullptr,
                                     LanguageDialogProc, reinterpret_cast<LPARAM>(&d));
  if (result != IDOK) return kIdCancel;  // cancelled, closed, or the template is missing
  if (selectedIndex != nullptr) *selectedIndex = d.selected;
  return kIdOk;
}

int Win32System::RunDatabaseDialog(const DatabaseDialogSpec& shape, int* checkedRadio) {
  DatabaseDialog d{&shape, 0};
  INT_PTR result = ::DialogBoxParamA(ProgramModule(), MAKEINTRESOURCEA(IDD_DATABASE), nullptr,
                                     DatabaseDialogProc, reinterpret_cast<LPARAM>(&d));
  if (result != IDOK) return kIdCancel;
  if (checkedRadio != nullptr) *checkedRadio = d.checked;
  return kIdOk;
}

Handle Win32System::ShowWaitBox(const std::string& message, Handle font) {
  HWND desktop = ::GetDesktopWindow();
  if (desktop == nullptr) return 0;
  return FromWin(ShowWaitBoxWindow(desktop, message, reinterpret_cast<HFONT>(font)));
}

Handle Win32System::CreateFontIndirect(const LogFontSpec& font) {
  LOGFONTA f = {};
  f.lfHeight = font.height;
  f.lfWidth = font.width;
  f.lfEscapement = font.escapement;
  f.lfOrientation = font.orientation;
  f.lfWeight = font.weight;
  f.lfItalic = font.italic ? TRUE : FALSE;
  f.lfUnderline = font.underline ? TRUE : FALSE;
  f.lfStrikeOut = font.strikeOut ? TRUE : FALSE;
  f.lfCharSet = font.charSet;
  f.lfOutPrecision = font.outPrecision;
  f.lfClipPrecision = font.clipPrecision;
  f.lfQuality = font.quality;
  f.lfPitchAndFamily = font.pitchAndFamily;
  std::strncpy(f.lfFaceName, font.faceName.c_str(), LF_FACESIZE - 1);
  return FromWin(::CreateFontIndirectA(&f));
}

Handle Win32System::StockFont(int index) { return FromWin(::GetStockObject(index)); }

bool Win32System::DeleteObject(Handle object) {
  return ::DeleteObject(reinterpret_cast<HGDIOBJ>(object)) != FALSE;
}

}  // namespace os
