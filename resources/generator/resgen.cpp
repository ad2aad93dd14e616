// Draws the program's icons and pictures into a folder (the resources/ folder of the source tree):
//   resgen <folder>
// Run it again after changing a drawing; the PNG files it writes are compiled into the program.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

QString g_out;

bool save(const QImage &img, const QString &name)
{
    const QString path = g_out + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QFont font(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// A small handset seen from the front, scaled into `r`.
void drawHandsetGlyph(QPainter &p, const QRectF &r, const QColor &body)
{
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    p.drawRoundedRect(r, r.width() * 0.22, r.width() * 0.22);
    const QRectF screen(r.left() + r.width() * 0.2, r.top() + r.height() * 0.14, r.width() * 0.6,
                        r.height() * 0.36);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd8, 0xf0, 0xff));
    p.drawRect(screen);
    p.setBrush(body.lighter(170));
    for (int row = 0; row < 2; ++row)
        p.drawRect(QRectF(r.left() + r.width() * 0.22, r.top() + r.height() * (0.6 + row * 0.16),
                          r.width() * 0.56, r.height() * 0.08));
}

// Tray icons: a handset with a status badge; the busy badge's arrows turn a quarter per phase.
QImage trayIcon(int kind, int phase)
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawHandsetGlyph(p, QRectF(1.5, 0.5, 8, 14), QColor(0x3a, 0x4a, 0x5c));
    const QRectF badge(7.5, 7.5, 8, 8);
    if (kind == 0) { // stopped: red disc with a white bar
        p.setPen(QPen(QColor(0x80, 0x10, 0x10), 0.8));
        p.setBrush(QColor(0xd8, 0x2a, 0x2a));
        p.drawEllipse(badge);
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9.6, 11.5), QPointF(13.4, 11.5));
    } else if (kind == 1) { // ready: green disc with a tick
        p.setPen(QPen(QColor(0x10, 0x60, 0x20), 0.8));
        p.setBrush(QColor(0x2c, 0xb0, 0x45));
        p.drawEllipse(badge);
        p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF{QPointF(9.4, 11.6), QPointF(11.0, 13.2), QPointF(13.7, 9.9)});
    } else { // busy: blue disc with a ring whose gap turns a quarter per phase
        p.setPen(QPen(QColor(0x10, 0x30, 0x80), 0.8));
        p.setBrush(QColor(0x2a, 0x6c, 0xd8));
        p.drawEllipse(badge);
        p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF arc(9.3, 9.3, 4.4, 4.4);
        p.drawArc(arc, (90 - phase * 90) * 16, 240 * 16);
    }
    return img;
}

QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 48.0;
    p.scale(s, s);
    QLinearGradient g(0, 0, 48, 48);
    g.setColorAt(0, QColor(0x2f, 0x8f, 0xd8));
    g.setColorAt(1, QColor(0x16, 0x4a, 0x8c));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 10, 10);
    drawHandsetGlyph(p, QRectF(9, 8, 16, 30), QColor(0xf4, 0xf6, 0xf8));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(24, 16, 18, 18), 30 * 16, 150 * 16);
    p.drawArc(QRectF(24, 16, 18, 18), 210 * 16, 150 * 16);
    return img;
}

struct PhoneLook
{
    const char *code;
    QColor body;
    int shape; // 0 bar, 1 slim, 2 flip, 3 wide
};

QImage phonePicture(const PhoneLook &look)
{
    QImage img = canvas(106, 150);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF body;
    switch (look.shape) {
    case 1:
        body = QRectF(30, 6, 46, 138);
        break;
    case 2:
        body = QRectF(24, 10, 58, 132);
        break;
    case 3:
        body = QRectF(16, 16, 74, 122);
        break;
    default:
        body = QRectF(26, 8, 54, 134);
        break;
    }
    // Shadow, then the body with a soft light from the top left.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(body.translated(3, 3), 12, 12);
    QLinearGradient g(body.topLeft(), body.bottomRight());
    g.setColorAt(0, look.body.lighter(140));
    g.setColorAt(1, look.body.darker(130));
    p.setPen(QPen(look.body.darker(200), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(body, 12, 12);
    if (look.shape == 2) { // the hinge of a folding handset
        p.setPen(QPen(look.body.darker(220), 2));
        p.drawLine(QPointF(body.left() + 4, body.center().y() - 4),
                   QPointF(body.right() - 4, body.center().y() - 4));
    }
    // Earpiece, screen with the model code, keys.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRoundedRect(QRectF(body.center().x() - 9, body.top() + 6, 18, 3), 1.5, 1.5);
    const qreal sw = body.width() - 14;
    const QRectF screen(body.left() + 7, body.top() + 14, sw, look.shape == 2 ? 38 : 46);
    QLinearGradient sg(screen.topLeft(), screen.bottomLeft());
    sg.setColorAt(0, QColor(0xc8, 0xe8, 0xff));
    sg.setColorAt(1, QColor(0x88, 0xb8, 0xe0));
    p.setBrush(sg);
    p.setPen(QPen(QColor(0x30, 0x40, 0x50), 1));
    p.drawRect(screen);
    p.setPen(QColor(0x10, 0x28, 0x48));
    p.setFont(font(11, true));
    p.drawText(screen, Qt::AlignCenter, QString::fromLatin1(look.code));
    const qreal keysTop = look.shape == 2 ? body.center().y() + 4 : screen.bottom() + 10;
    const qreal keysBottom = body.bottom() - 8;
    const int rows = 5;
    const qreal kh = (keysBottom - keysTop) / rows;
    const qreal kw = sw / 3;
    p.setPen(QPen(look.body.darker(180), 0.8));
    p.setBrush(look.body.lighter(180));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRoundedRect(
                QRectF(body.left() + 7 + c * kw + 1.5, keysTop + r * kh + 1.2, kw - 3, kh - 2.4), 3, 3);
    return img;
}

void drawWaves(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        QPainterPath path;
        const qreal y = r.top() + r.height() * (0.55 + i * 0.07);
        path.moveTo(r.left(), y);
        path.cubicTo(r.left() + r.width() * 0.3, y - 30 + i * 4, r.left() + r.width() * 0.6, y + 30 - i * 3,
                     r.right(), y - 10);
        p.drawPath(path);
    }
}

QImage background(int w, int h, const QColor &top, const QColor &bottom)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(img.rect(), g);
    drawWaves(p, QRectF(0, 0, w, h), QColor(255, 255, 255, 40));
    return img;
}

QImage splash(bool ours)
{
    const QColor top = ours ? QColor(0x1d, 0x5f, 0xa8) : QColor(0x2d, 0x7a, 0x4a);
    const QColor bottom = ours ? QColor(0x0b, 0x27, 0x4d) : QColor(0x10, 0x3a, 0x22);
    QImage img = background(361, 293, top, bottom);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The product name over the upper third; the status lines below are drawn by the window.
    p.drawImage(QRectF(24, 24, 64, 64), appIcon(64));
    p.setPen(Qt::white);
    p.setFont(font(13));
    p.drawText(QRectF(100, 28, 240, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    p.setFont(font(30, true));
    p.drawText(QRectF(98, 46, 260, 40), Qt::AlignLeft | Qt::AlignVCenter,
               ours ? QStringLiteral("Orvia Link") : QStringLiteral("Orvia"));
    p.setPen(QColor(255, 255, 255, 120));
    p.drawLine(QPointF(24, 104), QPointF(337, 104));
    return img;
}

// The tray window's background: the product name over a light band, the handset's place framed.
QImage trayBackground()
{
    QImage img = background(446, 300, QColor(0xf4, 0xf8, 0xfc), QColor(0xc4, 0xd8, 0xec));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 446, 0);
    band.setColorAt(0, QColor(0x1d, 0x5f, 0xa8));
    band.setColorAt(1, QColor(0x3d, 0x9f, 0xe8));
    p.fillRect(QRectF(0, 0, 446, 84), band);
    p.drawImage(QRectF(18, 12, 60, 60), appIcon(60));
    p.setPen(Qt::white);
    p.setFont(font(12));
    p.drawText(QRectF(92, 14, 300, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    p.setFont(font(28, true));
    p.drawText(QRectF(90, 30, 340, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvia Link"));
    p.setPen(QPen(QColor(0x1d, 0x5f, 0xa8, 90), 1));
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(QRectF(28, 98, 122, 162), 10, 10);
    return img;
}

QImage logo()
{
    QImage img = canvas(300, 97);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 300, 0);
    g.setColorAt(0, QColor(0x1d, 0x5f, 0xa8));
    g.setColorAt(1, QColor(0x3d, 0x9f, 0xe8));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, 300, 97), 10, 10);
    p.drawImage(QRectF(14, 16, 64, 64), appIcon(64));
    p.setPen(Qt::white);
    p.setFont(font(13));
    p.drawText(QRectF(92, 18, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    p.setFont(font(30, true));
    p.drawText(QRectF(90, 36, 208, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvia Link"));
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <resources folder>\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    bool ok = save(trayIcon(0, 0), QStringLiteral("icons/stop.png")) &&
              save(trayIcon(1, 0), QStringLiteral("icons/ready.png"));
    for (int phase = 0; phase < 4; ++phase)
        ok = ok && save(trayIcon(2, phase), QStringLiteral("icons/busy%1.png").arg(phase + 1));
    ok = ok && save(appIcon(48), QStringLiteral("icons/kivo.png"));
    const PhoneLook looks[] = {{"K110", QColor(0x50, 0x58, 0x60), 0},  {"K310", QColor(0x2a, 0x4a, 0x80), 0},
                               {"D240", QColor(0x80, 0x30, 0x30), 3},  {"G170", QColor(0x40, 0x40, 0x40), 1},
                               {"F660", QColor(0x70, 0x70, 0x78), 2},  {"F550", QColor(0x30, 0x60, 0x50), 2},
                               {"H280X", QColor(0x22, 0x22, 0x2a), 1}, {"M230", QColor(0x90, 0x70, 0x30), 0},
                               {"L420", QColor(0x5a, 0x3a, 0x70), 3}};
    for (const PhoneLook &l : looks)
        ok = ok && save(phonePicture(l), QStringLiteral("phones/%1.png").arg(QLatin1String(l.code)));
    ok = ok && save(splash(true), QStringLiteral("images/splash.png")) &&
         save(splash(false), QStringLiteral("images/splash_sibling.png")) &&
         save(trayBackground(), QStringLiteral("images/tray_background.png")) &&
         save(background(351, 357, QColor(0xf4, 0xf8, 0xfc), QColor(0xc4, 0xd8, 0xec)),
              QStringLiteral("images/about_background.png")) &&
         save(logo(), QStringLiteral("images/logo.png"));
    return ok ? 0 : 1;
}
