#pragma once
// The session's keyboard layout, switched for the tests of posted key chords
// under a non-US layout (an input source ID such as com.apple.keylayout.French).

#import <Foundation/Foundation.h>

// Enables and selects that input source; false when there is none of that ID.
bool selectKeyboardLayout(NSString* sourceId);
