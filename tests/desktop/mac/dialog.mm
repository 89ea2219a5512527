#import "dialog.h"

#import "event_log.h"

@interface DialogPanel : NSPanel
@property(weak) ChatDialog* owner;
@end

@interface ChatDialog ()
- (void)answer:(NSString*)response;
@end

@implementation DialogPanel
- (void)cancelOperation:(id)sender {
    [self.owner answer:@"delete"];
}
@end

@implementation ChatDialog {
    NSString* _name;
    NSString* _response;
    BOOL _modal;
}

- (instancetype)initWithName:(NSString*)name title:(NSString*)title text:(NSString*)text over:(NSWindow*)parent {
    if (!(self = [super init])) return nil;
    _name = name;
    NSRect frame = NSMakeRect(0, 0, 360, 200);
    DialogPanel* panel = [[DialogPanel alloc] initWithContentRect:frame
                                                        styleMask:NSWindowStyleMaskTitled | NSWindowStyleMaskClosable
                                                          backing:NSBackingStoreBuffered
                                                            defer:NO];
    panel.owner = self;
    panel.title = title;
    panel.identifier = name;
    panel.releasedWhenClosed = NO;
    panel.delegate = self;
    panel.level = NSModalPanelWindowLevel;
    panel.animationBehavior = NSWindowAnimationBehaviorNone;

    NSTextField* label = [NSTextField labelWithString:text];
    label.frame = NSMakeRect(20, 110, 320, 40);
    NSButton* cancel = [NSButton buttonWithTitle:@"Cancel" target:self action:@selector(cancel:)];
    cancel.frame = NSMakeRect(150, 20, 90, 32);
    NSButton* ok = [NSButton buttonWithTitle:@"OK" target:self action:@selector(ok:)];
    ok.frame = NSMakeRect(250, 20, 90, 32);
    for (NSView* view in @[ label, cancel, ok ]) [panel.contentView addSubview:view];

    // Centred over the chat window.
    NSRect over = parent.frame;
    [panel setFrameOrigin:NSMakePoint(NSMidX(over) - panel.frame.size.width / 2,
                                      NSMidY(over) - panel.frame.size.height / 2)];
    _panel = panel;
    return self;
}

- (void)show {
    [self.panel makeKeyAndOrderFront:nil];
    [self.panel displayIfNeeded];
    // Once the window server has the drawing, a capture sees it.
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 100 * NSEC_PER_MSEC), dispatch_get_main_queue(), ^{
        if (self.panel.visible) logEvent(@"shown", @{@"dialog" : self->_name, @"frame" : screenRectOfWindow(self.panel)});
    });
}

- (NSString*)run {
    _modal = YES;
    [self show];
    [NSApp runModalForWindow:self.panel];
    return _response;
}

- (void)ok:(id)sender {
    [self answer:@"ok"];
}

- (void)cancel:(id)sender {
    [self answer:@"cancel"];
}

- (BOOL)windowShouldClose:(NSWindow*)window {
    [self answer:@"delete"];
    return NO;
}

- (void)answer:(NSString*)response {
    if (_response) return;
    _response = response;
    [self.panel orderOut:nil];
    if (_modal) {
        [NSApp stopModal];
        return;
    }
    if (self.responded) self.responded(response);
}

@end
