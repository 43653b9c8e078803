// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avistream.h"

ULONG AviStream::release()
{
    ULONG remaining = --m_references;
    if (remaining == 0)
        delete this;
    return remaining;
}
