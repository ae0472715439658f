#include "ui/Theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor kDeepBlue(0x1f, 0x4e, 0x8c);
const QColor kBlue(0x2f, 0x6f, 0xc4);
const QColor kPaleBlue(0xe8, 0xf0, 0xfb);
const QColor kOrange(248, 114, 23);

}  // namespace

QString SysquillStyleSheet() {
    // Flat: no bevels, one blue family, white lists. Item backgrounds are
    // left to the list model so header rows keep their colours.
    return QStringLiteral(R"(
QMainWindow, QWidget#homePage { background: #f4f7fc; }
QToolBar { background: #1f4e8c; border: none; spacing: 6px; padding: 4px; }
QToolBar QLabel#descriptionLine { color: #ffffff; padding: 0 8px; }
QToolButton { background: #2f6fc4; color: #ffffff; border: none; border-radius: 3px; padding: 2px 6px; }
QToolButton:hover { background: #4a8ae0; }
QToolButton:pressed { background: #173c6e; }
QLineEdit { background: #ffffff; border: 1px solid #9db8e0; border-radius: 2px; padding: 3px; min-height: 22px; }
QLineEdit:focus { border: 1px solid #ff8c00; }
QLineEdit#hostBox { font-weight: bold; }
QMenuBar { background: #2f6fc4; color: #ffffff; }
QMenuBar::item { background: transparent; padding: 4px 10px; }
QMenuBar::item:selected { background: #1f4e8c; }
QMenu { background: #ffffff; border: 1px solid #2f6fc4; }
QMenu::item { padding: 4px 24px 4px 16px; color: #1a2b44; }
QMenu::item:selected { background: #2f6fc4; color: #ffffff; }
QTabWidget::pane { border: 1px solid #9db8e0; background: #ffffff; }
QTabBar::tab { background: #2f6fc4; color: #ffffff; padding: 5px 16px; border: none; margin-right: 2px; }
QTabBar::tab:selected { background: #1f4e8c; }
QTreeView { background: #ffffff; border: none; selection-background-color: #2f6fc4; selection-color: #ffffff; }
QHeaderView::section { background: #e8f0fb; color: #1a2b44; border: none; border-right: 1px solid #c4d4ec;
                       border-bottom: 1px solid #9db8e0; padding: 4px 6px; font-weight: bold; }
QStatusBar { background: #1f4e8c; color: #ffffff; }
QScrollBar:vertical { background: #e8f0fb; width: 12px; margin: 0; }
QScrollBar::handle:vertical { background: #9db8e0; min-height: 24px; border-radius: 4px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }
QScrollBar:horizontal { background: #e8f0fb; height: 12px; margin: 0; }
QScrollBar::handle:horizontal { background: #9db8e0; min-width: 24px; border-radius: 4px; }
)");
}

QPixmap HomePicture(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width / 400.0, height / 300.0);

    // A monitor showing a property list, and a quill writing beside it.
    QLinearGradient glow(0, 0, 0, 300);
    glow.setColorAt(0, kPaleBlue);
    glow.setColorAt(1, QColor(0xd0, 0xe0, 0xf6));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(200, 150), 190, 140);

    p.setBrush(kDeepBlue);
    p.drawRoundedRect(QRectF(70, 50, 220, 150), 10, 10);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(82, 62, 196, 126));
    p.setBrush(kDeepBlue);
    p.drawRect(QRectF(165, 200, 30, 28));
    p.drawRoundedRect(QRectF(130, 226, 100, 12), 4, 4);

    // The list on the screen: one orange header row, then blue lines.
    for (int row = 0; row < 6; ++row) {
        QRectF line(90, 70 + row * 19, 180, 13);
        if (row == 0) {
            p.setBrush(QColor(255, 140, 0));
            p.drawRect(line);
        } else {
            p.setBrush(kBlue);
            p.drawRect(QRectF(line.left(), line.top() + 3, 60, 7));
            p.setBrush(QColor(0x9d, 0xb8, 0xe0));
            p.drawRect(QRectF(line.left() + 72, line.top() + 3, 40 + (row * 23) % 60, 7));
        }
    }

    // The quill.
    p.save();
    p.translate(320, 200);
    p.rotate(-35);
    QPainterPath feather;
    feather.moveTo(0, 0);
    feather.cubicTo(-22, -40, -18, -110, 0, -150);
    feather.cubicTo(18, -110, 22, -40, 0, 0);
    p.setBrush(kOrange);
    p.drawPath(feather);
    p.setPen(QPen(kDeepBlue, 3));
    p.drawLine(QPointF(0, 20), QPointF(0, -140));
    p.setPen(QPen(Qt::white, 1.5));
    for (int k = 1; k < 7; ++k) {
        p.drawLine(QPointF(0, -k * 18), QPointF(-12, -k * 18 + 10));
        p.drawLine(QPointF(0, -k * 18), QPointF(12, -k * 18 + 10));
    }
    p.restore();
    return pixmap;
}

QIcon ToolbarIcon(ToolIcon kind) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    switch (kind) {
        case ToolIcon::Refresh: {
            p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
            QPolygonF head{{21, 3}, {27, 9}, {19, 11}};
            p.setBrush(Qt::white);
            p.drawPolygon(head);
            break;
        }
        case ToolIcon::Export:
            p.drawRect(QRectF(6, 4, 20, 24));
            p.drawLine(QPointF(11, 12), QPointF(21, 12));
            p.drawLine(QPointF(11, 18), QPointF(21, 18));
            p.drawLine(QPointF(11, 24), QPointF(17, 24));
            break;
        case ToolIcon::Connect:
            p.drawRect(QRectF(4, 6, 24, 15));
            p.drawLine(QPointF(16, 21), QPointF(16, 27));
            p.drawLine(QPointF(9, 27), QPointF(23, 27));
            break;
        case ToolIcon::Search:
            p.drawEllipse(QRectF(5, 5, 16, 16));
            p.drawLine(QPointF(19, 19), QPointF(27, 27));
            break;
        case ToolIcon::Exit:
            p.drawLine(QPointF(8, 8), QPointF(24, 24));
            p.drawLine(QPointF(24, 8), QPointF(8, 24));
            break;
    }
    return QIcon(pixmap);
}
