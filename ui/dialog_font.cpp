#include "ui/dialog_font.h"

#include "app/setup_app.h"

namespace ui {

namespace {
// "ＭＳ ゴシック" in Shift-JIS: full-width M and S, a blank, the katakana for gothic.
constexpr char kMsGothicShiftJis[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
}  // namespace

os::LogFontSpec DialogFontSpec(bool doubleByteSystem) {
  os::LogFontSpec f;
  f.height = doubleByteSystem ? -13 : -12;
  f.width = f.escapement = f.orientation = 0;
  f.weight = 400;
  f.italic = f.underline = f.strikeOut = false;
  f.charSet = doubleByteSystem ? 128 : 0;       // SHIFTJIS_CHARSET : ANSI_CHARSET
  f.outPrecision = doubleByteSystem ? 3 : 1;    // OUT_STROKE_PRECIS : OUT_STRING_PRECIS
  f.clipPrecision = 2;                          // CLIP_STROKE_PRECIS
  f.quality = 1;                                // DRAFT_QUALITY
  f.pitchAndFamily = doubleByteSystem ? 0x11 : 0x22;  // FIXED|ROMAN : VARIABLE|SWISS
  f.faceName = doubleByteSystem ? std::string(kMsGothicShiftJis) : std::string("MS Sans Serif");
  return f;
}

int DialogFontFallback(bool doubleByteSystem) {
  return doubleByteSystem ? os::kSystemFont : os::kAnsiVarFont;
}

void DeleteDialogFont(os::Handle font) {
  if (font != 0) os::sys().DeleteObject(font);
}

}  // namespace ui

namespace app {

void CSetupApp::CreateDialogFont() {
  os::System& sys = os::sys();
  m_hDialogFont = 0;
  bool doubleByte = sys.SystemMetric(os::kSmDbcsEnabled) != 0;
  m_hDialogFont = sys.CreateFontIndirect(ui::DialogFontSpec(doubleByte));
  if (m_hDialogFont == 0) m_hDialogFont = sys.StockFont(ui::DialogFontFallback(doubleByte));
}

}  // namespace app
