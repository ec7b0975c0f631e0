#include "raidlib/RaidEvent.h"

#include <cstdlib>

RaidEvent& RaidEvent::set(const std::string& name, const std::string& value) {
    if (name == "eventNumber") {  // the log numbers records; keep one attribute of that name
        eventNumber_ = std::strtoul(value.c_str(), nullptr, 10);
        return *this;
    }
    for (auto& attribute : attributes_) {
        if (attribute.first == name) {
            attribute.second = value;
            return *this;
        }
    }
    attributes_.emplace_back(name, value);
    return *this;
}

RaidEvent& RaidEvent::set(const std::string& name, long value) {
    return set(name, std::to_string(value));
}

std::string RaidEvent::get(const std::string& name) const {
    for (const auto& attribute : attributes_) {
        if (attribute.first == name) {
            return attribute.second;
        }
    }
    return std::string();
}

namespace {
void appendEscaped(std::string& out, const std::string& value) {
    for (char c : value) {
        switch (c) {
            case '"':
                out += "&quot;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
                break;
        }
    }
}
}  // namespace

std::string RaidEvent::toXml() const {
    std::string out = "<RaidEvent eventNumber=\"" + std::to_string(eventNumber_) + "\"";
    for (const auto& attribute : attributes_) {
        out += ' ';
        out += attribute.first;
        out += "=\"";
        appendEscaped(out, attribute.second);
        out += '"';
    }
    out += "/>\n";
    return out;
}
