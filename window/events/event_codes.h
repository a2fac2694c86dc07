// Event codes and types. A wait returns one of these codes, a raw window
// message number, or 0 for no event.
#pragma once

enum EventCode {
  EVENT_MOVE_WINDOW = 3,
  EVENT_SIZE_WINDOW = 5,
  EVENT_REPAINT = 15,
  EVENT_CLOSE_WINDOW = 16,
  EVENT_GADGET = 13100,
  EVENT_MENU = 13101,
  EVENT_SYSTRAY = 13102,
  EVENT_ACTIVATE_WINDOW = 13104,
  EVENT_WINDOW_DROP = 13105,
  EVENT_GADGET_DROP = 13106,
  EVENT_MINIMIZE_WINDOW = 13107,
  EVENT_MAXIMIZE_WINDOW = 13108,
  EVENT_RESTORE_WINDOW = 13109,
  EVENT_TIMER = 13110,
};

enum EventType {
  EVENT_TYPE_FOCUS = 14000,       // the gadget got the keyboard focus
  EVENT_TYPE_LOST_FOCUS = 14001,  // the gadget lost it
};

// Accelerator commands of every window's Tab table.
enum {
  CMD_FOCUS_NEXT = 64001,
  CMD_FOCUS_PREVIOUS = 64002,
};

// Private window messages of components that would sit on this toolkit
// (notification-area icons, drag and drop); this system only receives them.
enum {
  MESSAGE_SYSTRAY = 12501,
  MESSAGE_WINDOW_DROP = 13105,
  MESSAGE_GADGET_DROP = 13106,
  MESSAGE_GADGET_CUSTOM = 13120,
};
