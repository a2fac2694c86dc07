// A doubly linked list whose nodes carry two links in front of a payload,
// allocated zero-filled in one piece from the process heap. The registry
// keeps its dynamic objects in one; the brush cache is another.
#pragma once

#include <stdint.h>

struct ListNode {
  ListNode* next;  // next older node; null at the oldest
  ListNode* prev;  // next newer node; null at the head (newest)
};

// Returns the payload of a new zero-filled node of nodeSize bytes (links
// included) that has become the head, or null (list unchanged) when the
// heap cannot supply it.
void* ListPushFront(ListNode** head, int32_t nodeSize);
// Unlinks the node carrying payload and frees it.
void ListRemove(ListNode** head, void* payload);
// The node that carries a payload.
inline ListNode* ListNodeOf(void* payload) { return static_cast<ListNode*>(payload) - 1; }
inline void* ListPayloadOf(ListNode* node) { return node + 1; }
