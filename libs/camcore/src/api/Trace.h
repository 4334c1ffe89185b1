#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>

namespace camcore {

// CAMCORE_TRACE=FILE appends one line per API call: the call with its arguments, then " -> " and
// the result. Users attach the file to a problem report; the application's tests read it to
// check call sequences. Costs one getenv at start and nothing more when unset.
class Trace {
public:
    static bool enabled();
    static void write(const std::string& line);
};

// A window handle, printed in hex.
struct TraceWindow {
    std::uintptr_t id;
};

namespace trace_detail {

// Line breaks are written as \n and \r: one call stays one line (barcode values and paths may
// hold them).
inline void put(std::ostringstream& out, const char* text) {
    if (text == nullptr) {
        out << "null";
        return;
    }
    out << '"';
    for (; *text != '\0'; ++text) {
        if (*text == '\n')
            out << "\\n";
        else if (*text == '\r')
            out << "\\r";
        else
            out << *text;
    }
    out << '"';
}
inline void put(std::ostringstream& out, const std::string& text) {
    put(out, text.c_str());
}
inline void put(std::ostringstream& out, bool value) {
    out << (value ? "true" : "false");
}
inline void put(std::ostringstream& out, TraceWindow window) {
    out << "0x" << std::hex << window.id << std::dec;
}
template <typename T>
requires std::is_arithmetic_v<T>
void put(std::ostringstream& out, T value) {
    out << value;
}
inline void put(std::ostringstream& out, const void* pointer) {
    if (pointer == nullptr)
        out << "null";
    else
        out << "ptr";
}

template <typename... Args> std::string call(const char* name, const Args&... args) {
    std::ostringstream out;
    out << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((out << separator, put(out, args), separator = ", "), ...);
    out << ')';
    return out.str();
}

} // namespace trace_detail

// Records "name(args) -> result[ note]".
template <typename Result, typename... Args>
void traceCall(const char* name, const Result& result, const char* note, const Args&... args) {
    if (!Trace::enabled())
        return;
    std::ostringstream out;
    out << trace_detail::call(name, args...) << " -> ";
    trace_detail::put(out, result);
    if (note != nullptr && *note != '\0')
        out << " [" << note << ']';
    Trace::write(out.str());
}

// Records "name(args)" for calls without a result.
template <typename... Args>
void traceVoid(const char* name, const char* note, const Args&... args) {
    if (!Trace::enabled())
        return;
    std::string line = trace_detail::call(name, args...);
    if (note != nullptr && *note != '\0')
        line += std::string(" [") + note + ']';
    Trace::write(line);
}

} // namespace camcore
