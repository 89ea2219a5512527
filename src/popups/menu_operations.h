#pragma once
// Operations on the chat application as a whole, with no bound window: the
// applications are named by bundle identifier, the Dock icon by its title.

#include "core/operation.h"

namespace quillgate {

// "dismiss-menu": Escape to the owner of an open menu of the named applications.
Object dismissMenuOperation(const Call& call);

// "show-chats": presses the chat-list item of the application's menu bar.
Object showChatsOperation(const Call& call);

// "reopen-app": presses the application's icon in the Dock.
Object reopenAppOperation(const Call& call);

}  // namespace quillgate
