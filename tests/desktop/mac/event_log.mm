#import "event_log.h"

#include <time.h>

static FILE* eventLog;

void openEventLog(NSString* path) {
    eventLog = fopen(path.fileSystemRepresentation, "a");
    if (!eventLog) {
        perror(path.fileSystemRepresentation);
        exit(1);
    }
    setvbuf(eventLog, nullptr, _IOLBF, 0);
}

void logEvent(NSString* what, NSDictionary* fields) {
    NSMutableDictionary* record = [NSMutableDictionary dictionaryWithDictionary:fields ?: @{}];
    record[@"t"] = @(clock_gettime_nsec_np(CLOCK_UPTIME_RAW) / 1e9);
    record[@"what"] = what;
    NSData* json = [NSJSONSerialization dataWithJSONObject:record options:NSJSONWritingWithoutEscapingSlashes error:nil];
    fwrite(json.bytes, 1, json.length, eventLog);
    fputc('\n', eventLog);
}

static CGFloat mainDisplayHeight() { return NSScreen.screens.firstObject.frame.size.height; }

NSPoint flippedScreenPoint(NSPoint point) { return NSMakePoint(point.x, mainDisplayHeight() - point.y); }

NSArray* flippedScreenRect(NSRect rect) {
    return @[ @(lround(rect.origin.x)), @(lround(mainDisplayHeight() - NSMaxY(rect))), @(lround(rect.size.width)),
              @(lround(rect.size.height)) ];
}

NSArray* screenRectOfWindow(NSWindow* window) { return flippedScreenRect(window.frame); }

NSArray* screenRectOfView(NSView* view) {
    NSRect inWindow = [view convertRect:view.bounds toView:nil];
    return flippedScreenRect([view.window convertRectToScreen:inWindow]);
}
