// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Time and resident memory measured inside a test depend on the allocator, on the sanitizers'
// shadow memory and quarantine, and on the machine. Tests check them only in the normal build,
// with margins that catch what they are about (a whole extra copy of a picture, a stall), not a
// few per cent; the benchmarks in bench/ measure the figures themselves.

#ifdef STREVIO_SANITIZED
constexpr bool kChecksResourceLimits = false;
#else
constexpr bool kChecksResourceLimits = true;
#endif
