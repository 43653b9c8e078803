// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main frame's tool object: the status-bar progress display of long work, and the folder
// scan and path operations of the photo lists.

#include "framework/cprogressctrl.h"
#include "framework/cstringarray.h"
#include "platform/files/filestamp.h"

#include <QString>

#include <cstdint>
#include <vector>

class CFrameTools {
public:
    CFrameTools() = default;

    // Shows `text` (its first 50 characters) in the status bar's message pane and lays a fresh
    // progress bar, range 0 to 100 at position 0, over the rest of the pane.
    void ShowProgress(QString text, CProgressCtrl* control);
    // Moves the progress bar to `done` of `total` and draws it at once, when it moved: drawing it
    // for every photo of a long list cost more than the photos kept from the last rebuild.
    void SetProgress(qint64 done, qint64 total);

    // `stamps`, when given, receives each photo's state as the scan found it.
    std::int32_t ScanFolder(QString folder, CStringArray& photos, QString extension,
                            std::vector<FileStamp>* stamps = nullptr);
    QString GetExtension(QString path);
    QString GetFolder(QString path);
    QString GetFileName(QString path);

    CProgressCtrl m_Progress;
};
