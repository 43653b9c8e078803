// SPDX-License-Identifier: GPL-2.0-or-later
#include "strevioapptest.h"

#include "childprogram.h"

#include "app/globals.h"
#include "browser/cstrevioview.h"
#include "film/filmsettings.h"
#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/cdc.h"
#include "framework/cdoctemplate.h"
#include "framework/cdocument.h"
#include "framework/listviewwidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>

#include <cmath>
#include <QPixmap>
#include <QSettings>

#include <algorithm>
#include <vector>

#include <unistd.h>

void StrevioAppTest::SetUp()
{
    ASSERT_TRUE(m_photos.isValid());
    ASSERT_TRUE(m_films.isValid());
    g_FilmName = QStringLiteral("Film.avi");
    g_FilmFps = 2;
    g_PathToOpen.clear();
    AfxSetMessageBoxHandler([this](const QString& text, UINT) {
        m_messages << text;
        if (m_onMessage)
            m_onMessage(text);
        return IDOK;
    });
    QSettings(QStringLiteral("Quennel"), QStringLiteral("Strevio")).clear(); // every test starts without recent files
    m_app = std::make_unique<CStrevioApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    g_StartFolder = m_films.path();
}

void StrevioAppTest::TearDown()
{
    m_app.reset();
    AfxSetMessageBoxHandler({});
    QApplication::processEvents();
}

CListView_Photos* StrevioAppTest::OpenList(const QString& path)
{
    if (!m_app->OpenDocumentFile(path))
        return nullptr;
    // The open answers with the oldest window of the path; the new window is the last one.
    CDocument* document = m_app->m_pPhotoListTemplate->GetDocuments().back();
    for (CView* view : document->GetViews())
        if (auto* list = dynamic_cast<CListView_Photos*>(view))
            return list;
    return nullptr;
}

void StrevioAppTest::Select(CListView_Photos* list, std::initializer_list<int> items)
{
    for (int item : items)
        list->GetListCtrl().SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
}

int StrevioAppTest::DocumentCount(int templateIndex) const
{
    return int(m_app->GetDocTemplates()[size_t(templateIndex)]->GetDocuments().size());
}

CStrevioView* StrevioAppTest::OpenPhotoView(const QString& path)
{
    g_PathToOpen = path;
    CDocument* document = m_app->m_pPhotoViewTemplate->OpenDocumentFile(QString(), true);
    return document ? dynamic_cast<CStrevioView*>(document->GetViews().front()) : nullptr;
}

QImage ThumbnailCell(CListView_Photos* list, int item)
{
    const QModelIndex index = list->GetListCtrl().GetWidget()->model()->index(item, 0);
    return qvariant_cast<QPixmap>(index.data(Qt::DecorationRole)).toImage().convertToFormat(QImage::Format_RGB888);
}

int InkedPixels(const QImage& canvas, int rows)
{
    int inked = 0;
    for (int y = 0; y < std::min(rows, canvas.height()); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            inked += canvas.pixelColor(x, y) != QColor(Qt::white);
    return inked;
}

QImage PaintView(CStrevioView* view, int width)
{
    view->GetSafeWidget()->setFixedWidth(width);
    QImage canvas(1200, 900, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    CDC dc(&painter);
    view->OnDraw(&dc);
    painter.end();
    return canvas;
}

double PeakSignalToNoise(const QImage& a, const QImage& b)
{
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                squares += double(d) * d;
        }
    const double mean = squares / (3.0 * a.width() * a.height());
    return mean == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mean);
}

bool NearColor(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

bool WriteFlatImage(const QString& path, int width, int height, QColor color, bool alphaHole)
{
    QImage image(width, height, alphaHole ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(color);
    if (alphaHole) {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(width / 4, height / 4, width / 2, height / 2), Qt::transparent);
    }
    return image.save(path);
}

QByteArray RunTool(const QString& program, const QStringList& arguments)
{
    ChildProgram tool;
    if (!tool.Start(program, arguments) || !tool.WaitForFinished(600000) || tool.Crashed() || tool.ExitCode() != 0)
        return {};
    return tool.StandardOutput();
}

FilmProbe ProbeFilm(const QString& path)
{
    FilmProbe probe;
    const QByteArray json = RunTool(QStringLiteral("ffprobe"),
                                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_streams"),
                                     QStringLiteral("-show_packets"), QStringLiteral("-of"), QStringLiteral("json"), path});
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (streams.size() != 1)
        return probe;
    const QJsonObject stream = streams.at(0).toObject();
    probe.ok = true;
    probe.codecType = stream.value(QStringLiteral("codec_type")).toString();
    probe.codecTag = stream.value(QStringLiteral("codec_tag_string")).toString();
    probe.width = stream.value(QStringLiteral("width")).toInt();
    probe.height = stream.value(QStringLiteral("height")).toInt();
    probe.frameRate = stream.value(QStringLiteral("r_frame_rate")).toString();
    const QJsonArray packets = root.value(QStringLiteral("packets")).toArray();
    probe.packets = int(packets.size());
    probe.allKeyFrames = !packets.isEmpty();
    for (const QJsonValue& packet : packets)
        if (!packet.toObject().value(QStringLiteral("flags")).toString().startsWith(QLatin1Char('K')))
            probe.allKeyFrames = false;
    return probe;
}

QImage DecodeFilmFrame(const QString& path, int index, int width, int height)
{
    const QByteArray raw = RunTool(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-vf"),
         QStringLiteral("select=eq(n\\,%1)").arg(index), QStringLiteral("-frames:v"), QStringLiteral("1"),
         QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"),
         QStringLiteral("-")});
    if (raw.size() != qsizetype(width) * height * 3)
        return {};
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), raw.constData() + qsizetype(y) * width * 3, size_t(width) * 3);
    return image;
}

int ThreadsNamed(const QString& name)
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name.toUtf8())
            ++count;
    }
    return count;
}
