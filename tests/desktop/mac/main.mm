// The test chat application of the live macOS desktop tests, the AppKit twin
// of tests/desktop/chat_app.py: the same parts, options, commands and event
// log, so that one driver (tests/desktop/driver.py) drives both.
//
//   WeChat.app/Contents/MacOS/WeChat --log EVENTS --control FIFO [--name N] [--title T]
//                                    [--geometry X,Y,W,H] [--cover] [--above] [--no-focus]
//                                    [--click-through]
//
// The bundle's name is the process name the window list shows; the same
// program is built a second time as Notes.app for the covering window of
// another application (--cover). Input it receives is logged as the GTK
// application logs it: buttons numbered 1 (left), 2 (middle), 3 (right), key
// names as the toolkit names them, modifiers "control", "shift", "alt" and
// "command". Beyond the GTK application's: --click-through (a window the
// mouse passes through), "screen" (the main display) in the ready record,
// and the commands
//   layout ID      selects the keyboard layout of that input source ID for
//                  the whole session and logs "layout" with "ok"
//   hold KEY       holds a modifier key down for the whole session (Shift_L,
//   let-go KEY     Control_L, Super_L), or lets go of it: logs "modifier"
//                  with "key", "down" and "ok"
//   held KEY       logs "held" with "key" and whether its modifier is "down"

#import <AppKit/AppKit.h>
#include <unistd.h>

#import "chat_window.h"
#import "control.h"
#import "event_log.h"

static ChatWindow* chat;

static NSString* keyName(NSEvent* event) {
    static NSDictionary<NSNumber*, NSString*>* const named = @{
        @36 : @"Return", @48 : @"Tab", @53 : @"Escape", @51 : @"BackSpace", @117 : @"Delete", @123 : @"Left",
        @124 : @"Right", @126 : @"Up", @125 : @"Down", @115 : @"Home", @119 : @"End", @76 : @"KP_Enter",
        @55 : @"Super_L", @54 : @"Super_R", @56 : @"Shift_L", @60 : @"Shift_R", @58 : @"Alt_L", @61 : @"Alt_R",
        @59 : @"Control_L", @62 : @"Control_R", @57 : @"Caps_Lock"
    };
    if (NSString* name = named[@(event.keyCode)]) return name;
    // Anything else by the character the keyboard layout gives it.
    return event.type == NSEventTypeKeyDown ? event.charactersIgnoringModifiers : @"";
}

static NSArray<NSString*>* modifierNames(NSEventModifierFlags flags) {
    NSMutableArray* names = [NSMutableArray array];
    if (flags & NSEventModifierFlagControl) [names addObject:@"control"];
    if (flags & NSEventModifierFlagShift) [names addObject:@"shift"];
    if (flags & NSEventModifierFlagOption) [names addObject:@"alt"];
    if (flags & NSEventModifierFlagCommand) [names addObject:@"command"];
    return names;
}

static NSPoint screenPoint(NSEvent* event) {
    NSPoint point = event.window ? [event.window convertPointToScreen:event.locationInWindow] : event.locationInWindow;
    return flippedScreenPoint(point);
}

static NSString* widgetAt(NSEvent* event) {
    NSView* content = event.window.contentView;
    if (!content) return @"";
    NSView* hit = [content hitTest:[content.superview convertPoint:event.locationInWindow fromView:nil]];
    return [chat nameOfView:hit];
}

static NSString* focusedWidget(NSEvent* event) {
    id responder = (event.window ?: NSApp.keyWindow).firstResponder;
    return [responder isKindOfClass:NSView.class] ? [chat nameOfView:responder] : @"";
}

static int buttonNumber(NSEvent* event) {
    switch (event.type) {
        case NSEventTypeLeftMouseDown:
        case NSEventTypeLeftMouseUp: return 1;
        case NSEventTypeRightMouseDown:
        case NSEventTypeRightMouseUp: return 3;
        default: return 2;
    }
}

static void logButton(NSString* what, NSEvent* event) {
    NSPoint at = screenPoint(event);
    logEvent(what, @{
        @"button" : @(buttonNumber(event)), @"x" : @(lround(at.x)), @"y" : @(lround(at.y)),
        @"widget" : widgetAt(event), @"mods" : modifierNames(event.modifierFlags)
    });
}

static void logInput(NSEvent* event) {
    switch (event.type) {
        case NSEventTypeLeftMouseDown:
        case NSEventTypeRightMouseDown:
        case NSEventTypeOtherMouseDown:
            logButton(@"press", event);
            if (event.clickCount == 2) logButton(@"double", event);
            break;
        case NSEventTypeLeftMouseUp:
        case NSEventTypeRightMouseUp:
        case NSEventTypeOtherMouseUp: logButton(@"release", event); break;
        case NSEventTypeKeyDown:
        case NSEventTypeFlagsChanged:
            logEvent(@"key", @{
                @"key" : keyName(event), @"mods" : modifierNames(event.modifierFlags), @"widget" : focusedWidget(event)
            });
            break;
        case NSEventTypeScrollWheel: {
            NSPoint at = screenPoint(event);
            NSString* direction = event.hasPreciseScrollingDeltas ? @"smooth"
                                  : event.scrollingDeltaY > 0     ? @"up"
                                  : event.scrollingDeltaY < 0     ? @"down"
                                  : event.scrollingDeltaX > 0     ? @"left"
                                                                  : @"right";
            logEvent(@"scroll", @{
                @"direction" : direction, @"x" : @(lround(at.x)), @"y" : @(lround(at.y)), @"widget" : widgetAt(event)
            });
            break;
        }
        default: break;
    }
}

// Every event the application receives passes here first, as through the
// GTK application's event handler.
@interface LoggingApplication : NSApplication
@end

@implementation LoggingApplication
- (void)sendEvent:(NSEvent*)event {
    logInput(event);
    [super sendEvent:event];
}
@end

static ChatOptions parse(NSArray<NSString*>* arguments, NSString** log, NSString** control) {
    ChatOptions options;
    for (NSUInteger i = 1; i < arguments.count; ++i) {
        NSString* option = arguments[i];
        NSString* value = i + 1 < arguments.count ? arguments[i + 1] : nil;
        if ([option isEqualToString:@"--cover"]) options.cover = true;
        else if ([option isEqualToString:@"--above"]) options.above = true;
        else if ([option isEqualToString:@"--no-focus"]) options.noFocus = true;
        else if ([option isEqualToString:@"--click-through"]) options.clickThrough = true;
        else if (value && [option isEqualToString:@"--log"]) *log = value, ++i;
        else if (value && [option isEqualToString:@"--control"]) *control = value, ++i;
        else if (value && [option isEqualToString:@"--name"]) options.name = value, ++i;
        else if (value && [option isEqualToString:@"--title"]) options.title = value, ++i;
        else if (value && [option isEqualToString:@"--geometry"]) {
            NSArray* v = [value componentsSeparatedByString:@","];
            if (v.count == 4) {
                options.geometry = NSMakeRect([v[0] doubleValue], [v[1] doubleValue], [v[2] doubleValue],
                                              [v[3] doubleValue]);
            }
            ++i;
        } else {
            fprintf(stderr, "unknown option %s\n", option.UTF8String);
            exit(2);
        }
    }
    if (!*log || !*control) {
        fprintf(stderr, "usage: %s --log EVENTS --control FIFO [options]\n", arguments[0].UTF8String);
        exit(2);
    }
    return options;
}

int main() {
    @autoreleasepool {
        NSString* log = nil;
        NSString* control = nil;
        ChatOptions options = parse(NSProcessInfo.processInfo.arguments, &log, &control);
        openEventLog(log);
        [LoggingApplication sharedApplication];
        NSApp.activationPolicy = NSApplicationActivationPolicyRegular;
        chat = [[ChatWindow alloc] initWithOptions:options];
        listenForCommands(control, chat);
        [chat show];
        [chat.window displayIfNeeded];
        // Once the window server has the drawing, a capture sees it.
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 300 * NSEC_PER_MSEC), dispatch_get_main_queue(), ^{
            NSMutableDictionary* ready = [NSMutableDictionary dictionaryWithDictionary:[chat geometry]];
            ready[@"pid"] = @(getpid());
            ready[@"window"] = @(chat.window.windowNumber);
            ready[@"screen"] = flippedScreenRect(NSScreen.screens.firstObject.frame);
            logEvent(@"ready", ready);
        });
        [NSApp run];
    }
    return 0;
}
