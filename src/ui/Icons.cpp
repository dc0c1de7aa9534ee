#include "ui/Icons.h"

#include "template/ProgramFolder.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace vellum::ui {
namespace {

const QHash<QString, QString>& ThemeNames() {
    static const QHash<QString, QString> names = {
        {"FileNew", "document-new"},       {"FileOpen", "document-open"},
        {"FileSave", "document-save"},     {"FileSupport", "folder-open"},
        {"Delete", "edit-delete"},         {"Cut", "edit-cut"},
        {"Copy", "edit-copy"},             {"PasteReplace", "edit-paste"},
        {"Find", "edit-find"},             {"Back", "go-previous"},
        {"Forward", "go-next"},            {"UpLevel", "go-up"},
        {"InsertRecord", "list-add"},      {"Exit", "application-exit"},
        {"Help", "help-about"},            {"Options", "preferences-system"},
        // The configuration editor's commands.
        {"New", "document-new"},           {"Open", "document-open"},
        {"Save", "document-save"},         {"SaveAs", "document-save-as"},
        {"Revert", "document-revert"},     {"MakeDefault", "emblem-default"},
        {"RevertToDefault", "edit-undo"},  {"MoveUp", "go-up"},
        {"MoveDown", "go-down"},           {"InsertGroup", "folder-new"},
        {"InsertVariable", "list-add"},
    };
    return names;
}

void DrawDocument(QPainter& p, QRectF r, QColor fill) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(fill);
    p.drawPath(path);
}

void DrawArrow(QPainter& p, QPointF from, QPointF to) {
    p.setPen(QPen(QColor(30, 90, 170), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF a = line;
    a.setLength(7);
    a.setAngle(line.angle() + 40);
    QLineF b = line;
    b.setLength(7);
    b.setAngle(line.angle() - 40);
    p.drawLine(a);
    p.drawLine(b);
}

void DrawMagnifier(QPainter& p, QPointF centre) {
    p.setPen(QPen(QColor(60, 60, 60), 2.5));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(centre, 6, 6);
    p.setPen(QPen(QColor(60, 60, 60), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(4.5, 4.5), centre + QPointF(10, 10));
}

void DrawPlus(QPainter& p, QPointF c) {
    p.setPen(QPen(QColor(20, 140, 40), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
    p.drawLine(c + QPointF(0, -5), c + QPointF(0, 5));
}

void DrawShield(QPainter& p, QColor fill) {
    QPainterPath s;
    s.moveTo(12, 2);
    s.lineTo(21, 5);
    s.cubicTo(21, 14, 17, 19, 12, 22);
    s.cubicTo(7, 19, 3, 14, 3, 5);
    s.closeSubpath();
    p.setBrush(fill);
    p.drawPath(s);
}

void DrawFloppy(QPainter& p, QColor paper) {
    p.setBrush(QColor(60, 100, 170));
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
    p.setBrush(paper);
    p.drawRect(QRectF(7, 3, 10, 7));
    p.drawRect(QRectF(6, 14, 12, 7));
}

void DrawFolder(QPainter& p, QColor fill) {
    p.setBrush(fill);
    p.drawRect(QRectF(2, 7, 20, 13));
    p.drawRect(QRectF(2, 4, 8, 3));
}

// A circling arrow that turns back, in `colour`.
void DrawTurnBack(QPainter& p, QColor colour) {
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 5, 14, 14), 90 * 16, 270 * 16);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(12, 1), QPointF(12, 9), QPointF(7, 5)}));
}

// Two rows of an outline, each behind a box with a plus (expand) or a minus.
void DrawOutline(QPainter& p, bool expand) {
    for (int y : {4, 14}) {
        p.setPen(QPen(QColor(70, 70, 70), 1.2));
        p.setBrush(QColor(250, 250, 245));
        p.drawRect(QRectF(2, y, 7, 7));
        p.drawLine(QPointF(4, y + 3.5), QPointF(7, y + 3.5));
        if (expand)
            p.drawLine(QPointF(5.5, y + 2), QPointF(5.5, y + 5));
        p.setPen(QPen(QColor(90, 120, 170), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, y + 3.5), QPointF(21, y + 3.5));
        if (expand)
            p.drawLine(QPointF(14, y + 7.5), QPointF(21, y + 7.5));
    }
}

// Simple glyphs for everything the theme lacks; 24 by 24 pixels.
QPixmap Draw(const QString& key) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 70), 1.2));
    const QColor paper(250, 250, 245);
    if (key == "FileNew" || key == "New" || key == "InsertRecord") {
        DrawDocument(p, {4, 2, 14, 19}, paper);
        DrawPlus(p, {16, 16});
    } else if (key == "FileOpen" || key == "Open" || key == "FileSupport") {
        DrawFolder(p, key == "FileSupport" ? QColor(170, 200, 240) : QColor(240, 200, 90));
    } else if (key == "InsertGroup") {
        DrawFolder(p, QColor(240, 200, 90));
        DrawPlus(p, {16, 15});
    } else if (key == "FileSave" || key == "Save") {
        DrawFloppy(p, paper);
    } else if (key == "SaveAs") {
        DrawFloppy(p, paper);
        p.setPen(QPen(QColor(200, 120, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 21), QPointF(22, 12));
    } else if (key == "Revert") {
        DrawDocument(p, {6, 6, 13, 16}, paper);
        DrawTurnBack(p, QColor(30, 90, 170));
    } else if (key == "RevertToDefault") {
        DrawTurnBack(p, QColor(200, 70, 50));
    } else if (key == "MakeDefault") {
        DrawDocument(p, {3, 2, 14, 19}, paper);
        p.setBrush(QColor(240, 190, 40));
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 ? 2.8 : 6.5, a = std::numbers::pi * (0.5 + i / 5.0);
            star << QPointF(16 + r * std::cos(a), 16 - r * std::sin(a));
        }
        p.drawPolygon(star);
    } else if (key == "ExpandAll" || key == "CollapseAll") {
        DrawOutline(p, key == "ExpandAll");
    } else if (key == "MoveUp" || key == "MoveDown") {
        p.setBrush(paper);
        p.drawRect(QRectF(2, 9, 11, 6));
        if (key == "MoveUp")
            DrawArrow(p, {18, 21}, {18, 3});
        else
            DrawArrow(p, {18, 3}, {18, 21});
    } else if (key == "InsertVariable") {
        p.setBrush(paper);
        p.drawRect(QRectF(2, 5, 16, 5));
        p.setPen(QPen(QColor(70, 70, 70), 1.2, Qt::DashLine));
        p.drawRect(QRectF(2, 12, 12, 5));
        DrawPlus(p, {18, 17});
    } else if (key == "Exit") {
        p.setBrush(QColor(150, 110, 70));
        p.drawRect(QRectF(3, 2, 11, 20));
        DrawArrow(p, {10, 12}, {22, 12});
    } else if (key == "FileManageIndices") {
        DrawDocument(p, {4, 2, 16, 20}, paper);
        for (int y = 7; y <= 17; y += 4)
            p.drawLine(QPointF(7, y), QPointF(17, y));
    } else if (key == "Delete") {
        p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    } else if (key == "Cut") {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.drawEllipse(QPointF(7, 18), 3.5, 3.5);
        p.drawEllipse(QPointF(17, 18), 3.5, 3.5);
        p.drawLine(QPointF(9, 15), QPointF(17, 3));
        p.drawLine(QPointF(15, 15), QPointF(7, 3));
    } else if (key == "Copy") {
        DrawDocument(p, {3, 2, 12, 15}, paper);
        DrawDocument(p, {9, 7, 12, 15}, paper);
    } else if (key.startsWith("Paste")) {
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(3, 4, 15, 18), 2, 2);
        DrawDocument(p, {9, 9, 12, 13}, paper);
        if (key == "PasteMerge")
            DrawPlus(p, {15, 15});
        else if (key == "PasteInto")
            DrawArrow(p, {21, 3}, {14, 12});
    } else if (key == "Find" || key == "FindAll") {
        if (key == "FindAll")
            DrawDocument(p, {2, 2, 12, 15}, paper);
        DrawMagnifier(p, {10, 10});
    } else if (key == "SafeEditingOn" || key == "SafeEditingOff") {
        DrawShield(p, key == "SafeEditingOn" ? QColor(60, 170, 80) : QColor(200, 70, 50));
    } else if (key == "InsertSubrecord") {
        p.setBrush(paper);
        p.drawRect(QRectF(3, 4, 14, 5));
        p.drawRect(QRectF(3, 11, 14, 5));
        DrawPlus(p, {17, 17});
    } else if (key == "Back") {
        DrawArrow(p, {20, 12}, {4, 12});
    } else if (key == "Forward") {
        DrawArrow(p, {4, 12}, {20, 12});
    } else if (key == "UpLevel") {
        DrawArrow(p, {12, 20}, {12, 4});
    } else if (key == "Debug") {
        p.setBrush(QColor(120, 80, 40));
        p.drawEllipse(QRectF(7, 6, 10, 14));
        for (int y : {9, 13, 17}) {
            p.drawLine(QPointF(3, y), QPointF(7, y));
            p.drawLine(QPointF(17, y), QPointF(21, y));
        }
    } else if (key == "Orientation") {
        p.setBrush(QColor(200, 215, 235));
        p.drawRect(QRectF(3, 3, 18, 5));
        p.drawRect(QRectF(3, 10, 5, 11));
    } else if (key == "SubRecord" || key == "SubRecordRequiredGroup" || key == "SubRecordRequiredRecord") {
        const QColor c = key == "SubRecord" ? QColor(150, 150, 150)
                         : key == "SubRecordRequiredGroup" ? QColor(50, 110, 200)
                                                           : QColor(200, 60, 50);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(6, 8, 12, 8), 2, 2);
    } else if (key == "Unknown") {
        p.setBrush(QColor(230, 230, 230));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 3, 3);
        p.setFont(QFont("Sans", 11, QFont::Bold));
        p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, "?");
    } else {
        // A record-type category: a small folder tinted by its name.
        const int hue = static_cast<int>(qHash(key) % 360);
        p.setBrush(QColor::fromHsv(hue, 90, 235));
        p.drawRect(QRectF(3, 8, 18, 12));
        p.drawRect(QRectF(3, 5, 7, 3));
    }
    return pm;
}

} // namespace

QIcon CommandIcon(const QString& key) {
    static QHash<QString, QIcon> cache;
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    QIcon icon;
    const QString theme = ThemeNames().value(key);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme))
        icon = QIcon::fromTheme(theme);
    if (icon.isNull())
        icon = QIcon(Draw(key));
    cache.insert(key, icon);
    return icon;
}

QIcon MarkedIcon(const QString& key, const QString& mark) {
    static QHash<QString, QIcon> cache;
    const QString cacheKey = key + QLatin1Char('/') + mark;
    if (auto it = cache.constFind(cacheKey); it != cache.constEnd())
        return *it;
    QPixmap pm = CommandIcon(key).pixmap(24, 24);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const bool added = mark == QLatin1String("Added");
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(added ? QColor(30, 140, 40) : QColor(200, 100, 0));
    p.drawEllipse(QPointF(17.5, 17.5), 6, 6);
    if (added) {
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 17.5), QPointF(20.5, 17.5));
        p.drawLine(QPointF(17.5, 14.5), QPointF(17.5, 20.5));
    }
    p.end();
    const QIcon icon(pm);
    cache.insert(cacheKey, icon);
    return icon;
}

QIcon ApplicationIcon() {
    // An installed copy has every size in the icon theme; a build tree has its one picture.
    const std::filesystem::path shipped =
        ProgramFolder::ShippedFolder(ProgramFolder::ExecutableFolder()) / "vellum.png";
    const QString file = QString::fromStdString(shipped.string());
    const QIcon fallback = QFile::exists(file) ? QIcon(file) : CommandIcon("Unknown");
    return QIcon::fromTheme("vellum", fallback);
}

} // namespace vellum::ui
