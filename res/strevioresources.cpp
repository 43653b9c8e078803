// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/resource.h"

#include "framework/afxres.h"
#include "framework/resources.h"

#include <QPainter>
#include <QPixmap>

namespace {
#include "res/toolbar.xpm"

MenuItemResource Item(const char* text, UINT id)
{
    return MenuItemResource{QString::fromUtf8(text), id, false, {}};
}

MenuItemResource Separator()
{
    return MenuItemResource{};
}

MenuItemResource RecentFiles()
{
    return MenuItemResource{QStringLiteral("Recent File"), ID_FILE_MRU_FILE1, true, {}};
}

MenuItemResource Popup(const char* text, std::vector<MenuItemResource> items)
{
    return MenuItemResource{QString::fromUtf8(text), 0, false, std::move(items)};
}

MenuItemResource WindowPopup(bool withCloseAll)
{
    std::vector<MenuItemResource> items{Item("&New Window", ID_WINDOW_NEW), Item("&Cascade", ID_WINDOW_CASCADE),
                                        Item("&Tile", ID_WINDOW_TILE_HORZ), Item("&Arrange Icons", ID_WINDOW_ARRANGE)};
    if (withCloseAll) {
        items.push_back(Separator());
        items.push_back(Item("Close all", ID_CLOSE_ALL));
    }
    return Popup("&Window", std::move(items));
}

MenuItemResource HelpPopup()
{
    return Popup("&Help", {Item("&Help Topics", ID_HELP_FINDER), Separator(), Item("&About Strevio...", ID_APP_ABOUT)});
}

void RegisterMenus(std::map<UINT, MenuResource>& menus)
{
    menus[IDR_MAINFRAME] = MenuResource{{
        Popup("&File", {Item("&Open...\tCtrl+O", ID_FILE_OPEN), Separator(), RecentFiles(), Separator(),
                        Item("&Close", ID_FILE_CLOSE), Item("E&xit", ID_APP_EXIT)}),
        Popup("&View", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Separator(),
                        Item("Properties", ID_SHOW_PROPERTIES)}),
        WindowPopup(false),
        HelpPopup(),
    }};
    menus[IDR_PHOTOVIEW] = MenuResource{{
        Popup("&File", {Item("&Open...\tCtrl+O", ID_FILE_OPEN), Item("&Close", ID_FILE_CLOSE), Separator(), RecentFiles(),
                        Separator(), Item("E&xit", ID_APP_EXIT)}),
        Popup("&View", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR)}),
        WindowPopup(true),
        HelpPopup(),
    }};
    menus[IDR_PHOTOLIST] = MenuResource{{
        Popup("&File", {Item("&Open...\tCtrl+O", ID_FILE_OPEN), Item("&Close", ID_FILE_CLOSE), Separator(),
                        Item("Make Film", ID_MAKE_FILM), Separator(), RecentFiles(), Separator(),
                        Item("E&xit", ID_APP_EXIT)}),
        Popup("&View", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Separator(),
                        Item("Refresh Photos", ID_REFRESH_PHOTOS), Item("Zoom Plus", ID_ZOOM_PLUS),
                        Item("Zoom Minus", ID_ZOOM_MINUS), Item("Select all", ID_SELECT_ALL_PHOTOS)}),
        WindowPopup(true),
        HelpPopup(),
    }};
}

void RegisterAccelerators(std::map<UINT, std::vector<AcceleratorResource>>& tables)
{
    const auto ctrl = Qt::ControlModifier;
    const auto shift = Qt::ShiftModifier;
    tables[IDR_MAINFRAME] = {
        {Qt::Key_N, ctrl, ID_FILE_NEW},           {Qt::Key_O, ctrl, ID_FILE_OPEN},
        {Qt::Key_S, ctrl, ID_FILE_SAVE},          {Qt::Key_P, ctrl, ID_FILE_PRINT},
        {Qt::Key_Z, ctrl, ID_EDIT_UNDO},          {Qt::Key_X, ctrl, ID_EDIT_CUT},
        {Qt::Key_C, ctrl, ID_EDIT_COPY},          {Qt::Key_V, ctrl, ID_EDIT_PASTE},
        {Qt::Key_Backspace, Qt::AltModifier, ID_EDIT_UNDO},
        {Qt::Key_Delete, shift, ID_EDIT_CUT},     {Qt::Key_Insert, ctrl, ID_EDIT_COPY},
        {Qt::Key_Insert, shift, ID_EDIT_PASTE},   {Qt::Key_F6, Qt::NoModifier, ID_NEXT_PANE},
        {Qt::Key_F6, shift, ID_PREV_PANE},        {Qt::Key_F1, shift, ID_CONTEXT_HELP},
        {Qt::Key_F1, Qt::NoModifier, ID_HELP},
    };
}

// The toolbar's buttons drawn again for 32 x 30 pixels, in the strip's order and colours: open
// (a folder), properties (a wrench), refresh (a tree), zoom plus and minus (a magnifier), select
// all (a picture in a dashed frame), make film (a film camera).
QImage ToolbarStrip2x()
{
    constexpr int kButtons = 7;
    QImage strip(32 * kButtons, 30, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(Qt::black, 1.5);
    const QColor yellow(0xFF, 0xFF, 0x00), olive(0x80, 0x80, 0x00), grey(0x80, 0x80, 0x80), light(0xC0, 0xC0, 0xC0),
        green(0x00, 0x80, 0x00), lime(0x00, 0xFF, 0x00), maroon(0x80, 0x00, 0x00), cyan(0x00, 0xFF, 0xFF),
        red(0xFF, 0x00, 0x00);
    const auto button = [&p](int index) {
        p.resetTransform();
        p.translate(32 * index, 0);
    };
    // Open: a folder with its flap open, and an arrow.
    button(0);
    p.setPen(outline);
    p.setBrush(yellow);
    p.drawPolygon(QPolygonF({QPointF(1, 9), QPointF(8, 9), QPointF(10, 12), QPointF(23, 12), QPointF(23, 28), QPointF(1, 28)}));
    p.setBrush(olive);
    p.drawPolygon(QPolygonF({QPointF(6, 17), QPointF(31, 17), QPointF(24, 28), QPointF(1, 28)}));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(17, 3, 12, 8), 30 * 16, 150 * 16);
    p.drawLine(QPointF(29, 2), QPointF(29, 6));
    p.drawLine(QPointF(29, 6), QPointF(25, 6));
    // Properties: a wrench.
    button(1);
    p.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 26), QPointF(19, 12));
    p.setPen(QPen(light, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 26), QPointF(19, 12));
    p.setPen(outline);
    p.setBrush(light);
    p.drawEllipse(QPointF(22, 9), 7, 7);
    p.setBrush(Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawRect(QRectF(22, 1, 8, 6));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Refresh: a fir tree.
    button(2);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(maroon);
    p.drawRect(QRectF(13, 22, 6, 6));
    p.setBrush(green);
    for (const int top : {1, 6, 11})
        p.drawPolygon(QPolygonF({QPointF(16, top), QPointF(16 + 5 + top, top + 12), QPointF(16 - 5 - top, top + 12)}));
    p.setPen(QPen(lime, 2));
    p.drawLine(QPointF(14, 5), QPointF(11, 11));
    p.drawLine(QPointF(13, 12), QPointF(9, 19));
    // Zoom plus and minus: a magnifier with its sign.
    for (const bool plus : {true, false}) {
        button(plus ? 3 : 4);
        p.setPen(QPen(maroon, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(28, 27));
        p.setPen(outline);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 11), 9.5, 9.5);
        p.setPen(QPen(Qt::black, 2.5));
        p.drawLine(QPointF(7, 11), QPointF(17, 11));
        if (plus)
            p.drawLine(QPointF(12, 6), QPointF(12, 16));
    }
    // Select all: a picture in a dashed frame.
    button(5);
    p.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 30, 27));
    p.setPen(outline);
    p.setBrush(cyan);
    p.drawRect(QRectF(5, 5, 22, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(yellow);
    p.drawEllipse(QPointF(15, 10), 3.5, 3);
    p.setBrush(green);
    p.drawPolygon(QPolygonF({QPointF(6, 22), QPointF(6, 16), QPointF(11, 14), QPointF(16, 18), QPointF(21, 14),
                             QPointF(26, 16), QPointF(26, 22)}));
    // Make film: a film camera with two reels.
    button(6);
    p.setPen(outline);
    p.setBrush(light);
    p.drawEllipse(QPointF(7, 5), 4, 4);
    p.drawEllipse(QPointF(19, 5), 4, 4);
    p.drawRect(QRectF(1, 11, 24, 14));
    p.setBrush(red);
    p.drawRect(QRectF(3.5, 14, 4, 4));
    p.setBrush(grey);
    p.drawPolygon(QPolygonF({QPointF(25, 15), QPointF(31, 11), QPointF(31, 25), QPointF(25, 21)}));
    p.drawLine(QPointF(9, 25), QPointF(6, 29));
    p.drawLine(QPointF(17, 25), QPointF(20, 29));
    p.end();
    return strip;
}

void RegisterToolbar(std::map<UINT, ToolbarResource>& toolbars)
{
    ToolbarResource toolbar;
    toolbar.buttonWidth = 16;
    toolbar.buttonHeight = 15;
    toolbar.image = [] { return QPixmap(kToolbarXpm).toImage(); };
    toolbar.image2x = &ToolbarStrip2x;
    toolbar.buttons = {ID_FILE_OPEN, ID_SHOW_PROPERTIES, ID_SEPARATOR, ID_REFRESH_PHOTOS, ID_ZOOM_PLUS,
                       ID_ZOOM_MINUS, ID_SELECT_ALL_PHOTOS, ID_SEPARATOR, ID_MAKE_FILM};
    toolbars[IDR_MAINFRAME] = toolbar;
}

void RegisterStrings(std::map<UINT, QString>& s)
{
    s[IDP_OLE_INIT_FAILED] = QStringLiteral("The component runtime could not be started.");
    s[IDR_MAINFRAME] = QStringLiteral("Strevio");
    s[IDR_PHOTOVIEW] = QStringLiteral("\nStrevio\nStrevio\n\n\nStrevio.Document\nStrevio.Document");
    s[ID_REFRESH_PHOTOS] = QStringLiteral("Refresh Photos\nRefresh Photos");
    s[ID_MAKE_FILM] = QStringLiteral("Make Film\nMake Film");
    s[ID_ZOOM_PLUS] = QStringLiteral("Zoom Plus\nZoom Plus");
    s[ID_ZOOM_MINUS] = QStringLiteral("Zoom Minus\nZoom Minus");
    s[ID_CLOSE_ALL] = QStringLiteral("Close all Windows\nClose all Windows");
    s[ID_SELECT_ALL_PHOTOS] = QStringLiteral("Select all Photos\nSelect all Photos");
    s[ID_SHOW_PROPERTIES] = QStringLiteral("Show Properties\nShow Properties");
    s[AFX_IDS_APP_TITLE] = QStringLiteral("Strevio");
    s[AFX_IDS_IDLEMESSAGE] = QStringLiteral(" ");
    s[AFX_IDS_HELPMODEMESSAGE] = QStringLiteral("Select an object on which to get Help");
}

void RegisterDialogs(std::map<UINT, DialogResource>& dialogs)
{
    using K = DialogControlKind;
    dialogs[IDD_ABOUTBOX] = DialogResource{
        QStringLiteral("About Strevio"), 0, 0, 235, 103, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
        QStringLiteral("MS Shell Dlg"), 8,
        {
            {K::Icon, IDC_STATIC, QString::number(IDR_MAINFRAME), 11, 17, 20, 20, WS_CHILD | WS_VISIBLE},
            {K::Static, IDC_STATIC, QStringLiteral("Strevio, Version 1.2"), 40, 10, 119, 8, WS_CHILD | WS_VISIBLE},
            {K::Static, IDC_STATIC, QStringLiteral("Copyright (C) 2026 Quennel"), 40, 25, 119, 8, WS_CHILD | WS_VISIBLE},
            {K::Static, IDC_STATIC, QStringLiteral("Turns a folder of photos into a film."), 40, 40, 180, 8,
             WS_CHILD | WS_VISIBLE},
            {K::Static, IDC_STATIC, QStringLiteral("Free software under the GNU GPL, version 2 or later."), 40, 55, 180, 8,
             WS_CHILD | WS_VISIBLE},
            {K::PushButton, IDOK, QStringLiteral("OK"), 178, 82, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
        }};
    dialogs[IDD_PROPERTIES] = DialogResource{
        QStringLiteral("Properties"), 0, 0, 213, 94,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, QStringLiteral("MS Shell Dlg"), 8,
        {
            {K::PushButton, IDOK, QStringLiteral("OK"), 156, 73, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
            {K::PushButton, IDCANCEL, QStringLiteral("Cancel"), 99, 73, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
            {K::GroupBox, IDC_STATIC, QStringLiteral("Film"), 7, 7, 199, 60, WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
            {K::Edit, IDC_FILM_NAME, QString(), 94, 20, 101, 14,
             WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
            {K::Static, IDC_STATIC, QStringLiteral("File name:"), 16, 26, 70, 8, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT},
            {K::Edit, IDC_FILM_FPS, QString(), 94, 42, 34, 14,
             WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL},
            {K::Static, IDC_STATIC, QStringLiteral("Frames per second:"), 16, 48, 70, 8,
             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT},
        }};
}

// Icons are drawn at 32 x 32: the program's film strip, a photo, a sheet of thumbnails, a reel.
void DrawFilmStrip(QPainter& p)
{
    // Rounded holes and the frames' thin edges are drawn in half pixels, seen at 64 pixels.
    p.fillRect(QRect(3, 2, 26, 28), QColor(40, 40, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int y = 4; y < 28; y += 5) {
        p.drawRoundedRect(QRectF(5, y, 3, 3), 0.8, 0.8);
        p.drawRoundedRect(QRectF(24, y, 3, 3), 0.8, 0.8);
    }
    p.setPen(QPen(QColor(230, 230, 230), 0.5));
    p.setBrush(QColor(90, 160, 230));
    p.drawRect(QRectF(10.25, 5.25, 11.5, 8.5));
    p.setBrush(QColor(90, 180, 90));
    p.drawRect(QRectF(10.25, 17.25, 11.5, 8.5));
}

void DrawPhoto(QPainter& p)
{
    p.fillRect(QRect(2, 5, 28, 22), Qt::white);
    p.fillRect(QRect(4, 7, 24, 18), QColor(120, 180, 240));
    p.setBrush(QColor(250, 210, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(22, 12), 3, 3);
    p.setBrush(QColor(60, 140, 60));
    p.drawPolygon(QPolygon({QPoint(4, 25), QPoint(12, 13), QPoint(20, 25)}));
    p.setBrush(QColor(40, 110, 50));
    p.drawPolygon(QPolygon({QPoint(13, 25), QPoint(20, 16), QPoint(28, 25)}));
}

void DrawThumbnails(QPainter& p)
{
    const QColor colours[] = {QColor(90, 160, 230), QColor(230, 150, 60), QColor(90, 180, 90), QColor(200, 80, 90)};
    int i = 0;
    for (int y = 3; y < 30; y += 14)
        for (int x = 3; x < 30; x += 14) {
            p.fillRect(QRect(x, y, 12, 12), Qt::white);
            p.fillRect(QRect(x + 1, y + 1, 10, 10), colours[i++ % 4]);
            p.setPen(QPen(QColor(120, 120, 120), 0.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(x + 0.25, y + 0.25, 11.5, 11.5));
        }
}

void DrawReel(QPainter& p)
{
    p.setBrush(QColor(60, 60, 70));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(16, 16), 14, 14);
    p.setBrush(QColor(220, 220, 220));
    for (QPoint c : {QPoint(16, 8), QPoint(16, 24), QPoint(8, 16), QPoint(24, 16)})
        p.drawEllipse(c, 3, 3);
    p.drawEllipse(QPoint(16, 16), 2, 2);
}

// Each icon is painted at 32 and at 64 pixels, so that screens at 200 % get it drawn, not doubled.
std::function<QIcon()> PaintedIcon(void (*draw)(QPainter&))
{
    return [draw] {
        QIcon icon;
        for (const int scale : {1, 2}) {
            QPixmap pixmap(32 * scale, 32 * scale);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(scale, scale);
            draw(painter);
            painter.end();
            icon.addPixmap(pixmap);
        }
        return icon;
    };
}
} // namespace

void RegisterStrevioResources()
{
    CResources& r = CResources::Instance();
    RegisterMenus(r.menus);
    RegisterAccelerators(r.accelerators);
    RegisterToolbar(r.toolbars);
    RegisterStrings(r.strings);
    RegisterDialogs(r.dialogs);
    r.icons[IDR_MAINFRAME] = PaintedIcon(DrawFilmStrip);
    r.icons[IDR_PHOTOVIEW] = PaintedIcon(DrawPhoto);
    r.icons[IDR_PHOTOLIST] = PaintedIcon(DrawThumbnails);
    r.icons[IDR_FILMLIST] = PaintedIcon(DrawReel);
}
