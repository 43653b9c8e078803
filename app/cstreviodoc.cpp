// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cstreviodoc.h"

IMPLEMENT_DYNCREATE(CStrevioDoc, CDocument)
