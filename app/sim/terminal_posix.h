// Whether a person sits at the terminal (POSIX).
#pragma once

namespace app::sim
{

/// True when standard input is a terminal.
bool StandardInputIsTerminal();

} // namespace app::sim
