#import "chat_window.h"

#import "dialog.h"
#import "event_log.h"

static NSArray<NSString*>* const messages = @[ @"Hello", @"Are you there?", @"See you tomorrow" ];
static NSArray<NSString*>* const menuItems = @[ @"Copy", @"Forward", @"Delete" ];
static NSString* const composerText = @"draft message";
static NSString* const passwordText = @"secret-password";
static const CGFloat headerHeight = 56;

static NSColor* colorOf(NSString* hex) {
    unsigned value = 0;
    [[NSScanner scannerWithString:[hex substringFromIndex:1]] scanHexInt:&value];
    return [NSColor colorWithSRGBRed:((value >> 16) & 255) / 255.0
                               green:((value >> 8) & 255) / 255.0
                                blue:(value & 255) / 255.0
                               alpha:1];
}

// The conversation header: one colour, logged ("header") once drawn.
@interface HeaderView : NSView
@property(copy) NSString* color;
@property(copy) NSString* loggedColor;
@end

@implementation HeaderView
- (void)drawRect:(NSRect)dirty {
    [colorOf(self.color) setFill];
    NSRectFill(self.bounds);
    if (![self.loggedColor isEqualToString:self.color]) {
        self.loggedColor = self.color;
        NSString* color = self.color;
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 50 * NSEC_PER_MSEC), dispatch_get_main_queue(), ^{
            logEvent(@"header", @{@"color" : color});
        });
    }
}
@end

// Flipped, so that the messages stack from the top.
@interface MessageList : NSView
@end

@implementation MessageList
- (BOOL)isFlipped {
    return YES;
}
@end

@implementation ChatWindow {
    NSMutableDictionary<NSString*, NSView*>* _widgets;
    HeaderView* _header;
    NSTextView* _composer;
    NSMenu* _menu;
    ChatDialog* _dialog;
    bool _takesFocus;
}

- (instancetype)initWithOptions:(const ChatOptions&)options {
    if (!(self = [super init])) return nil;
    _widgets = [NSMutableDictionary dictionary];
    _takesFocus = !options.noFocus;
    NSRect content = NSMakeRect(0, 0, options.geometry.size.width, options.geometry.size.height);
    _window = [[NSWindow alloc] initWithContentRect:content
                                          styleMask:NSWindowStyleMaskTitled | NSWindowStyleMaskClosable |
                                                    NSWindowStyleMaskMiniaturizable | NSWindowStyleMaskResizable
                                            backing:NSBackingStoreBuffered
                                              defer:NO];
    _window.title = options.title ?: options.name;
    _window.releasedWhenClosed = NO;
    _window.delegate = self;
    _window.animationBehavior = NSWindowAnimationBehaviorNone;
    _window.restorable = NO;
    if (options.above) _window.level = NSFloatingWindowLevel;
    if (options.clickThrough) {
        _window.opaque = NO;
        _window.backgroundColor = [NSColor colorWithWhite:1 alpha:0.01];
        _window.ignoresMouseEvents = YES;
    }
    if (options.cover) {
        [self buildCover];
    } else {
        [self buildChat];
    }
    CGFloat top = NSScreen.screens.firstObject.frame.size.height - options.geometry.origin.y;
    [_window setFrameTopLeftPoint:NSMakePoint(options.geometry.origin.x, top)];
    return self;
}

- (void)buildCover {
    NSTextField* label = [NSTextField labelWithString:@"Notes"];
    label.identifier = @"cover";
    label.frame = NSInsetRect(_window.contentView.bounds, 8, 8);
    label.autoresizingMask = NSViewWidthSizable | NSViewHeightSizable;
    [_window.contentView addSubview:label];
    _widgets[@"cover"] = label;
}

- (void)buildChat {
    NSView* root = _window.contentView;
    const NSRect bounds = root.bounds;
    const CGFloat bottomHeight = 96;

    _header = [[HeaderView alloc] initWithFrame:NSMakeRect(0, bounds.size.height - headerHeight, bounds.size.width,
                                                           headerHeight)];
    _header.color = @"#338cd9";
    _header.identifier = @"header";
    _header.autoresizingMask = NSViewWidthSizable | NSViewMinYMargin;
    [root addSubview:_header];

    _menu = [[NSMenu alloc] initWithTitle:@"menu"];
    _menu.delegate = self;
    _menu.minimumWidth = 220;
    for (NSString* title in menuItems) {
        NSMenuItem* item = [_menu addItemWithTitle:title action:@selector(menuItem:) keyEquivalent:@""];
        item.target = self;
    }

    NSScrollView* scrolled = [[NSScrollView alloc]
        initWithFrame:NSMakeRect(0, bottomHeight, bounds.size.width, bounds.size.height - headerHeight - bottomHeight)];
    scrolled.identifier = @"messages";
    scrolled.hasVerticalScroller = YES;
    scrolled.autoresizingMask = NSViewWidthSizable | NSViewHeightSizable;
    MessageList* list = [[MessageList alloc] initWithFrame:NSMakeRect(0, 0, bounds.size.width, 600)];
    list.autoresizingMask = NSViewWidthSizable;
    CGFloat y = 8;
    for (NSString* text in messages) {
        NSTextField* row = [NSTextField labelWithString:text];
        row.frame = NSMakeRect(12, y, bounds.size.width - 24, 20);
        row.menu = _menu;
        [list addSubview:row];
        y += 36;
    }
    list.menu = _menu;
    scrolled.menu = _menu;
    scrolled.documentView = list;
    [root addSubview:scrolled];

    const CGFloat side = 160;
    NSScrollView* composerFrame =
        [[NSScrollView alloc] initWithFrame:NSMakeRect(8, 8, bounds.size.width - side - 24, 80)];
    composerFrame.autoresizingMask = NSViewWidthSizable;
    composerFrame.borderType = NSBezelBorder;
    _composer = [[NSTextView alloc] initWithFrame:composerFrame.contentView.bounds];
    _composer.identifier = @"composer";
    _composer.richText = NO;
    _composer.string = composerText;
    _composer.autoresizingMask = NSViewWidthSizable | NSViewHeightSizable;
    composerFrame.documentView = _composer;
    [root addSubview:composerFrame];

    NSSecureTextField* password =
        [[NSSecureTextField alloc] initWithFrame:NSMakeRect(bounds.size.width - side - 8, 56, side, 24)];
    password.identifier = @"password";
    password.stringValue = passwordText;
    password.autoresizingMask = NSViewMinXMargin;
    [root addSubview:password];

    NSButton* send = [NSButton buttonWithTitle:@"Send" target:self action:@selector(send:)];
    send.frame = NSMakeRect(bounds.size.width - side - 8, 12, side, 32);
    send.identifier = @"send";
    send.autoresizingMask = NSViewMinXMargin;
    [root addSubview:send];

    [_widgets addEntriesFromDictionary:@{
        @"header" : _header, @"messages" : scrolled, @"composer" : _composer, @"password" : password, @"send" : send
    }];
    [_window makeFirstResponder:_composer];
}

- (NSView*)widgetNamed:(NSString*)name {
    return _widgets[name];
}

- (NSString*)nameOfView:(NSView*)view {
    for (; view; view = view.superview) {
        for (NSString* name in _widgets) {
            if (_widgets[name] == view) return name;
        }
    }
    return @"";
}

- (NSDictionary*)geometry {
    NSMutableDictionary* widgets = [NSMutableDictionary dictionary];
    for (NSString* name in _widgets) widgets[name] = screenRectOfView(_widgets[name]);
    return @{@"frame" : screenRectOfWindow(_window), @"widgets" : widgets};
}

- (void)setHeaderColor:(NSString*)color {
    _header.color = color;
    _header.needsDisplay = YES;
}

- (void)setComposerText:(NSString*)text {
    _composer.string = text;
}

- (void)send:(id)sender {
    logEvent(@"clicked", @{@"widget" : @"send"});
}

- (void)menuItem:(NSMenuItem*)item {
    logEvent(@"menu", @{@"item" : item.title});
}

// The menu's own window is the window server's; its frame is read there once open.
- (void)menuWillOpen:(NSMenu*)menu {
    NSTimer* timer = [NSTimer timerWithTimeInterval:0.1
                                            repeats:NO
                                              block:^(NSTimer*) {
                                                NSArray* frame = [self menuFrame];
                                                if (frame) logEvent(@"menu-shown", @{@"frame" : frame});
                                              }];
    [NSRunLoop.currentRunLoop addTimer:timer forMode:NSRunLoopCommonModes];
}

- (NSArray*)menuFrame {
    NSArray* windows = CFBridgingRelease(CGWindowListCopyWindowInfo(kCGWindowListOptionOnScreenOnly, kCGNullWindowID));
    for (NSDictionary* entry in windows) {
        if ([entry[(id)kCGWindowOwnerPID] intValue] != getpid()) continue;
        if ([entry[(id)kCGWindowLayer] intValue] != kCGPopUpMenuWindowLevel) continue;
        CGRect bounds;
        if (!CGRectMakeWithDictionaryRepresentation((CFDictionaryRef)entry[(id)kCGWindowBounds], &bounds)) continue;
        return @[ @(lround(bounds.origin.x)), @(lround(bounds.origin.y)), @(lround(bounds.size.width)),
                  @(lround(bounds.size.height)) ];
    }
    return nil;
}

- (void)openDialog:(BOOL)nested {
    _dialog = [[ChatDialog alloc] initWithName:@"confirm" title:@"Confirm" text:@"Delete this chat?" over:_window];
    __weak ChatWindow* weakSelf = self;
    _dialog.responded = ^(NSString* response) {
        logEvent(@"response", @{@"dialog" : @"confirm", @"response" : response});
        if (nested && [response isEqualToString:@"ok"]) [weakSelf runSecondDialog];
    };
    [_dialog show];
}

// A second modal dialog in a nested modal loop, inside the handler of the
// press that closed the first one.
- (void)runSecondDialog {
    ChatDialog* sure = [[ChatDialog alloc] initWithName:@"sure"
                                                  title:@"Are you sure?"
                                                   text:@"This cannot be undone."
                                                   over:_window];
    NSString* response = [sure run];
    logEvent(@"response", @{@"dialog" : @"sure", @"response" : response ?: @"delete"});
}

- (void)show {
    [NSApp unhideWithoutActivation];
    if (_takesFocus) {
        [NSApp activateIgnoringOtherApps:YES];
        [_window makeKeyAndOrderFront:nil];
    } else {
        [_window orderFrontRegardless];
    }
}

- (void)hide {
    [_window orderOut:nil];
    // Hidden, an active application hands the activation on to the one that
    // had it before; a window that takes no focus may still have taken it
    // with a click.
    [NSApp hide:nil];
}

- (void)windowDidMiniaturize:(NSNotification*)notification {
    logEvent(@"state", @{@"minimized" : @YES});
}

- (void)windowDidDeminiaturize:(NSNotification*)notification {
    logEvent(@"state", @{@"minimized" : @NO});
}

- (void)windowWillClose:(NSNotification*)notification {
    [NSApp terminate:nil];
}

@end
