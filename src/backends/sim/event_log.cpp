#include "backends/sim/event_log.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "json/writer.h"

namespace quillgate::sim {

EventLog::EventLog(const std::optional<std::string>& path) {
    if (!path) return;
    file_.reset(std::fopen(path->c_str(), "a"));
    if (!file_) throw std::runtime_error(*path + ": cannot open the event log: " + std::strerror(errno));
}

void EventLog::append(double time, std::string_view what, Object fields) {
    if (!file_ && !keep_) return;
    fields["t"] = time;
    fields["what"] = what;
    Value event(std::move(fields));
    if (file_) {
        if (auto line = json::serialise(event)) {
            line->push_back('\n');
            std::fwrite(line->data(), 1, line->size(), file_.get());
            std::fflush(file_.get());
        }
    }
    if (keep_) events_.push_back(std::move(event));
}

Value loggable(const Value& value, const std::function<Value(const Element&)>& nameOf) {
    if (const double* n = value.asNumber()) return std::isfinite(*n) ? value : Value();
    if (const Point* p = value.asPoint()) return loggable(Object{{"point", Array{p->x, p->y}}}, nameOf);
    if (const Size* s = value.asSize()) return loggable(Object{{"size", Array{s->width, s->height}}}, nameOf);
    if (const Element* e = value.asElement()) return Object{{"ref", nameOf(*e)}};
    if (const Array* members = value.asArray()) {
        Array converted;
        for (const Value& member : *members) converted.push_back(loggable(member, nameOf));
        return converted;
    }
    if (const Object* members = value.asObject()) {
        Object converted;
        for (const auto& [key, member] : *members) converted.emplace(key, loggable(member, nameOf));
        return converted;
    }
    return value;
}

}  // namespace quillgate::sim
