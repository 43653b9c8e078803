// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Open dialog: Qt's file dialog, which shows a name that is not UTF-8 with U+FFFD in place of
// its odd bytes and so can neither name that file nor list a folder of such a name. A pick that
// names nothing is looked up on disk (LocalPath::fromShown); a folder picked or entered that way
// is opened through a file in it, since the file picked only names its folder.

#include <QFileDialog>

class COpenFileDialog : public QFileDialog {
public:
    explicit COpenFileDialog(QWidget* parent);

    // The file picked, every byte kept; empty when none was.
    QString GetPickedPath() const;

    void accept() override;

private:
    // Accepts the on-disk path `shown` stands for; false when it stands for none.
    bool AcceptOnDisk(const QString& shown);

    QString m_strPicked;
};
