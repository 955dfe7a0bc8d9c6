// COM and OLE for the program's one thread, started by the first handler that
// needs a COM object rather than at start-up, and ended with its owner.
#pragma once

#include <windows.h>

namespace vardelune {

class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

    // Initialises OLE on the calling thread the first time; throws a
    // ProgramError when the system refuses, so that the handler stops there.
    void Enter();

private:
    bool entered_ = false;
};

}  // namespace vardelune
