#pragma once
// Modifier keys held down as a user holds them, for the tests of input
// posted while one is held: flags-changed events posted at the HID level,
// where the system keeps the state of the keyboard, so that every
// application, and quillgate's reading of the keys held, sees them. Keys by
// the names the event log gives them: Shift_L, Control_L and Super_L (the
// left Command key).

#import <Foundation/Foundation.h>

// Presses (down) or lets go of that modifier key; false when the name is
// none of those, the process may not post events, or the event cannot be
// made.
bool postModifierKey(NSString* name, bool down);

// Whether that key's modifier is down in the system's current modifier flags.
bool modifierDown(NSString* name);
