// Printing diagnostics.
#include "check/check.h"

#include <nlohmann/json.hpp>

namespace {

const char* severityName(Severity s) { return s == Severity::Error ? "error" : "warning"; }

}  // namespace

std::string formatDiagnostic(const Diagnostic& d)
{
    return d.file + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
           severityName(d.severity) + ": " + d.message + " [" + d.code + "]";
}

std::string formatDiagnosticJson(const Diagnostic& d)
{
    nlohmann::ordered_json line = {{"file", d.file},
                                   {"line", d.line},
                                   {"column", d.column},
                                   {"severity", severityName(d.severity)},
                                   {"code", d.code},
                                   {"message", d.message}};
    // Messages quote the script, which may be cut inside a character: never fail on it.
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
