// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A running program for tests: the application started as the program starts it, messages
// captured instead of shown, photos made on the fly, films checked with FFmpeg's tools.

#include "app/cmainframe.h"
#include "app/cstrevioapp.h"
#include "browser/clistview_photos.h"
#include "framework/cmultidoctemplate.h"

#include <QColor>
#include <QImage>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/qtprinters.h"

#include <functional>
#include <memory>

class CStrevioView;

class StrevioAppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens `path` through the application and returns the new photo list that shows its folder.
    CListView_Photos* OpenList(const QString& path);
    CMainFrame* Frame() const { return m_frame; }
    QString PhotoPath(const QString& name) const { return m_photos.filePath(name); }
    QString FilmFolder() const { return m_films.path(); }
    void Select(CListView_Photos* list, std::initializer_list<int> items);
    // Opens `path` in a single-photo window, as the photo list does.
    CStrevioView* OpenPhotoView(const QString& path);
    int DocumentCount(int templateIndex) const;

    std::unique_ptr<CStrevioApp> m_app;
    CMainFrame* m_frame = nullptr;
    QTemporaryDir m_photos;
    QTemporaryDir m_films;
    QStringList m_messages;
    std::function<void(const QString&)> m_onMessage;
};

// The thumbnail the list shows for `item`, as RGB888.
QImage ThumbnailCell(CListView_Photos* list, int item);
// A single-photo view painted as its window `width` pixels wide would be, on white.
QImage PaintView(CStrevioView* view, int width);
// How many pixels of the top `rows` rows of a painted view are not white.
int InkedPixels(const QImage& canvas, int rows);
// Peak signal-to-noise ratio of two pictures of the same size over their red, green and blue, in dB.
double PeakSignalToNoise(const QImage& a, const QImage& b);
// True when each channel is within `tolerance`.
bool NearColor(QColor actual, QColor expected, int tolerance = 8);

// A photo of one colour; `alphaHole` leaves a transparent square at its centre (PNG only).
bool WriteFlatImage(const QString& path, int width, int height, QColor color, bool alphaHole = false);
// Runs a program and returns its standard output; empty on failure.
QByteArray RunTool(const QString& program, const QStringList& arguments);
// ffprobe's view of a film's video stream and packets.
struct FilmProbe {
    bool ok = false;
    QString codecType;
    QString codecTag;
    int width = 0;
    int height = 0;
    QString frameRate;
    int packets = 0;
    bool allKeyFrames = false;
};
FilmProbe ProbeFilm(const QString& path);
// The threads of this process named `name`, from /proc.
int ThreadsNamed(const QString& name);
// Frame `index` of a film decoded by FFmpeg, as RGB888.
QImage DecodeFilmFrame(const QString& path, int index, int width = 2000, int height = 2000);
