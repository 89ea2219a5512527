#include "backends/x11/dbus_bus.h"

#include <mutex>

namespace quillgate::x11 {

namespace {

struct FreeMessage {
    void operator()(DBusMessage* message) const {
        if (message) dbus_message_unref(message);
    }
};
using Message = std::unique_ptr<DBusMessage, FreeMessage>;

void threadsOnce() {
    static std::once_flag once;
    std::call_once(once, [] { dbus_threads_init_default(); });
}

DBusConnection* registered(DBusConnection* connection) {
    if (!connection) return nullptr;
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    DBusError error;
    dbus_error_init(&error);
    if (!dbus_bus_register(connection, &error)) {
        dbus_error_free(&error);
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        return nullptr;
    }
    return connection;
}

Message methodCall(const char* destination, const char* path, const char* interface, const char* method) {
    Message message(dbus_message_new_method_call(destination, path, interface, method));
    // A question to a service that is not running must not start it.
    if (message) dbus_message_set_auto_start(message.get(), FALSE);
    return message;
}

// The first argument, or the variant inside it, when it has the type.
template <typename T>
std::optional<T> firstArgument(DBusMessage* reply, int type) {
    if (!reply) return std::nullopt;
    DBusMessageIter it;
    if (!dbus_message_iter_init(reply, &it)) return std::nullopt;
    DBusMessageIter inner;
    if (dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_VARIANT) {
        dbus_message_iter_recurse(&it, &inner);
        it = inner;
    }
    if (dbus_message_iter_get_arg_type(&it) != type) return std::nullopt;
    if constexpr (std::is_same_v<T, bool>) {
        dbus_bool_t value = FALSE;
        dbus_message_iter_get_basic(&it, &value);
        return value != FALSE;
    } else {
        const char* value = nullptr;
        dbus_message_iter_get_basic(&it, &value);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
}

Message propertyGet(const char* destination, const char* path, const char* interface, const char* property) {
    Message message = methodCall(destination, path, DBUS_INTERFACE_PROPERTIES, "Get");
    if (message) {
        dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                                 DBUS_TYPE_INVALID);
    }
    return message;
}

}  // namespace

std::unique_ptr<Bus> Bus::open(const std::string& address) {
    threadsOnce();
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = registered(dbus_connection_open_private(address.c_str(), &error));
    dbus_error_free(&error);
    if (!connection) return nullptr;
    return std::unique_ptr<Bus>(new Bus(connection));
}

std::unique_ptr<Bus> Bus::system() {
    threadsOnce();
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = dbus_bus_get_private(DBUS_BUS_SYSTEM, &error);
    dbus_error_free(&error);
    if (!connection) return nullptr;
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    return std::unique_ptr<Bus>(new Bus(connection));
}

Bus::~Bus() {
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
}

DBusMessage* Bus::send(DBusMessage* message) const {
    if (!message) return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(connection_, message, busTimeoutMs, &error);
    dbus_error_free(&error);
    return reply;
}

bool Bus::connected() const { return dbus_connection_get_is_connected(connection_); }

bool Bus::hasOwner(const char* name) const {
    Message message = methodCall(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "NameHasOwner");
    if (!message) return false;
    dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
    Message reply(send(message.get()));
    return firstArgument<bool>(reply.get(), DBUS_TYPE_BOOLEAN).value_or(false);
}

std::optional<std::string> Bus::callForText(const char* destination, const char* path, const char* interface,
                                            const char* method) const {
    Message message = methodCall(destination, path, interface, method);
    Message reply(send(message.get()));
    return firstArgument<std::string>(reply.get(), DBUS_TYPE_STRING);
}

std::optional<bool> Bus::callForFlag(const char* destination, const char* path, const char* interface,
                                     const char* method) const {
    Message message = methodCall(destination, path, interface, method);
    Message reply(send(message.get()));
    return firstArgument<bool>(reply.get(), DBUS_TYPE_BOOLEAN);
}

std::optional<bool> Bus::flagProperty(const char* destination, const char* path, const char* interface,
                                      const char* property) const {
    Message message = propertyGet(destination, path, interface, property);
    Message reply(send(message.get()));
    return firstArgument<bool>(reply.get(), DBUS_TYPE_BOOLEAN);
}

std::optional<std::string> Bus::pathProperty(const char* destination, const char* path, const char* interface,
                                             const char* property) const {
    Message message = propertyGet(destination, path, interface, property);
    Message reply(send(message.get()));
    return firstArgument<std::string>(reply.get(), DBUS_TYPE_OBJECT_PATH);
}

bool Bus::setFlagProperty(const char* destination, const char* path, const char* interface, const char* property,
                          bool value) const {
    Message message = methodCall(destination, path, DBUS_INTERFACE_PROPERTIES, "Set");
    if (!message) return false;
    DBusMessageIter it;
    DBusMessageIter variant;
    dbus_message_iter_init_append(message.get(), &it);
    dbus_bool_t flag = value ? TRUE : FALSE;
    if (!dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &interface) ||
        !dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &property) ||
        !dbus_message_iter_open_container(&it, DBUS_TYPE_VARIANT, DBUS_TYPE_BOOLEAN_AS_STRING, &variant) ||
        !dbus_message_iter_append_basic(&variant, DBUS_TYPE_BOOLEAN, &flag) ||
        !dbus_message_iter_close_container(&it, &variant)) {
        return false;
    }
    Message reply(send(message.get()));
    return reply && dbus_message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_METHOD_RETURN;
}

}  // namespace quillgate::x11
