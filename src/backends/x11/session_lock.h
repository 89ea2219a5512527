#pragma once
// Whether the session is locked: the login manager's lock hint (logind) or an
// active screen saver (the session's org.freedesktop.ScreenSaver, or the X
// server's own). Where none of them exists the session counts as unlocked.

namespace quillgate::x11 {

class Bus;
class Connection;

bool sessionLocked(const Connection& x, const Bus* session, const Bus* system);

}  // namespace quillgate::x11
