#include "app/terminal_posix.h"

#include <unistd.h>

namespace app
{

bool StandardInputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

} // namespace app
