#include "viewer/toolbars/toolbartables.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <functional>

namespace ktdv {

namespace {

using S = ButtonStyle;
constexpr bool on = true, off = false;
constexpr unsigned Doc = DocumentButtons, Nav = NavigationButtons,
                   Turn = DocumentButtons | RotateAndFlip, Tool = AnnotationTools;

// key, tooltip, image, style, enabled, visible, pressed, groups
constexpr std::array<ButtonEntry, 30> kMain{{
    {"Open", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Open Document"), 1, S::Button, on, on, off},
    {"Print", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Print/Fax Document"), 2, S::Button, on, on, off,
     Doc},
    {"", "", 0, S::Separator, on, on, off, Doc},
    {"Select", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Select Tool"), 3, S::Check, on, on, on, Doc},
    {"Scroll", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Scroll Document"), 4, S::Check, on, on, off,
     Doc},
    {"", "", 0, S::Separator, on, on, off, Doc},
    {"Annotation", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Display Annotation Toolbox"), 0, S::Check,
     off, off, off, Doc},
    {"", "", 0, S::Separator, on, off, off, Doc},
    {"ZoomIn", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Zoom In"), 5, S::Button, on, on, off, Doc},
    {"ZoomOut", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Zoom Out"), 6, S::Button, on, on, off, Doc},
    {"", "", 0, S::Separator, on, on, off, Doc},
    {"FitWidth", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Fit to Width"), 7, S::Button, on, on, off,
     Doc},
    {"FitHeight", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Fit To Height"), 8, S::Button, on, on, off,
     Doc},
    {"OneToOne", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Actual Size"), 9, S::Button, on, on, off, Doc},
    {"", "", 0, S::Separator, on, on, off, Doc},
    {"Rotate90Left", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Rotate Left"), 10, S::Button, on, on, off,
     Turn},
    {"Flip", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Flip"), 11, S::Button, on, on, off, Turn},
    {"Rotate90Right", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Rotate Right"), 12, S::Button, on, on,
     off, Turn},
    {"", "", 0, S::Separator, on, on, off, Nav},
    {"FirstPage", QT_TRANSLATE_NOOP("ktdv::Toolbar", "First Page"), 13, S::Button, off, on, off,
     Nav},
    {"PreviousPage", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Previous Page"), 14, S::Button, off, on,
     off, Nav},
    {"NextPage", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Next Page"), 15, S::Button, off, on, off, Nav},
    {"LastPage", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Last Page"), 16, S::Button, off, on, off, Nav},
    {"", "", 0, S::Separator, on, on, off},
    {"ShowImage", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Display Document"), 17, S::Button, on, on,
     off},
    {"ShowThumbnails", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Display ThumbNail"), 19, S::Button, off,
     off, off},
    {"ShowBoth", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Display Both"), 18, S::Button, on, on, off},
    {"", "", 0, S::Separator, on, off, off},
    {"", "", 0, S::Separator, on, on, off},
    {"Viewer Settings", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Settings"), 20, S::Button, on, on, off},
}};

constexpr std::array<ButtonEntry, 15> kOcr{{
    {"GoToPage", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Go To Page Number"), 11, S::Check, off, on,
     off},
    {"PrintAnnotations", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Toggle Print Annotations"), 12,
     S::Button, off, on, off},
    {"OcrToFile", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Convert Document to File"), 14, S::Button, on,
     on, off},
    {"OcrToClipboard", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Convert Document to Clipboard"), 15,
     S::Button, on, on, off},
    {"", "", 0, S::Separator, on, on, off},
    {"Select", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Annotation select tool"), 1, S::Check, off, on,
     off, Tool},
    {"Freehand", "", 2, S::Button, on, off, off, Tool},
    {"Rectangle", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Rectangle annotation"), 5, S::Check, off, on,
     off, Tool},
    {"Line", "", 4, S::Button, on, off, off, Tool},
    {"Highlight", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Highlight annotation"), 3, S::Check, off, on,
     off, Tool},
    {"TextFromFile", "", 6, S::Button, on, off, off, Tool},
    {"Text", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Text annotation"), 7, S::Check, off, on, off,
     Tool},
    {"Note", "", 8, S::Button, on, off, off, Tool},
    {"", "", 9, S::Button, on, off, off, Tool},
    {"Stamp", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Stamp annotation"), 10, S::Check, off, on, off,
     Tool},
}};

constexpr std::array<ButtonEntry, 3> kSelection{{
    {"Copy", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Copy Selection to Clipboard"), 1, S::Button, on,
     on, off},
    {"Zoom", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Zoom to Selection"), 2, S::Button, on, on, off},
    {"OCR", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Convert Selection to text"), 3, S::Button, on, on,
     off},
}};

constexpr int kSize = 20;

using Glyph = std::function<void(QPainter&)>;

// Drawn once for each common screen density, so the icons stay sharp on dense screens
// (the icon picks the drawing that fits the screen it is shown on).
constexpr std::array<qreal, 5> kRatios = {1.0, 1.25, 1.5, 2.0, 3.0};

QIcon paint(const Glyph& glyph) {
    QIcon icon;
    for (const qreal ratio : kRatios) {
        QPixmap pm(QSize(kSize, kSize) * ratio);
        pm.setDevicePixelRatio(ratio);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        glyph(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void page(QPainter& p, const QRectF& r = QRectF(4, 2, 12, 16)) {
    p.save();
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.restore();
}

void arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QLineF l(to, from);
    QLineF a = l, b = l;
    a.setLength(4);
    b.setLength(4);
    a.setAngle(l.angle() + 35);
    b.setAngle(l.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void triangle(QPainter& p, bool left, double x) {
    QPainterPath path;
    const double tip = left ? x : x + 6;
    const double base = left ? x + 6 : x;
    path.moveTo(tip, 10);
    path.lineTo(base, 4);
    path.lineTo(base, 16);
    path.closeSubpath();
    p.fillPath(path, QColor(40, 40, 40));
}

void magnifier(QPainter& p, bool plus) {
    p.drawEllipse(QRectF(3, 3, 10, 10));
    p.drawLine(QPointF(12, 12), QPointF(17, 17));
    p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
    if (plus)
        p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
}

void rotation(QPainter& p, bool left) {
    p.drawArc(QRectF(4, 4, 12, 12), left ? 0 : 180 * 16, left ? 270 * 16 : -270 * 16);
    triangle(p, left, left ? 2 : 12);
}

void text(QPainter& p, const QString& s, const QColor& c = QColor(40, 40, 40)) {
    QFont f = p.font();
    f.setPixelSize(s.size() > 2 ? 8 : 11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, s);
}

}  // namespace

std::span<const ButtonEntry> mainToolbarButtons() {
    return kMain;
}
std::span<const ButtonEntry> ocrToolbarButtons() {
    return kOcr;
}
std::span<const ButtonEntry> selectionToolbarButtons() {
    return kSelection;
}

QList<QIcon> mainToolbarImages() {
    const QList<Glyph> glyphs{
        // 1 open: a folder
        [](QPainter& p) {
            p.setBrush(QColor(240, 200, 90));
            p.drawRect(QRectF(2, 6, 16, 11));
            p.drawRect(QRectF(2, 4, 7, 2));
        },
        // 2 print: a printer
        [](QPainter& p) {
            page(p, QRectF(6, 2, 8, 6));
            p.setBrush(QColor(180, 180, 180));
            p.drawRect(QRectF(2, 8, 16, 7));
            page(p, QRectF(6, 13, 8, 5));
        },
        // 3 select: a pointer arrow
        [](QPainter& p) {
            QPainterPath path;
            path.moveTo(5, 2);
            path.lineTo(5, 16);
            path.lineTo(9, 12);
            path.lineTo(12, 18);
            path.lineTo(14, 17);
            path.lineTo(11, 11);
            path.lineTo(16, 11);
            path.closeSubpath();
            p.setBrush(Qt::white);
            p.drawPath(path);
        },
        // 4 scroll: a four-way arrow
        [](QPainter& p) {
            arrow(p, {10, 10}, {10, 2});
            arrow(p, {10, 10}, {10, 18});
            arrow(p, {10, 10}, {2, 10});
            arrow(p, {10, 10}, {18, 10});
        },
        [](QPainter& p) { magnifier(p, true); },
        [](QPainter& p) { magnifier(p, false); },
        // 7 fit width
        [](QPainter& p) {
            page(p, QRectF(2, 4, 16, 12));
            arrow(p, {10, 10}, {3, 10});
            arrow(p, {10, 10}, {17, 10});
        },
        // 8 fit height
        [](QPainter& p) {
            page(p, QRectF(4, 2, 12, 16));
            arrow(p, {10, 10}, {10, 3});
            arrow(p, {10, 10}, {10, 17});
        },
        [](QPainter& p) { text(p, QStringLiteral("1:1")); },
        [](QPainter& p) { rotation(p, true); },
        // 11 flip: two mirrored triangles
        [](QPainter& p) {
            p.drawLine(QPointF(10, 2), QPointF(10, 18));
            triangle(p, true, 2);
            triangle(p, false, 12);
        },
        [](QPainter& p) { rotation(p, false); },
        // 13 to 16: first, previous, next, last
        [](QPainter& p) {
            p.drawLine(QPointF(4, 4), QPointF(4, 16));
            triangle(p, true, 6);
            triangle(p, true, 12);
        },
        [](QPainter& p) { triangle(p, true, 7); },
        [](QPainter& p) { triangle(p, false, 7); },
        [](QPainter& p) {
            triangle(p, false, 2);
            triangle(p, false, 8);
            p.drawLine(QPointF(16, 4), QPointF(16, 16));
        },
        // 17 document only
        [](QPainter& p) { page(p); },
        // 18 thumbnails and document
        [](QPainter& p) {
            page(p, QRectF(1, 3, 5, 6));
            page(p, QRectF(1, 11, 5, 6));
            page(p, QRectF(8, 2, 11, 16));
        },
        // 19 thumbnails only
        [](QPainter& p) {
            for (int i = 0; i < 4; ++i)
                page(p, QRectF(2 + (i % 2) * 9, 2 + (i / 2) * 9, 7, 7));
        },
        // 20 settings: a gear
        [](QPainter& p) {
            for (int i = 0; i < 4; ++i) {
                p.save();
                p.translate(10, 10);
                p.rotate(45.0 * i);
                p.drawLine(QPointF(0, -9), QPointF(0, 9));
                p.restore();
            }
            p.setBrush(QColor(160, 160, 160));
            p.drawEllipse(QRectF(4, 4, 12, 12));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(8, 8, 4, 4));
        },
    };
    QList<QIcon> icons;
    for (const Glyph& g : glyphs)
        icons.append(paint(g));
    return icons;
}

QList<QIcon> ocrToolbarImages() {
    const QColor yellow(250, 230, 60);
    const QList<Glyph> glyphs{
        // 1 annotation select
        [](QPainter& p) {
            p.setPen(QPen(QColor(40, 40, 40), 1, Qt::DashLine));
            p.drawRect(QRectF(3, 3, 14, 14));
        },
        // 2 freehand
        [](QPainter& p) {
            QPainterPath path;
            path.moveTo(2, 14);
            path.cubicTo(6, 2, 12, 18, 18, 6);
            p.drawPath(path);
        },
        // 3 highlight
        [yellow](QPainter& p) {
            p.fillRect(QRectF(2, 6, 16, 8), yellow);
            text(p, QStringLiteral("ab"));
        },
        // 4 line
        [](QPainter& p) { p.drawLine(QPointF(3, 17), QPointF(17, 3)); },
        // 5 rectangle
        [](QPainter& p) {
            p.setPen(QPen(Qt::red, 2));
            p.drawRect(QRectF(3, 4, 14, 12));
        },
        // 6 text from file
        [](QPainter& p) {
            page(p);
            text(p, QStringLiteral("T"));
        },
        // 7 text
        [](QPainter& p) {
            p.drawRect(QRectF(2, 3, 16, 14));
            text(p, QStringLiteral("A"));
        },
        // 8 note
        [yellow](QPainter& p) {
            p.setBrush(yellow);
            p.drawRect(QRectF(3, 3, 14, 14));
        },
        // 9 image
        [](QPainter& p) {
            p.drawRect(QRectF(2, 4, 16, 12));
            p.drawLine(QPointF(4, 14), QPointF(9, 8));
            p.drawLine(QPointF(9, 8), QPointF(16, 14));
        },
        // 10 stamp
        [](QPainter& p) {
            p.setBrush(QColor(200, 60, 60));
            p.drawRect(QRectF(7, 2, 6, 8));
            p.drawRect(QRectF(3, 10, 14, 4));
            p.drawLine(QPointF(3, 17), QPointF(17, 17));
        },
        // 11 go to page
        [](QPainter& p) {
            page(p);
            text(p, QStringLiteral("#"));
        },
        // 12 print annotations on: printer with a red mark
        [](QPainter& p) {
            p.setBrush(QColor(180, 180, 180));
            p.drawRect(QRectF(2, 8, 16, 7));
            p.setPen(QPen(Qt::red, 2));
            p.drawRect(QRectF(6, 2, 8, 6));
        },
        // 13 print annotations off: the same, crossed out
        [](QPainter& p) {
            p.setBrush(QColor(180, 180, 180));
            p.drawRect(QRectF(2, 8, 16, 7));
            p.drawRect(QRectF(6, 2, 8, 6));
            p.setPen(QPen(Qt::black, 2));
            p.drawLine(QPointF(2, 2), QPointF(18, 18));
        },
        // 14 recognise to file
        [](QPainter& p) {
            page(p);
            text(p, QStringLiteral("Tf"));
        },
        // 15 recognise to clipboard
        [](QPainter& p) {
            p.setBrush(QColor(200, 160, 100));
            p.drawRect(QRectF(3, 3, 14, 15));
            page(p, QRectF(6, 1, 8, 4));
            text(p, QStringLiteral("T"));
        },
    };
    QList<QIcon> icons;
    for (const Glyph& g : glyphs)
        icons.append(paint(g));
    return icons;
}

QList<QIcon> selectionToolbarImages() {
    const QList<Glyph> glyphs{
        [](QPainter& p) {
            page(p, QRectF(2, 2, 10, 12));
            page(p, QRectF(7, 6, 10, 12));
        },
        [](QPainter& p) {
            p.setPen(QPen(QColor(40, 40, 40), 1, Qt::DashLine));
            p.drawRect(QRectF(2, 2, 10, 10));
            p.setPen(QPen(QColor(40, 40, 40), 1.5));
            magnifier(p, true);
        },
        [](QPainter& p) { text(p, QStringLiteral("Abc")); },
    };
    QList<QIcon> icons;
    for (const Glyph& g : glyphs)
        icons.append(paint(g));
    return icons;
}

}  // namespace ktdv
