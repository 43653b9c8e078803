// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The document of every document type: it holds no data; its path names the folder to show.

#include "framework/cdocument.h"

class CStrevioDoc : public CDocument {
    DECLARE_DYNCREATE(CStrevioDoc)
public:
    CStrevioDoc() = default;
};
