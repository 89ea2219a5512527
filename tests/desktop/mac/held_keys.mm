#import "held_keys.h"

#import <AppKit/AppKit.h>
#import <Carbon/Carbon.h>

namespace {

struct ModifierKey {
    const char* name;
    CGKeyCode code;
    CGEventFlags flag;
};

constexpr ModifierKey modifierKeys[] = {
    {"Shift_L", kVK_Shift, kCGEventFlagMaskShift},
    {"Control_L", kVK_Control, kCGEventFlagMaskControl},
    {"Super_L", kVK_Command, kCGEventFlagMaskCommand},
};

const ModifierKey* modifierKeyNamed(NSString* name) {
    for (const ModifierKey& key : modifierKeys) {
        if ([name isEqualToString:@(key.name)]) return &key;
    }
    return nullptr;
}

}  // namespace

bool postModifierKey(NSString* name, bool down) {
    const ModifierKey* key = modifierKeyNamed(name);
    // Without the grant to post events the system drops them unseen.
    if (!key || !CGPreflightPostEventAccess()) return false;
    CGEventSourceRef source = CGEventSourceCreate(kCGEventSourceStateHIDSystemState);
    CGEventRef event = CGEventCreateKeyboardEvent(source, key->code, down);
    if (source) CFRelease(source);
    if (!event) return false;
    // As the keyboard reports a modifier key: a change of the flags, which
    // are those of the keys held with it, this one among them while it is down.
    const CGEventFlags held = CGEventSourceFlagsState(kCGEventSourceStateHIDSystemState);
    CGEventSetType(event, kCGEventFlagsChanged);
    CGEventSetFlags(event, down ? held | key->flag : held & ~key->flag);
    CGEventPost(kCGHIDEventTap, event);
    CFRelease(event);
    return true;
}

bool modifierDown(NSString* name) {
    const ModifierKey* key = modifierKeyNamed(name);
    return key && (NSEvent.modifierFlags & key->flag) != 0;
}
