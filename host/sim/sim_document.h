// The simulated application and the objects reached through a document: the document (which answers
// the drawing members too), its extension, selection manager, custom property and feature managers.
#pragma once

#include "host/cad_host.h"
#include "host/sim/sim_annotations.h"

namespace host::sim
{

host::ApplicationPtr MakeApplication(StatePtr state);

} // namespace host::sim
