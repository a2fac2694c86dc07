// Doubly linked lists of heap nodes with two links in front of the payload.
// The caller owns the head link and guards it (the registry runs on the GUI
// thread only; the brush cache holds its critical section). ListRemove
// trusts the payload it is given: validate it before calling.
#include "core/object_list.h"

#include "core/kernel.h"
#include "core/process_heap.h"

void* ListPushFront(ListNode** head, int32_t nodeSize) {
  if (!head || nodeSize < static_cast<int32_t>(sizeof(ListNode))) return nullptr;
  ListNode* node = static_cast<ListNode*>(KernelHeapAlloc(ProcessHeap(), static_cast<size_t>(nodeSize), 1));
  if (!node) return nullptr;
  if (*head) {
    (*head)->prev = node;
    node->next = *head;
  }
  *head = node;
  return ListPayloadOf(node);
}

void ListRemove(ListNode** head, void* payload) {
  if (!head || !payload) return;
  ListNode* node = ListNodeOf(payload);
  if (node == *head) {
    *head = node->next;
    if (node->next) node->next->prev = nullptr;
  } else {
    if (node->prev) node->prev->next = node->next;
    if (node->next) node->next->prev = node->prev;
  }
  KernelHeapFree(ProcessHeap(), node);
}
