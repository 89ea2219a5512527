#import "control.h"

#include <fcntl.h>
#include <unistd.h>

#import "event_log.h"
#import "held_keys.h"
#import "keyboard_layout.h"

// The FIFO's source, kept for the life of the process.
static dispatch_source_t commands;

static void carryOut(NSString* line, ChatWindow* chat) {
    NSRange space = [line rangeOfString:@" "];
    NSString* word = space.location == NSNotFound ? line : [line substringToIndex:space.location];
    NSString* rest = space.location == NSNotFound ? @"" : [line substringFromIndex:space.location + 1];
    NSString* argument = [rest stringByTrimmingCharactersInSet:NSCharacterSet.whitespaceCharacterSet];
    NSWindow* window = chat.window;
    if ([word isEqualToString:@"header"]) {
        [chat setHeaderColor:argument];
    } else if ([word isEqualToString:@"dialog"]) {
        [chat openDialog:[argument isEqualToString:@"nested"]];
    } else if ([word isEqualToString:@"minimize"]) {
        [window miniaturize:nil];
    } else if ([word isEqualToString:@"focus"]) {
        [window makeFirstResponder:[chat widgetNamed:argument]];
    } else if ([word isEqualToString:@"composer"]) {
        [chat setComposerText:rest];
    } else if ([word isEqualToString:@"title"]) {
        window.title = rest;
    } else if ([word isEqualToString:@"resize"]) {
        NSArray* size = [argument componentsSeparatedByString:@" "];
        NSRect frame = window.frame;
        NSSize content = NSMakeSize([size[0] doubleValue], [size[1] doubleValue]);
        NSRect resized = [window frameRectForContentRect:NSMakeRect(0, 0, content.width, content.height)];
        // The top left corner stays where it is.
        [window setFrame:NSMakeRect(frame.origin.x, NSMaxY(frame) - resized.size.height, resized.size.width,
                                    resized.size.height)
                 display:YES];
    } else if ([word isEqualToString:@"geometry"]) {
        logEvent(@"geometry", [chat geometry]);
    } else if ([word isEqualToString:@"freeze"]) {
        logEvent(@"frozen", @{@"seconds" : @([argument doubleValue])});
        usleep(static_cast<useconds_t>([argument doubleValue] * 1e6));
        logEvent(@"thawed", nil);
    } else if ([word isEqualToString:@"layout"]) {
        logEvent(@"layout", @{@"id" : argument, @"ok" : @(selectKeyboardLayout(argument))});
    } else if ([word isEqualToString:@"hide"]) {
        [chat hide];
    } else if ([word isEqualToString:@"show"]) {
        [chat show];
    } else if ([word isEqualToString:@"hold"] || [word isEqualToString:@"let-go"]) {
        const bool down = [word isEqualToString:@"hold"];
        logEvent(@"modifier", @{@"key" : argument, @"down" : @(down), @"ok" : @(postModifierKey(argument, down))});
    } else if ([word isEqualToString:@"held"]) {
        logEvent(@"held", @{@"key" : argument, @"down" : @(modifierDown(argument))});
    } else if ([word isEqualToString:@"quit"]) {
        [NSApp terminate:nil];
    } else {
        logEvent(@"unknown-command", @{@"line" : line});
    }
}

void listenForCommands(NSString* fifo, ChatWindow* chat) {
    // Read and write, so that the FIFO never reports its end when a writer leaves.
    const int fd = open(fifo.fileSystemRepresentation, O_RDWR | O_NONBLOCK);
    if (fd < 0) {
        perror(fifo.fileSystemRepresentation);
        exit(1);
    }
    dispatch_source_t source = dispatch_source_create(DISPATCH_SOURCE_TYPE_READ, fd, 0, dispatch_get_main_queue());
    __block NSMutableData* pending = [NSMutableData data];
    dispatch_source_set_event_handler(source, ^{
        char buffer[65536];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return;
        [pending appendBytes:buffer length:static_cast<NSUInteger>(got)];
        for (;;) {
            const char* bytes = static_cast<const char*>(pending.bytes);
            const void* newline = memchr(bytes, '\n', pending.length);
            if (!newline) break;
            const NSUInteger length = static_cast<NSUInteger>(static_cast<const char*>(newline) - bytes);
            NSString* line = [[NSString alloc] initWithBytes:bytes length:length encoding:NSUTF8StringEncoding];
            [pending replaceBytesInRange:NSMakeRange(0, length + 1) withBytes:nullptr length:0];
            if ([line stringByTrimmingCharactersInSet:NSCharacterSet.whitespaceCharacterSet].length == 0) continue;
            carryOut(line, chat);
            // Drawn and handed to the window server: the effect is visible to other clients.
            [chat.window displayIfNeeded];
            dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 50 * NSEC_PER_MSEC), dispatch_get_main_queue(), ^{
                logEvent(@"done", @{@"command" : line});
            });
        }
    });
    dispatch_resume(source);
    commands = source;
}
