// The doctor's report: aligned lines for a person, or one JSON object.

#include <cstdio>
#include <string>

#include "doctor/doctor.h"
#include "json/writer.h"

namespace quillgate::doctor {

namespace {

constexpr size_t checkColumn = 20;

const char* word(Verdict verdict) {
    switch (verdict) {
        case Verdict::ok: return "OK";
        case Verdict::warn: return "WARN";
        case Verdict::fail: return "FAIL";
    }
    return "FAIL";
}

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

size_t count(const std::vector<Finding>& findings, Verdict verdict) {
    size_t n = 0;
    for (const Finding& f : findings) n += f.verdict == verdict;
    return n;
}

std::string text(const std::vector<Finding>& findings) {
    std::string out;
    for (const Finding& f : findings) {
        out += padded(word(f.verdict), 6) + padded(f.check, checkColumn) + f.detail;
        if (!f.advice.empty()) out += " -> " + f.advice;
        out += "\n";
    }
    const size_t fails = count(findings, Verdict::fail);
    const size_t warns = count(findings, Verdict::warn);
    if (fails + warns == 0) {
        out += "All checks OK.\n";
    } else {
        out += std::to_string(fails) + " FAIL, " + std::to_string(warns) + " WARN" +
               (fails ? ": fix the FAIL lines first.\n" : ": requests can work; see the WARN lines.\n");
    }
    return out;
}

std::string json(const std::vector<Finding>& findings) {
    Array checks;
    for (const Finding& f : findings) {
        Object entry{{"check", f.check}, {"status", word(f.verdict)}, {"detail", f.detail}};
        if (!f.advice.empty()) entry.emplace("advice", f.advice);
        if (f.ms) entry.emplace("ms", *f.ms);
        checks.emplace_back(std::move(entry));
    }
    // Check names and details are the program's own words and platform
    // names, valid UTF-8, so this always serialises.
    auto line = json::serialise(Object{{"ok", count(findings, Verdict::fail) == 0}, {"checks", std::move(checks)}});
    if (!line) line = json::serialise(Object{{"ok", false}, {"checks", Array{}}});
    return *line + "\n";
}

}  // namespace

int report(const std::vector<Finding>& findings, Format format) {
    const std::string out = format == Format::json ? json(findings) : text(findings);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
    return count(findings, Verdict::fail) == 0 ? 0 : 1;
}

}  // namespace quillgate::doctor
