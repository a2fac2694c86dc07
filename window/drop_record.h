// Drop records: the data that messages 13105 and 13106 hand to a window and
// that the next wait frees. Any process on the desktop can send those
// messages with any lParam, so a record is only ever accepted, and freed,
// when this program made it with DropRecordCreate and has not released it.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct DropRecord {       // on the process heap
  int64_t reserved[3];
  void* buffer;            // on the process heap, or null
};

// A record with a zero-filled buffer of bufferSize bytes (no buffer for 0),
// both on the process heap; null when the heap fails or DROP_RECORD_LIMIT
// records are already outstanding.
DropRecord* DropRecordCreate(size_t bufferSize);
// Non-zero when record was made by DropRecordCreate and is not yet released.
int DropRecordIsOwn(const void* record);
// Frees the buffer and the record; does nothing for a value that is not an
// outstanding record of this program.
void DropRecordRelease(void* record);

enum { DROP_RECORD_LIMIT = 8 };
