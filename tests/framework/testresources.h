// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Resources, command ids and the command log shared by the framework tests.

#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

// Resource ids: the main frame and two document types with menus of their own.
constexpr UINT IDR_TEST_MAIN = 128;
constexpr UINT IDR_TYPE_A = 129;
constexpr UINT IDR_TYPE_B = 130;
constexpr UINT IDD_TEST_DIALOG = 300;
constexpr int IDC_TEST_NAME = 1001;
constexpr int IDC_TEST_COUNT = 1002;

// Commands named after who handles them.
constexpr UINT ID_CMD_VIEW = 40001;
constexpr UINT ID_CMD_DOC = 40002;
constexpr UINT ID_CMD_CHILD = 40003;
constexpr UINT ID_CMD_MAIN = 40004;
constexpr UINT ID_CMD_APP = 40005;
constexpr UINT ID_CMD_ALL = 40006;           // view, document, child frame, main frame, app
constexpr UINT ID_CMD_DOC_AND_UP = 40007;    // document, child frame, main frame, app
constexpr UINT ID_CMD_CHILD_AND_UP = 40008;  // child frame, main frame, app
constexpr UINT ID_CMD_MAIN_AND_APP = 40009;  // main frame, app
constexpr UINT ID_CMD_NOBODY = 40010;
constexpr UINT ID_CMD_GREYED = 40011;        // view handler, update handler disables it
constexpr UINT ID_CMD_CHECKED = 40012;       // view handler, update handler checks it
constexpr UINT ID_CMD_BAD_INDEX = 40013;     // view handler reads past a string array

constexpr char kMainCaption[] = "Framework Test";
constexpr char kAppName[] = "FwTestApp";
constexpr char kImproperArgument[] = "Encountered an improper argument.";

// Puts the test menus, accelerators, toolbar, strings and dialog template in the resource table.
void RegisterTestResources();

// Every handler of the test classes appends "<who>:<command id>".
QStringList& CommandLog();
QString LogEntry(const QString& who, UINT id);
