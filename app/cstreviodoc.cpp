#include "app/cstreviodoc.h"

IMPLEMENT_DYNCREATE(CStrevioDoc, CDocument)
