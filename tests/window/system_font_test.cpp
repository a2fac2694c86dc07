// The font the toolkit gives its controls, read in-process from a real
// control: the family the system resolved it to (the font object itself
// always names a logical face, whatever is installed), and whether the
// utility's labels fit their 100-pixel width in it.
#include <gtest/gtest.h>

#include <string>

#include "gadget/static_gadget.h"
#include "window_test_support.h"

namespace {

using wintest::WindowTest;

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

TEST_F(WindowTest, ControlsDrawInTahomaAndTheLabelsFit) {
  Create(70, WINDOW_HIDDEN);
  const char* labels[] = {"Nummer auf Karte:", "berechnet:"};
  int64_t number = 0;
  for (const char* label : labels) {
    SCOPED_TRACE(label);
    HWND control = reinterpret_cast<HWND>(StaticGadgetCreate(number, 10, 12, 100, 20, label));
    ASSERT_NE(control, nullptr);
    DrawnFont drawn = DrawnFontOf(control, label);
    EXPECT_EQ(drawn.family, "Tahoma") << "the system font resolved to another family: Wine's own fonts are "
                                         "missing from the prefix's Fonts folder";
    EXPECT_GT(drawn.labelWidth, 0);
    EXPECT_LE(drawn.labelWidth, 100) << "the label wraps in its 100-pixel control";
    GadgetDiscard(number++);
  }
}

}  // namespace
