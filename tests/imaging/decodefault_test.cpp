// SPDX-License-Identifier: GPL-2.0-or-later
// Why a photo gives no picture or only part of one: the kind of fault each file meets, whether
// another attempt could do better, and the warning that names the photo.

#include "tests/imaging/imagingtest.h"

#include "filereading/mappedfile.h"
#include "imaging/imagefile.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The kernel's word for a page of a mapping it could not read: SIGBUS at an address inside the
// file, sent here to this very thread as the kernel sends it.
int failSecondPage(const void* base, std::size_t length)
{
    if (length <= 8192)
        return 0;
    siginfo_t info {};
    info.si_signo = SIGBUS;
    info.si_code = BUS_ADRERR;
    info.si_addr = const_cast<char*>(static_cast<const char*>(base)) + 4096;
    return ::syscall(SYS_rt_tgsigqueueinfo, ::getpid(), ::gettid(), SIGBUS, &info) == 0 ? 0 : errno;
}

int refuseMemory(const void*, std::size_t)
{
    return ENOMEM;
}

struct HookScope {
    explicit HookScope(MappedFile::MappingHook hook) { MappedFile::setMappingHookForTesting(hook); }
    ~HookScope() { MappedFile::setMappingHookForTesting(nullptr); }
};

QImage noisy(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, seed >> 8);
        }
    return image;
}

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
    const QByteArray jpeg = Fixtures::jpegBytes(noisy(640, 480));
    QByteArray damagedJpeg = jpeg;
    for (qsizetype at = jpeg.size() / 3; at < jpeg.size() / 3 + 64; ++at)
        damagedJpeg[at] = '\xFF';
    const QString pngPath = files.writeImage("whole.png", noisy(300, 200), "png");
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
        {"nomemory.jpg", jpeg, refuseMemory, false, false, Kind::NoResources, false},
        {"ioerror.jpg", jpeg, failSecondPage, true, true, Kind::ReadError, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.bytes.isEmpty() ? files.path(c.name) : files.write(c.name, c.bytes);
        std::shared_ptr<ImageSource> source;
        DecodeFault fault;
        HookScope hook(c.hook);
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
    const QByteArray jpeg = Fixtures::jpegBytes(noisy(320, 240));
    const QString pngPath = files.writeImage("whole.png", noisy(300, 200), "png");
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
