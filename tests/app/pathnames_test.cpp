// SPDX-License-Identifier: GPL-2.0-or-later
// Photos whose names are not valid UTF-8, or hold control characters: listed in their place,
// labelled readably, shown and filmed from their own bytes.

#include "strevioapptest.h"

#include "browser/cstrevioview.h"
#include "framework/cdocument.h"
#include "framework/afxres.h"
#include "platform/paths/localpath.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <sys/stat.h>

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

TEST_F(PathNamesTest, TheOpenDialogOpensFilesAndFoldersWhoseNamesAreNotUtf8)
{
    // A folder whose name is not UTF-8, with two photos of its own.
    const QByteArray folder = m_folder + "/caf\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray inside[] = {folder + "/1.png", folder + "/2.png"};
    for (const QByteArray& photo : inside) {
        ASSERT_TRUE(WriteFlatImage(PhotoPath("moving.png"), 24, 18, Qt::gray));
        ASSERT_EQ(std::rename(QFile::encodeName(PhotoPath("moving.png")).constData(), photo.constData()), 0);
    }
    struct Case {
        const char* name;
        QString typed;   // into the dialog's name field, as the dialog shows the name
        bool enter;      // entered as a folder (double-click) rather than typed
        QByteArray opened;
        int photos;
    };
    const QString shownFolder = QFile::decodeName("caf\xe9");
    const Case cases[] = {
        {"a file whose name is not UTF-8", QFile::decodeName("b_\xff.jpg"), false, m_folder + "/b_\xff.jpg", 6},
        {"a file in a folder whose name is not", shownFolder + "/2.png", false, folder + "/2.png", 2},
        {"that folder, typed", shownFolder, false, folder + "/1.png", 2},
        {"that folder, entered", shownFolder, true, folder + "/1.png", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(m_photos.path());
            if (c.enter) {
                emit dialog->directoryEntered(m_photos.filePath(c.typed)); // as a double-click does
                return;
            }
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setCompleter(nullptr);
            edit->setText(c.typed);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        // A box the dialog raises over itself, then the dialog, would wait for keys forever.
        QTimer unstick;
        QObject::connect(&unstick, &QTimer::timeout, [] {
            if (QWidget* stuck = QApplication::activeModalWidget())
                stuck->close();
        });
        unstick.start(2000);
        Frame()->ExecuteCommand(ID_FILE_OPEN);
        unstick.stop();
        EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();
        auto* list = dynamic_cast<CListView_Photos*>(Frame()->GetActiveView());
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(LocalPath::encode(list->GetDocument()->GetPathName()), c.opened);
        EXPECT_EQ(list->m_Photos.GetSize(), c.photos);
        list->GetParentFrame()->DestroyWindow();
    }
    for (const QByteArray& photo : inside)
        std::remove(photo.constData());
    ::rmdir(folder.constData());
}
