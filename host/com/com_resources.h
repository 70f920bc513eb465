// Owners of COM resources.
//
// Stand-in until the COM adapter is merged: only the apartment guard the entry point needs. The adapter
// replaces this file.
#pragma once

namespace host::com
{

/// The calling thread's single-threaded apartment, for as long as the guard lives. Throws host::Error when
/// the thread cannot enter it.
class ComApartment
{
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();
};

} // namespace host::com
