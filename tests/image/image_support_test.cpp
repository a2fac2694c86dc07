// Image support's shut-down steps: the graphics helper library is released,
// and every image still registered is freed with its bitmap. Runs last in
// its program's order of interest only in that it ends image support; the
// registry stays usable afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/registry.h"
#include "image/image_support.h"

namespace {

// An image record begins with its bitmap, like every registry record with
// its platform handle.
HBITMAP* ImageRecordAllocate(int64_t number) {
  return static_cast<HBITMAP*>(RegistryAllocate(ImageRegistry(), number));
}

int64_t LiveImageCount() {
  RegistryEnumStart(ImageRegistry());
  int64_t number = 0, count = 0;
  while (RegistryEnumNext(ImageRegistry(), &number)) count++;
  return count;
}

TEST(ImageSupport, StartLeavesAnEmptyRegistry) {
  ASSERT_NE(ImageRegistry(), nullptr);
  EXPECT_EQ(LiveImageCount(), 0);
}

DWORD WINAPI ImageLibraryEndThread(LPVOID) {
  ImageLibraryEnd();
  return 0;
}

// The end on a thread of its own, so that a walk that never finishes fails
// the test instead of hanging it.
bool ImageLibraryEndFinishes() {
  HANDLE thread = CreateThread(nullptr, 0, ImageLibraryEndThread, nullptr, 0, nullptr);
  bool finished = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
  if (!finished) TerminateThread(thread, 1);
  CloseHandle(thread);
  return finished;
}

TEST(ImageSupport, EndFreesEveryRegisteredImageAndItsBitmap) {
  HBITMAP bitmaps[3];
  HBITMAP* records[3] = {ImageRecordAllocate(0), ImageRecordAllocate(5), ImageRecordAllocate(-1)};
  for (int i = 0; i < 3; i++) {
    ASSERT_NE(records[i], nullptr);
    bitmaps[i] = CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_NE(bitmaps[i], nullptr);
    *records[i] = bitmaps[i];
  }
  ASSERT_NE(ImageRecordAllocate(-1), nullptr) << "a dynamic record that never got its bitmap";
  ASSERT_EQ(LiveImageCount(), 4);
  ASSERT_TRUE(ImageLibraryEndFinishes());
  EXPECT_EQ(LiveImageCount(), 0);
  for (HBITMAP bitmap : bitmaps) EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap is deleted";
  ImageLibraryEnd();  // nothing left: does nothing
  EXPECT_EQ(LiveImageCount(), 0);
}

TEST(ImageSupport, ReusingAnImageNumberFreesTheOldBitmap) {
  HBITMAP* first = ImageRecordAllocate(2);
  ASSERT_NE(first, nullptr);
  HBITMAP old = CreateBitmap(4, 4, 1, 32, nullptr);
  *first = old;
  HBITMAP* second = ImageRecordAllocate(2);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetObjectType(old), 0u);
  EXPECT_EQ(*second, nullptr) << "the number's record comes back empty";
}

TEST(ImageSupport, GraphicsLibraryIsHeldUntilReleased) {
  // Nothing else in a test program loads msimg32.dll.
  EXPECT_NE(GetModuleHandleA("msimg32.dll"), nullptr) << "the probe keeps it loaded";
  ImageReleaseGraphicsLibrary();
  EXPECT_EQ(GetModuleHandleA("msimg32.dll"), nullptr);
  ImageReleaseGraphicsLibrary();  // a second release does nothing
}

}  // namespace
