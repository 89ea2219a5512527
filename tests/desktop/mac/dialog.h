#pragma once
// The Confirm dialog of the test chat application and the second one ("sure")
// its OK may open in a nested modal loop: a titled panel over the chat window
// with a label, Cancel and OK. Logs "shown" once on screen; the response is
// "ok", "cancel", or "delete" when it is dismissed with Escape or its close
// button.

#import <AppKit/AppKit.h>

@interface ChatDialog : NSObject <NSWindowDelegate>
@property(readonly) NSPanel* panel;
@property(copy) void (^responded)(NSString* response);
- (instancetype)initWithName:(NSString*)name title:(NSString*)title text:(NSString*)text over:(NSWindow*)parent;
- (void)show;
// Shows it and runs a modal loop until it is answered; the response.
- (NSString*)run;
@end
