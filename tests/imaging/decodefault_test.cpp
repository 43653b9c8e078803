// SPDX-License-Identifier: GPL-2.0-or-later
// Why a photo gives no picture or only part of one: the kind of fault each file meets, whether
// another attempt could do better, and the warning that names the photo.

#include "tests/imaging/imagingtest.h"

#include "tests/imaging/fixtures.h"
#include "tests/imaging/mappingfaults.h"
#include "imaging/imagefile.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QStringList>

#include <mutex>

namespace {

QStringList g_messages;
std::mutex g_messagesMutex;

void keepMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtWarningMsg || qstrcmp(context.category, "strevio.imaging") != 0)
        return;
    std::lock_guard lock(g_messagesMutex);
    g_messages.append(text);
}

} // namespace

class DecodeFaults : public testing::Test {
protected:
    Fixtures files;
};

TEST_F(DecodeFaults, EachFileTellsItsFaultAndWhetherItLasts)
{
    const QByteArray jpeg = Fixtures::jpegBytes(Fixtures::noisy(640, 480));
    QByteArray damagedJpeg = jpeg;
    for (qsizetype at = jpeg.size() / 3; at < jpeg.size() / 3 + 64; ++at)
        damagedJpeg[at] = '\xFF';
    const QString pngPath = files.writeImage("whole.png", Fixtures::noisy(300, 200), "png");
    QFile pngFile(pngPath);
    ASSERT_TRUE(pngFile.open(QIODevice::ReadOnly));
    const QByteArray png = pngFile.readAll();

    using Kind = DecodeFault::Kind;
    const struct {
        const char* name;
        QByteArray bytes; // empty: no file at all
        MappedFile::MappingHook hook;
        bool opens;
        bool gives; // a picture, whole or in part
        Kind kind;
        bool lasting;
    } cases[] = {
        {"good.jpg", jpeg, nullptr, true, true, Kind::None, true},
        {"cut.jpg", jpeg.left(jpeg.size() / 2), nullptr, true, true, Kind::CutShort, true},
        {"damaged.jpg", damagedJpeg, nullptr, true, true, Kind::Damaged, true},
        {"cut.png", png.left(png.size() / 2), nullptr, true, true, Kind::CutShort, true},
        {"headless.png", png.left(20), nullptr, false, false, Kind::CutShort, true},
        {"letter.jpg", QByteArray("Dear reader, this is no picture.\n"), nullptr, false, false, Kind::NotAPicture, true},
        {"missing.jpg", QByteArray(), nullptr, false, false, Kind::Unreadable, false},
        {"nomemory.jpg", jpeg, MappingFaults::refuseMemory, false, false, Kind::NoResources, false},
        {"ioerror.jpg", jpeg, MappingFaults::failSecondPage, true, true, Kind::ReadError, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.bytes.isEmpty() ? files.path(c.name) : files.write(c.name, c.bytes);
        std::shared_ptr<ImageSource> source;
        DecodeFault fault;
        MappingFaults::Scope hook(c.hook);
        const GpStatus status = ImageFile::open(path, &source, &fault);
        ASSERT_EQ(status == Ok, c.opens) << fault.text().toStdString();
        bool gave = false;
        if (source) {
            gave = !source->decodeReduced(QSize(64, 64)).isNull();
            fault = source->fault();
        }
        EXPECT_EQ(gave, c.gives);
        EXPECT_EQ(fault.kind(), c.kind) << fault.text().toStdString();
        EXPECT_EQ(fault.isLasting(), c.lasting);
    }
}

TEST_F(DecodeFaults, APhotoThatGivesNoPictureOrPartOfOneIsNamedInAWarningWithTheReason)
{
    const QByteArray jpeg = Fixtures::jpegBytes(Fixtures::noisy(320, 240));
    const QString pngPath = files.writeImage("whole.png", Fixtures::noisy(300, 200), "png");
    QFile pngFile(pngPath);
    ASSERT_TRUE(pngFile.open(QIODevice::ReadOnly));
    const QByteArray png = pngFile.readAll();
    QByteArray damaged = jpeg;
    const qsizetype frame = damaged.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    damaged[frame + 4] = 3; // bits a sample: no JPEG has 3
    const struct {
        const char* name;
        QByteArray bytes;
        const char* said; // empty: no warning
    } cases[] = {
        {"good photo.jpg", jpeg, ""},
        {"damaged photo.jpg", damaged, "damaged photo.jpg: no picture (damaged"},
        {"cut photo.png", png.left(png.size() / 2), "cut photo.png: only part of the picture (cut short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        {
            OpenedBitmap bitmap(files.write(c.name, c.bytes));
            if (bitmap.bitmap)
                thumbnailOf(bitmap.image(), 100, 75);
        }
        qInstallMessageHandler(previous);
        if (!*c.said) {
            EXPECT_TRUE(g_messages.isEmpty()) << g_messages.join('\n').toStdString();
            continue;
        }
        ASSERT_EQ(g_messages.size(), 1) << g_messages.join('\n').toStdString();
        EXPECT_TRUE(g_messages.first().contains(QString::fromUtf8(c.said))) << g_messages.first().toStdString();
    }
}
