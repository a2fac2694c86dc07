// The card-number utility: one window, two labels, an input field and a
// read-only result field. The entry starts the toolkit, builds the window
// and runs the loop; the loop converts the input each time it loses focus.
#pragma once

#include <stdint.h>

// Gadget numbers of the window's controls.
enum {
  GADGET_NUMBER_LABEL = 0,
  GADGET_NUMBER_FIELD = 1,
  GADGET_RESULT_LABEL = 2,
  GADGET_RESULT_FIELD = 3,
};

// Title of the message box that a stop for lack of memory shows.
const char FATAL_NOTICE_TITLE[] = "RFID Nummer - Fehler";

// Creates window 0 and its four gadgets; 0 when the window cannot be made
// (then no gadget is created).
int64_t MainWindowCreate(void);
// Waits for events until the window is closed.
void EventLoopRun(void);
// Shows the card code of the number field's text in the result field.
void ConversionStep(void);
