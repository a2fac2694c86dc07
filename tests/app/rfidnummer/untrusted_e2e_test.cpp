// rfidnummer.exe against another process: this test program writes wild
// values into every property the utility keeps on its windows while the
// utility handles input, and the utility must go on converting once the
// values are put back.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"
#include "support/gui_test_support.h"

namespace {

using e2e::RfidNummerTest;

struct Property {
  HWND window;
  std::string name;
  HANDLE value;
};

// The program's own properties ("Zel_..."), not the platform's.
BOOL CALLBACK PropertyCollect(HWND window, LPSTR name, HANDLE value, ULONG_PTR list) {
  if (HIWORD(reinterpret_cast<uintptr_t>(name)) && strncmp(name, "Zel_", 4) == 0)
    reinterpret_cast<std::vector<Property>*>(list)->push_back({window, name, value});
  return TRUE;
}

TEST_F(RfidNummerTest, WildPropertyValuesLeaveItRunningAndConverting) {
  // Leaving the window once gives it its saved-focus property too.
  ClickInto(numberField);
  HWND other = CreateWindowExA(0, "Static", "another window", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 120, 60,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(e2e::Activate(other));
  ASSERT_TRUE(e2e::Activate(program.window));
  DestroyWindow(other);
  ClickInto(numberField);

  std::vector<Property> properties;
  EnumPropsExA(program.window, PropertyCollect, reinterpret_cast<LPARAM>(&properties));
  for (HWND control : controls) EnumPropsExA(control, PropertyCollect, reinterpret_cast<LPARAM>(&properties));
  ASSERT_GE(properties.size(), 7u) << "number, gadget list and saved focus of the window, and each control's id";

  // Each wild value stays while a typed digit goes through the program's
  // loop, the field and the window's procedures.
  std::string typed;
  for (const Property& property : properties) {
    const intptr_t wild[] = {static_cast<intptr_t>(0x4141414141414141LL),
                             reinterpret_cast<intptr_t>(property.value) + 8};
    for (intptr_t value : wild) {
      SCOPED_TRACE(property.name + " = " + std::to_string(value));
      SetPropA(property.window, property.name.c_str(), reinterpret_cast<HANDLE>(value));
      typed += static_cast<char>('1' + typed.size() % 9);
      gui::TypeText(typed.substr(typed.size() - 1).c_str());
      ASSERT_TRUE(e2e::AwaitText(numberField, typed)) << "awaited the digit typed under the wild value";
    }
    SetPropA(property.window, property.name.c_str(), property.value);
  }
  ASSERT_EQ(WaitForSingleObject(program.process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";

  e2e::ClearField(static_cast<int>(typed.size()));
  gui::TypeText("12345678");
  ASSERT_TRUE(e2e::AwaitText(numberField, "12345678"));
  gui::PressKey(VK_TAB);
  EXPECT_TRUE(e2e::AwaitText(resultField, "1D 00BC614E 2"))
      << "the result field shows \"" << e2e::ControlText(resultField) << "\"";
}

}  // namespace
