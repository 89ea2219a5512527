#import "keyboard_layout.h"

#import <Carbon/Carbon.h>

bool selectKeyboardLayout(NSString* sourceId) {
    NSDictionary* filter = @{(__bridge NSString*)kTISPropertyInputSourceID : sourceId};
    NSArray* sources = CFBridgingRelease(TISCreateInputSourceList((__bridge CFDictionaryRef)filter, true));
    if (sources.count == 0) return false;
    TISInputSourceRef source = (__bridge TISInputSourceRef)sources.firstObject;
    TISEnableInputSource(source);
    return TISSelectInputSource(source) == noErr;
}
