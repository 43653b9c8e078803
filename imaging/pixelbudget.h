// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The most pixels any picture is decoded to in one piece, shared by the image services and the
// metafile decoder beneath them.

#include <cstdint>

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// Fuzzing: 2048 x 2048, so that a few header bytes cannot make every execution a gigabyte decode.
constexpr std::int64_t kImagePixelBudget = 4194304;
#else
constexpr std::int64_t kImagePixelBudget = 268435456;  // 16384 x 16384
#endif
