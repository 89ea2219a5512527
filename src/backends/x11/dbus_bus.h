#pragma once
// A private libdbus connection to one bus, for the few questions the backend
// asks itself: where the accessibility bus is, whether accessibility is on,
// whether the session is locked. Every call is bounded and never starts a
// service, so a missing or hung answer costs at most the bound.

#include <dbus/dbus.h>

#include <memory>
#include <optional>
#include <string>

namespace quillgate::x11 {

// How long one question may take.
inline constexpr int busTimeoutMs = 1000;

class Bus {
public:
    // Connects and registers; null when the address does not answer. The
    // session bus is only ever reached through its explicit address: libdbus
    // would otherwise launch a bus of its own when none is set.
    static std::unique_ptr<Bus> open(const std::string& address);
    static std::unique_ptr<Bus> system();
    ~Bus();
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    bool hasOwner(const char* name) const;
    // False once the bus has gone away (libdbus sees it at the next call).
    bool connected() const;
    std::optional<std::string> callForText(const char* destination, const char* path, const char* interface,
                                           const char* method) const;
    std::optional<bool> callForFlag(const char* destination, const char* path, const char* interface,
                                    const char* method) const;
    std::optional<bool> flagProperty(const char* destination, const char* path, const char* interface,
                                     const char* property) const;
    bool setFlagProperty(const char* destination, const char* path, const char* interface, const char* property,
                         bool value) const;
    std::optional<std::string> pathProperty(const char* destination, const char* path, const char* interface,
                                            const char* property) const;

private:
    explicit Bus(DBusConnection* connection) : connection_(connection) {}
    DBusMessage* send(DBusMessage* message) const;
    DBusConnection* connection_;
};

}  // namespace quillgate::x11
