// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Raised by the framework's containers for an index outside them; the command dispatch reports it
// to the user as "Encountered an improper argument.".

#include <stdexcept>

class CInvalidArgException : public std::invalid_argument {
public:
    CInvalidArgException() : std::invalid_argument("Encountered an improper argument.") {}
};
