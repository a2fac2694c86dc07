// The font the toolkit gives its controls, read in-process from a real
// control: the family the system resolved it to (the font object itself
// always names a logical face, whatever is installed), and whether the
// utility's labels fit their width in it.
#include <gtest/gtest.h>

#include <string>

#include "app/rfidnummer/rfidnummer.h"
#include "support/window_fixtures.h"

namespace {

using support::UtilityWindowTest;

struct DrawnFont {
  std::string family;  // empty when the font is no outline font
  std::string label;
  int labelWidth;
};

DrawnFont DrawnFontOf(HWND control, const char* label) {
  DrawnFont drawn = {std::string(), label, -1};
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  UINT size = GetOutlineTextMetricsA(dc, 0, nullptr);
  if (size != 0) {
    std::string metrics(size, '\0');
    OUTLINETEXTMETRICA* outline = reinterpret_cast<OUTLINETEXTMETRICA*>(&metrics[0]);
    if (GetOutlineTextMetricsA(dc, size, outline))
      drawn.family = &metrics[reinterpret_cast<size_t>(outline->otmpFamilyName)];
  }
  SIZE extent = {};
  if (GetTextExtentPoint32A(dc, label, static_cast<int>(drawn.label.size()), &extent)) drawn.labelWidth = extent.cx;
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return drawn;
}

TEST_F(UtilityWindowTest, ControlsDrawInTahomaAndTheLabelsFit) {
  for (int64_t gadget : {GADGET_NUMBER_LABEL, GADGET_RESULT_LABEL}) {
    HWND control = support::ControlOf(gadget);
    std::string label = support::WindowText(control);
    SCOPED_TRACE(label);
    RECT area;
    GetClientRect(control, &area);
    DrawnFont drawn = DrawnFontOf(control, label.c_str());
    EXPECT_EQ(drawn.family, "Tahoma") << "the system font resolved to another family: Wine's own fonts are "
                                         "missing from the prefix's Fonts folder";
    EXPECT_GT(drawn.labelWidth, 0);
    EXPECT_LE(drawn.labelWidth, area.right) << "the label wraps in its " << area.right << "-pixel control";
  }
}

}  // namespace
