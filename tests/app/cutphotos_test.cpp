// SPDX-License-Identifier: GPL-2.0-or-later
// Photos cut short: the thumbnail, the single-photo view and the film frame show the same rows
// decoded before the cut; a photo with no pixels at all is said to be one the view cannot show.

#include "strevioapptest.h"
#include "tests/imaging/fixtures.h"

#include <QDir>
#include <QFile>

namespace {

// Red above, blue below, 400 x 300: cut at `keep` of its bytes.
QByteArray CutJpeg(bool progressive, double keep)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 150; y < 300; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), 400, qRgb(0, 0, 255));
    const QByteArray bytes = Fixtures::jpegBytes(image, progressive);
    return bytes.left(qsizetype(double(bytes.size()) * keep));
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class CutPhotosTest : public StrevioAppTest {
protected:
    // The colour of the photo's row at `fraction` of its height, left of the middle, in the
    // thumbnail (100 x 75), the view (600 wide: 600 x 450) and the film frame (400 x 300).
    struct Seen {
        QColor thumbnail, view, frame;
    };
    Seen RowColours(CListView_Photos* list, const QImage& view, const QImage& frame, double fraction)
    {
        const QImage cell = ThumbnailCell(list, 0);
        return {cell.pixelColor(30, int(74 * fraction)), view.pixelColor(180, int(449 * fraction)),
                frame.pixelColor(120, int(299 * fraction))};
    }
};

TEST_F(CutPhotosTest, ThumbnailViewAndFilmShowTheSameRowsOfAJpegCutShort)
{
    const QColor red(Qt::red), blue(Qt::blue);
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const QString path = PhotoPath(progressive ? "cut-progressive.jpg" : "cut-baseline.jpg");
        ASSERT_TRUE(WriteBytes(path, CutJpeg(progressive, 0.6)));
        CListView_Photos* list = OpenList(path);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->m_Photos.GetSize(), 1);
        CStrevioView* photoView = OpenPhotoView(path);
        ASSERT_NE(photoView, nullptr);
        const QImage view = PaintView(photoView, 600);
        list->OnSelectAll();
        list->OnMakeFilm();
        const QImage frame = DecodeFilmFrame(QDir(FilmFolder()).filePath(QStringLiteral("Film.avi")), 0);
        ASSERT_FALSE(frame.isNull());
        const Seen top = RowColours(list, view, frame, 0.02);
        EXPECT_TRUE(NearColor(top.thumbnail, red, 24));
        EXPECT_TRUE(NearColor(top.view, red, 24));
        EXPECT_TRUE(NearColor(top.frame, red, 24));
        // Below the cut each shows what the decoder filled in, the same in all three: grey for the
        // baseline file, whose last rows are missing; the progressive one has whole first scans.
        const Seen bottom = RowColours(list, view, frame, 0.97);
        EXPECT_TRUE(NearColor(bottom.thumbnail, bottom.view, 24));
        EXPECT_TRUE(NearColor(bottom.frame, bottom.view, 24));
        EXPECT_EQ(NearColor(bottom.view, blue, 24), progressive);
        m_app->CloseAllDocuments(true);
        m_messages.clear();
        QFile::remove(path);
    }
}

TEST_F(CutPhotosTest, APhotoWithAHeaderButNoPixelsIsSaidToBeOneTheViewCannotShow)
{
    const QByteArray whole = CutJpeg(false, 1.0);
    const qsizetype scan = whole.indexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    const QString path = PhotoPath("header-only.jpg");
    ASSERT_TRUE(WriteBytes(path, whole.left(scan + 2 + ((uchar(whole[scan + 2]) << 8) | uchar(whole[scan + 3])))));
    CStrevioView* view = OpenPhotoView(path);
    ASSERT_NE(view, nullptr);
    const QImage canvas = PaintView(view, 600);
    EXPECT_GT(InkedPixels(canvas, 40), 20);
    EXPECT_TRUE(m_messages.isEmpty());
}
