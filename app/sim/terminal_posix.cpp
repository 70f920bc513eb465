#include "app/sim/terminal_posix.h"

#include <unistd.h>

namespace app::sim
{

bool StandardInputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

} // namespace app::sim
