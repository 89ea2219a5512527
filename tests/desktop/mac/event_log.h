#pragma once
// The event log of the test chat application: one JSON object a line, with
// "t" (seconds of the clock Python's time.monotonic() reads on macOS) and
// "what", the same records as the GTK test application writes. Screen
// rectangles and points are in the window server's coordinates (origin at
// the top left of the main display, y downwards), as quillgate's are.

#import <AppKit/AppKit.h>

void openEventLog(NSString* path);
void logEvent(NSString* what, NSDictionary* fields);

// [x, y, width, height] of a view or a window on the screen, whole points.
NSArray* screenRectOfView(NSView* view);
NSArray* screenRectOfWindow(NSWindow* window);
NSArray* flippedScreenRect(NSRect rect);
// A Cocoa screen point in the window server's coordinates.
NSPoint flippedScreenPoint(NSPoint point);
