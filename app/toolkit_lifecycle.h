// Start and end of the whole toolkit, for programs built on it.
//
// ToolkitStart starts every library in the one order that works (each start
// relies on the ones before it): process heap, string buffer, image
// support, events, windows, gadgets. ToolkitEnd destroys every open window
// (each gadget cleans itself up on the way), ends image support and
// destroys the process heap with every record in it; the string heap is
// left to the process end. Call each once, on the GUI thread.
#pragma once

void ToolkitStart(void);
void ToolkitEnd(void);
