#pragma once
// The window of the test chat application, built as the GTK test
// application builds its own: a conversation header (a plain coloured strip),
// a message list with a right-click menu, a composer, a password field and a
// Send button; or, as a cover, a plain window of another application. Each
// part carries its test name as its identifier.

#import <AppKit/AppKit.h>

struct ChatOptions {
    NSString* name = @"WeChat";
    NSString* title = nil;
    NSRect geometry = NSMakeRect(100, 80, 900, 600);  // top-left x, y and the content size
    bool cover = false;
    bool above = false;
    bool noFocus = false;
    // Transparent to the eye and to the mouse: clicks pass through to what is below.
    bool clickThrough = false;
};

@interface ChatWindow : NSObject <NSWindowDelegate, NSMenuDelegate>
@property(readonly) NSWindow* window;
- (instancetype)initWithOptions:(const ChatOptions&)options;
- (NSView*)widgetNamed:(NSString*)name;
// The test name of a view or of its nearest named ancestor, "" for none.
- (NSString*)nameOfView:(NSView*)view;
- (NSDictionary*)geometry;
- (void)setHeaderColor:(NSString*)color;
- (void)setComposerText:(NSString*)text;
- (void)openDialog:(BOOL)nested;
// In front: with the keyboard focus, its application active, or for a window
// that takes no focus (--no-focus) in front of its level without it.
- (void)show;
// Off the screen, its application hidden: one that was active hands the
// activation back to the application that had it before.
- (void)hide;
@end
