// SPDX-License-Identifier: GPL-2.0-or-later
// Photos whose names are not valid UTF-8, or hold control characters: listed in their place,
// labelled readably, shown and filmed from their own bytes.

#include "strevioapptest.h"

#include "browser/cstrevioview.h"
#include "framework/cdocument.h"
#include "platform/paths/localpath.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

struct NamedPhoto {
    QByteArray name;    // on disk
    const char16_t* label;
    QColor colour;
};

// QTemporaryDir cannot remove files whose names are not UTF-8: these go by their bytes.
class PhotosByBytes {
public:
    explicit PhotosByBytes(QByteArray folder) : m_folder(std::move(folder)) {}
    ~PhotosByBytes()
    {
        for (const QByteArray& name : m_names)
            std::remove((m_folder + '/' + name).constData());
    }
    // Writes a photo under a plain name, then gives it its name on disk.
    bool add(const QByteArray& name, QColor colour)
    {
        const QString suffix = QString::fromLatin1(name.mid(name.lastIndexOf('.')));
        const QString plain = QFile::decodeName(m_folder) + QStringLiteral("/plain") + suffix;
        if (!WriteFlatImage(plain, 48, 32, colour))
            return false;
        m_names << name;
        return std::rename(QFile::encodeName(plain).constData(), (m_folder + '/' + name).constData()) == 0;
    }

private:
    QByteArray m_folder;
    QList<QByteArray> m_names;
};

} // namespace

class PathNamesTest : public StrevioAppTest {
protected:
    void SetUp() override
    {
        StrevioAppTest::SetUp();
        m_folder = QFile::encodeName(m_photos.path());
        m_files = std::make_unique<PhotosByBytes>(m_folder);
        for (const NamedPhoto& photo : kPhotos)
            ASSERT_TRUE(m_files->add(photo.name, photo.colour)) << photo.name.toHex().constData();
    }
    void TearDown() override
    {
        StrevioAppTest::TearDown();
        m_files.reset();
    }
    QString PathOf(const QByteArray& name) const { return LocalPath::decode(m_folder + '/' + name); }

    // In natural order: escaped bytes after the letters, a Latin-1 'é' and a lone lead byte in
    // their place among the others.
    const QList<NamedPhoto> kPhotos = {
        {"a.png", u"a.png", Qt::red},
        {"b_\xff.jpg", u"b_\xfffd.jpg", Qt::green},
        {"c_\xe9t\xe9.png", u"c_\xfffdt\xfffd.png", Qt::blue},
        {"d_\xc3\x28.jpg", u"d_\xfffd(.jpg", Qt::yellow},
        {"e\tf\ng.png", u"e\x2409" "f\x240ag.png", Qt::cyan},
        {"z.jpg", u"z.jpg", Qt::magenta},
    };
    QByteArray m_folder;
    std::unique_ptr<PhotosByBytes> m_files;
};

TEST_F(PathNamesTest, TheListShowsEveryPhotoInItsPlaceWithAReadableLabel)
{
    // Opened from a photo whose name is not UTF-8: the document's open check finds it too.
    CListView_Photos* list = OpenList(PathOf("b_\xff.jpg"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();
    ASSERT_EQ(list->m_Photos.GetSize(), kPhotos.size());
    ASSERT_EQ(list->GetListCtrl().GetItemCount(), kPhotos.size());
    for (int k = 0; k < kPhotos.size(); ++k) {
        EXPECT_EQ(LocalPath::encode(list->m_Photos[k]), m_folder + '/' + kPhotos[k].name) << k;
        EXPECT_EQ(list->GetListCtrl().GetItemText(k, 0), QString::fromUtf16(kPhotos[k].label)) << k;
        const QImage cell = ThumbnailCell(list, k);
        EXPECT_TRUE(NearColor(cell.pixelColor(50, 37), kPhotos[k].colour, 24)) << k;
    }
}

TEST_F(PathNamesTest, TheSinglePhotoViewDrawsThePhotoAndTitlesItReadably)
{
    for (const NamedPhoto& photo : kPhotos) {
        CStrevioView* view = OpenPhotoView(PathOf(photo.name));
        ASSERT_NE(view, nullptr);
        const QImage canvas = PaintView(view, 600);
        EXPECT_TRUE(NearColor(canvas.pixelColor(300, 200), photo.colour, 24)) << photo.name.toHex().constData();
        const QString title = view->GetDocument()->GetTitle();
        EXPECT_EQ(title, LocalPath::display(PathOf(photo.name)));
        EXPECT_TRUE(title.endsWith(QString::fromUtf16(photo.label)));
    }
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(PathNamesTest, AFilmOfThemHasThosePhotosAsItsFrames)
{
    CListView_Photos* list = OpenList(PathOf("a.png"));
    ASSERT_NE(list, nullptr);
    list->OnSelectAll();
    list->OnMakeFilm();
    const QString film = QDir(FilmFolder()).filePath(QStringLiteral("Film.avi"));
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("The Movie file"))) << m_messages[0].toStdString();
    ASSERT_EQ(ProbeFilm(film).packets, kPhotos.size());
    for (int k = 0; k < kPhotos.size(); ++k) {
        const QImage frame = DecodeFilmFrame(film, k);
        ASSERT_FALSE(frame.isNull()) << k;
        EXPECT_TRUE(NearColor(frame.pixelColor(24, 16), kPhotos[k].colour, 24)) << k;
        EXPECT_TRUE(NearColor(frame.pixelColor(47, 31), kPhotos[k].colour, 24)) << k;
        EXPECT_TRUE(NearColor(frame.pixelColor(48, 16), Qt::black)) << k;
    }
}
