// SPDX-License-Identifier: GPL-2.0-or-later
// How the image services read files: mapped, only as far as a decoder looks, from the file's own
// bytes, and safe when someone cuts the file short while it is being read.

#include "tests/imaging/imagingtest.h"

#include "filereading/mappedfile.h"
#include "platform/paths/localpath.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <memory>
#include <thread>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr qint64 kLargeFileBytes = 2000000000;

// A sparse file: `start`, then zeros to `size` bytes; no disk is used for the zeros.
bool writeSparse(const QString& path, const QByteArray& start, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(start) == start.size() && file.resize(size);
}

// How many bytes of the file are in the page cache: what anyone read of it since it was written
// (its zeros were never written, so none of them are there before they are read).
qint64 cachedBytes(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const qint64 size = ::lseek(fd, 0, SEEK_END);
    void* map = ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return -1;
    const long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> resident(size_t((size + page - 1) / page));
    const int result = ::mincore(map, size_t(size), resident.data());
    ::munmap(map, size_t(size));
    return result == 0 ? qint64(std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return r & 1; })) * page
                       : -1;
}

QByteArray le16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray be16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

} // namespace

class ImagingFileReading : public testing::Test {
protected:
    Fixtures files;
};

// Videos, disk images and preallocated downloads renamed as photos: zeros, a TIFF header, and
// headers that look valid but lead to nothing, each 2 GB. None is a picture; none may be read
// much further than its header (the whole file would cost its size in memory and seconds).
TEST_F(ImagingFileReading, LargeFilesThatAreNoPicturesAreReadOnlyAtTheirStart)
{
    const QByteArray jpegFrame = QByteArray("\xFF\xD8\xFF\xC0", 4) + be16(17) + QByteArray("\x08", 1) + be16(8000)
                               + be16(8000) + QByteArray("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    const QByteArray gifScreen = QByteArray("GIF89a") + le16(8000) + le16(8000) + QByteArray(3, '\0');
    const QByteArray webp = QByteArray("RIFF\xF8\x93\x35\x77WEBPVP8 \xEC\x93\x35\x77\x10\x02\x00\x9D\x01\x2A", 26)
                          + le16(8000) + le16(8000);
    const struct {
        const char* name;
        QByteArray start;
    } cases[] = {
        {"zeros.jpg", {}},
        {"tiff-header.tif", QByteArray("II*\0\x08\0\0\0", 8)},
        {"jpeg-frame-then-nothing.jpg", jpegFrame},
        {"gif-screen-then-nothing.gif", gifScreen},
        {"webp-named.jpg", webp},
    };
    for (const auto& c : cases) {
        const QString path = files.path(c.name);
        ASSERT_TRUE(writeSparse(path, c.start, kLargeFileBytes)) << c.name;
        {
            OpenedBitmap bitmap(path);
            EXPECT_NE(bitmap.status, Ok) << c.name;
            GpImage* image = nullptr;
            const std::u16string name = wide(path);
            EXPECT_NE(GdipLoadImageFromFile(name.c_str(), &image), Ok) << c.name;
            EXPECT_EQ(image, nullptr);
        }
        const qint64 read = cachedBytes(path);
        EXPECT_GE(read, 0) << c.name;
        EXPECT_LT(read, qint64(128) << 20) << c.name << ": " << read << " bytes read";
        QFile::remove(path);
    }
}

// The file shrinks between the open (which read the header) and the decode: the pages past its
// new end read as zeros instead of ending the process with SIGBUS. The services then give what
// the decoder makes of the bytes, as for any file that ends early.
TEST_F(ImagingFileReading, AFileCutShortWhileMappedReadsAsZeros)
{
    QImage halves(512, 512, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 256; y < 512; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(halves.scanLine(y)), 512, qRgb(0, 0, 255));
    // BMP (Qt's plugin) keeps its rows bottom-up: the bytes left are those of the bottom rows.
    // JPEG (libjpeg) keeps them top-down: those of the top rows.
    const struct {
        const char* name;
        const char* format;
        QPoint kept;
        QRgb keptColour;
    } cases[] = {{"cut.bmp", "bmp", QPoint(10, 510), qRgb(0, 0, 255)}, {"cut.jpg", "jpeg", QPoint(10, 2), qRgb(255, 0, 0)}};
    for (const auto& c : cases) {
        const QString path = files.writeImage(c.name, halves, c.format);
        OpenedBitmap bitmap(path);
        ASSERT_EQ(bitmap.status, Ok) << c.name;
        ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 8192), 0);
        const QImage pixels = pixelsOf(bitmap.image());
        ASSERT_EQ(pixels.size(), QSize(512, 512)) << c.name;
        EXPECT_TRUE(nearColor(pixels.pixel(c.kept), c.keptColour)) << c.name;
        EXPECT_FALSE(nearColor(pixels.pixel(500, 511 - c.kept.y()), c.keptColour)) << c.name;
    }
}

TEST_F(ImagingFileReading, NamesThatAreNotUtf8OpenFromTheirOwnBytes)
{
    QImage green(8, 6, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QByteArray plain = QFile::encodeName(files.writeImage("plain.png", green, "png"));
    const QByteArray name = plain.left(plain.lastIndexOf('/')) + "/c_\xe9t\xe9.png";
    ASSERT_EQ(std::rename(plain.constData(), name.constData()), 0);
    OpenedBitmap bitmap(LocalPath::decode(name));
    ::unlink(name.constData());
    ASSERT_EQ(bitmap.status, Ok);
    EXPECT_EQ(pixelsOf(bitmap.image()).pixel(7, 5), qRgb(0, 255, 0));
}

// Mappings made, read and released on several threads at once while another thread cuts their
// files short: every byte read is the file's own or a zero past its new end, never a fault, and
// each mapping says whether its file was cut.
TEST_F(ImagingFileReading, MappingsComeAndGoOnThreadsWhileTheirFilesAreCut)
{
    constexpr int kThreads = 4, kRounds = 60, kBytes = 16 * 4096;
    std::vector<QByteArray> names;
    for (int t = 0; t < kThreads; ++t)
        names.push_back(QFile::encodeName(files.path(QStringLiteral("cut%1.bin").arg(t))));
    std::atomic<bool> done{false};
    std::atomic<int> wrongBytes{0}, cuts{0};
    std::thread cutter([&] {
        // Only ever shorter: a file made longer again would read its own zeros within its end.
        for (unsigned k = 0; !done.load(); ++k) {
            struct stat st {};
            const off_t size = 4096 * (k % 8);
            if (::stat(names[k % kThreads].constData(), &st) == 0 && st.st_size > size) {
                [[maybe_unused]] const int cut = ::truncate(names[k % kThreads].constData(), size);
            }
        }
    });
    std::vector<std::thread> readers;
    for (int t = 0; t < kThreads; ++t)
        readers.emplace_back([&, t] {
            const char mark = char('a' + t);
            for (int round = 0; round < kRounds; ++round) {
                QFile file(QFile::decodeName(names[t]));
                if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(kBytes, mark)) != kBytes)
                    continue;
                file.close();
                std::unique_ptr<MappedFile> mapped;
                DecodeFault fault;
                if (MappedFile::open(names[t], kBytes, &mapped, &fault) != Ok)
                    continue;
                const QByteArray& bytes = mapped->bytes();
                for (int pass = 0; pass < 256; ++pass)
                    for (qsizetype at = 0; at < bytes.size(); at += 256)
                        if (bytes[at] != mark && bytes[at] != '\0')
                            ++wrongBytes;
                if (mapped->wasCutShort()) {
                    ++cuts;
                    if (mapped->readFault().kind() != DecodeFault::Kind::CutShort)
                        ++wrongBytes;
                }
            }
        });
    for (std::thread& reader : readers)
        reader.join();
    done = true;
    cutter.join();
    EXPECT_EQ(wrongBytes.load(), 0);
    std::printf("%d of %d mappings were cut while read\n", cuts.load(), kThreads * kRounds);
}

// The guard answers only for the mappings it watches: a file cut short under a mapping nobody
// watches ends the program with SIGBUS, as it would without the guard.
TEST_F(ImagingFileReading, ACutUnderAMappingNobodyWatchesStillEndsTheProgram)
{
    const QByteArray watched = QFile::encodeName(files.write("watched.bin", QByteArray(8192, 'w')));
    const QByteArray unwatched = QFile::encodeName(files.write("unwatched.bin", QByteArray(8192, 'u')));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::unique_ptr<MappedFile> guarded; // installs the guard
        DecodeFault fault;
        if (MappedFile::open(watched, 8192, &guarded, &fault) != Ok)
            ::_exit(3);
        const int fd = ::open(unwatched.constData(), O_RDONLY);
        void* bare = ::mmap(nullptr, 8192, PROT_READ, MAP_PRIVATE, fd, 0);
        if (bare == MAP_FAILED || ::truncate(unwatched.constData(), 0) != 0)
            ::_exit(4);
        const volatile char read = static_cast<const char*>(bare)[4096];
        ::_exit(read == 'u' ? 5 : 6);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
#ifdef STREVIO_SANITIZED
    // The sanitizers report the fault themselves and exit.
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) >= 3) << status;
#else
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGBUS);
#endif
}
