// The session file (JSON, UTF-8) read into the model and written back from it.
#pragma once

#include "host/sim/session_model.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

namespace host::sim
{

/// A session file that cannot be used. The message (UTF-8) names what is wrong and where, for example
/// "documents[0].sheets[1].symbols[2].x: expected a number".
class SessionFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// How the program used the host, written back as `stats`.
struct CallStats
{
    std::int64_t total = 0;
    std::map<std::string, std::int64_t> byMember;
    std::int64_t rebuilds = 0;
};

/// Reads a session file's text. Throws SessionFileError naming what is wrong and where.
/// Annotations are numbered from 1 in file order; the selection refers to them by that identity.
SessionModel ReadSessionFile(const std::string& utf8Json);

/// The model in the file format, with `stats`. Members the model does not know are written as they were
/// read; members the file left out are written only when the session changed them.
std::string WriteSessionFile(const SessionModel& model, const CallStats& stats);

} // namespace host::sim
