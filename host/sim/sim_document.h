// The simulated application and the objects reached through a document: the document (which answers
// the drawing members too), its extension, selection manager, custom property and feature managers.
#pragma once

#include "host/cad_host.h"
#include "host/sim/sim_annotations.h"

#include <cstdint>
#include <optional>

namespace host::sim
{

host::ApplicationPtr MakeApplication(StatePtr state);

/// The type of a simulated document (host::kPart, kAssembly, kDrawing) without counting a call; nothing for
/// any other object. For the COM server, which numbers each type's members differently.
std::optional<std::int32_t> DocumentTypeOf(host::HostObject& object);

} // namespace host::sim
