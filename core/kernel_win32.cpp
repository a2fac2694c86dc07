// Win32 implementation of the kernel seam: private heaps, critical
// sections, InitOnceExecuteOnce (looked up at run time, since older systems
// lack it) and the Interlocked family.
#include "core/kernel.h"

#include <windows.h>

KernelHeap KernelHeapCreate(size_t initialSize) {
  if (KernelAllocationMustFail()) return nullptr;
  return HeapCreate(0, initialSize, 0);
}

void KernelHeapDestroy(KernelHeap heap) {
  if (heap) HeapDestroy(static_cast<HANDLE>(heap));
}

void* KernelHeapAlloc(KernelHeap heap, size_t size, int zero) {
  if (!heap || KernelAllocationMustFail()) return nullptr;
  return HeapAlloc(static_cast<HANDLE>(heap), zero ? HEAP_ZERO_MEMORY : 0, size);
}

void* KernelHeapReAlloc(KernelHeap heap, void* block, size_t size, int zeroTail) {
  if (!heap || !block || KernelAllocationMustFail()) return nullptr;
  return HeapReAlloc(static_cast<HANDLE>(heap), zeroTail ? HEAP_ZERO_MEMORY : 0, block, size);
}

void KernelHeapFree(KernelHeap heap, void* block) {
  if (heap && block) HeapFree(static_cast<HANDLE>(heap), 0, block);
}

size_t KernelHeapSize(KernelHeap heap, void* block) {
  if (!heap || !block) return 0;
  SIZE_T size = HeapSize(static_cast<HANDLE>(heap), 0, block);
  return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

int KernelHeapValidate(KernelHeap heap) {
  return heap && HeapValidate(static_cast<HANDLE>(heap), 0, nullptr) ? 1 : 0;
}

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(KernelLock::storage), "KernelLock too small");

void KernelLockInit(KernelLock* lock) { InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock->storage)); }
void KernelLockEnter(KernelLock* lock) { EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock->storage)); }
void KernelLockLeave(KernelLock* lock) { LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock->storage)); }
void KernelLockDelete(KernelLock* lock) { DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(lock->storage)); }

typedef BOOL(WINAPI* InitOnceExecuteOnceProc)(INIT_ONCE*, PINIT_ONCE_FN, PVOID, PVOID*);

static BOOL CALLBACK OnceTrampoline(INIT_ONCE*, PVOID parameter, PVOID* context) {
  reinterpret_cast<KernelOnceRoutine>(parameter)();
  *context = reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(4));
  return TRUE;
}

int KernelInitOnceExecute(void** onceWord, KernelOnceRoutine routine) {
  HMODULE kernel = LoadLibraryA("Kernel32.dll");
  if (!kernel) return 0;
  InitOnceExecuteOnceProc execute =
      reinterpret_cast<InitOnceExecuteOnceProc>(reinterpret_cast<void*>(GetProcAddress(kernel, "InitOnceExecuteOnce")));
  if (execute) {
    PVOID context = nullptr;
    execute(reinterpret_cast<INIT_ONCE*>(onceWord), OnceTrampoline, reinterpret_cast<PVOID>(routine), &context);
  }
  FreeLibrary(kernel);
  return execute ? 1 : 0;
}

int32_t KernelAtomicCompareExchange32(volatile int32_t* target, int32_t exchange, int32_t comparand) {
  return InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(target), exchange, comparand);
}

int32_t KernelAtomicExchange32(volatile int32_t* target, int32_t value) {
  return InterlockedExchange(reinterpret_cast<volatile LONG*>(target), value);
}

int32_t KernelAtomicLoad32(volatile int32_t* target) {
  return InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(target), 0, 0);
}

void KernelYield(void) { Sleep(0); }

void KernelFatal(const char* reason) {
  char line[256] = "fatal: ";
  const int prefix = lstrlenA(line);
  lstrcpynA(line + prefix, reason ? reason : "unrecoverable error", static_cast<int>(sizeof line) - prefix);
  HANDLE errorStream = GetStdHandle(STD_ERROR_HANDLE);
  if (errorStream && errorStream != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(errorStream, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    WriteFile(errorStream, "\r\n", 2, &written, nullptr);
  }
  KernelFatalNoticeShow(line);
  ExitProcess(KERNEL_FATAL_EXIT_CODE);
}
