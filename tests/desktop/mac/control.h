#pragma once
// The control FIFO of the test chat application: command lines read as they
// come, never seeing its end, each carried out on the main thread and
// followed by "done" once its effect is on screen. The commands are those of
// the GTK test application (tests/desktop/chat_app.py).

#import <AppKit/AppKit.h>

#import "chat_window.h"

void listenForCommands(NSString* fifo, ChatWindow* chat);
