// Draws the pictures of the board and writes them as PNG files:
//   glyph_cfg.png    32 x 16  settings button: a hand writing on a sheet, normal and disabled
//   glyph_reset.png  32 x 16  reset button: a red cross, normal and disabled
//   ball.png         49 x 49  the serve marker, a tennis ball on a transparent ground
//   logo.png        175 x 32  the program's name, 16 colours
//   ball@4x.png, logo@4x.png  the same at four times the size, for a full-screen board
//   question.png     32 x 32  a question mark in a speech bubble
//   courtlyx-icon-<n>.png     the program's icon for the desktop menu, 256, 48 and 32 pixels:
//                             a ball on a court-green rounded square with the court's lines
// The button glyphs use olive RGB(128, 128, 0) for transparent pixels, as the buttons expect.
//
// Usage: drawpictures [output folder]   (default: resources)

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

const QColor kTransparentOlive(128, 128, 0);

// A 16 x 16 image from a character map, one character a pixel, painted with QPainter.
QImage pixelArt(const char *const rows[16], const std::map<char, QColor> &palette)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(kTransparentOlive);
    QPainter p(&image);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16 && rows[y][x]; ++x) {
            const auto colour = palette.find(rows[y][x]);
            if (colour != palette.end())
                p.fillRect(x, y, 1, 1, colour->second);
        }
    return image;
}

// The disabled look of a glyph: its dark pixels etched into the face, grey with a white
// highlight one pixel lower right; light pixels disappear.
QImage etched(const QImage &normal)
{
    QImage image(normal.size(), QImage::Format_RGB32);
    image.fill(kTransparentOlive);
    QPainter p(&image);
    const auto dark = [&](int x, int y) {
        const QColor c = normal.pixelColor(x, y);
        return c != kTransparentOlive && c.lightness() < 150;
    };
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (dark(x, y) && x + 1 < image.width() && y + 1 < image.height())
                p.fillRect(x + 1, y + 1, 1, 1, Qt::white);
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (dark(x, y))
                p.fillRect(x, y, 1, 1, QColor(128, 128, 128));
    return image;
}

QImage sideBySide(const QImage &normal, const QImage &disabled)
{
    QImage strip(32, 16, QImage::Format_RGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, normal);
    p.drawImage(16, 0, disabled);
    return strip;
}

QImage settingsGlyph()
{
    // K outline, W paper, L writing, Y pencil, T pencil tip, S hand, s hand shade.
    static const char *const rows[16] = {
        "................",
        ".KKKKKKK........",
        ".KWWWWWKK.......",
        ".KWLLLWKWK......",
        ".KWWWWWKKKK.....",
        ".KWLLLLLLWK.KK..",
        ".KWWWWWWWWKKYYK.",
        ".KWLLLLWWWKKYYK.",
        ".KWWWWWWWKYYKK..",
        ".KWLLLWWKYYKSSK.",
        ".KWWWWWKYYKSSSSK",
        ".KWLLWWTTKSSSSsK",
        ".KWWWWWKTKSSSssK",
        ".KWWWWWWKKSssssK",
        ".KKKKKKKKKKKKKK.",
        "................",
    };
    return pixelArt(rows, {{'K', QColor(0, 0, 0)},
                           {'W', QColor(255, 255, 255)},
                           {'L', QColor(0, 0, 160)},
                           {'Y', QColor(255, 200, 0)},
                           {'T', QColor(64, 64, 64)},
                           {'S', QColor(255, 204, 160)},
                           {'s', QColor(216, 150, 110)}});
}

QImage resetGlyph()
{
    // R red, D dark red edge, H highlight.
    static const char *const rows[16] = {
        "................",
        "................",
        "..DDD......DDD..",
        "..DHRD....DHRD..",
        "..DRRRD..DRRRD..",
        "...DRRRDDRRRD...",
        "....DRRRRRRD....",
        ".....DRRRRD.....",
        ".....DRRRRD.....",
        "....DRRRRRRD....",
        "...DRRRDDRRRD...",
        "..DRRRD..DRRRD..",
        "..DRRD....DRRD..",
        "..DDD......DDD..",
        "................",
        "................",
    };
    return pixelArt(rows, {{'R', QColor(230, 0, 0)}, {'D', QColor(120, 0, 0)}, {'H', QColor(255, 140, 140)}});
}

// `scale` times the size, for a full-screen board on a large monitor.
QImage ball(int scale = 1)
{
    QImage image(49 * scale, 49 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QRectF body(1.5, 1.5, 46, 46);

    QRadialGradient felt(QPointF(17, 15), 34);
    felt.setColorAt(0.0, QColor(236, 255, 120));
    felt.setColorAt(0.55, QColor(200, 240, 30));
    felt.setColorAt(1.0, QColor(140, 180, 0));
    p.setPen(QPen(QColor(110, 140, 0), 1));
    p.setBrush(felt);
    p.drawEllipse(body);

    // The seam: two curves bulging towards each other, clipped to the ball.
    QPainterPath clip;
    clip.addEllipse(body.adjusted(1, 1, -1, -1));
    p.setClipPath(clip);
    p.setBrush(Qt::NoBrush);
    QPainterPath seam;
    seam.moveTo(8, 0);
    seam.cubicTo(22, 14, 22, 35, 8, 49);
    seam.moveTo(41, 0);
    seam.cubicTo(27, 14, 27, 35, 41, 49);
    p.setPen(QPen(QColor(150, 160, 120, 160), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(seam.translated(0.8, 0.8));
    p.setPen(QPen(QColor(255, 255, 250), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(seam);
    return image;
}

QImage logo(int scale = 1)
{
    QImage art(175 * scale, 32 * scale, QImage::Format_RGB32);
    art.fill(Qt::black);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    // A small ball as the mark.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(204, 255, 0));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2));
    QPainterPath seam;
    seam.moveTo(9, 5);
    seam.cubicTo(16, 11, 16, 21, 9, 27);
    seam.moveTo(23, 5);
    seam.cubicTo(16, 11, 16, 21, 23, 27);
    p.drawPath(seam);

    QFont font("DejaVu Sans");
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(34, 0, 141, 32), Qt::AlignLeft | Qt::AlignVCenter, "Court");
    const int courtWidth = p.fontMetrics().horizontalAdvance("Court");
    p.setPen(QColor(204, 255, 0));
    p.drawText(QRect(34 + courtWidth, 0, 141 - courtWidth, 32), Qt::AlignLeft | Qt::AlignVCenter, "lyx");
    p.end();

    // Sixteen colours: black to white, and black to the felt colour.
    QList<QRgb> palette;
    for (int i = 0; i < 8; ++i)
        palette << qRgb(i * 255 / 7, i * 255 / 7, i * 255 / 7);
    for (int i = 1; i <= 8; ++i)
        palette << qRgb(204 * i / 8, 255 * i / 8, 0);
    return art.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither | Qt::AvoidDither);
}

QImage question()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.5, 1.5, 29, 22), 7, 7);
    QPainterPath tail;
    tail.moveTo(8, 20);
    tail.lineTo(6, 30.5);
    tail.lineTo(16, 21);
    bubble = bubble.united(tail);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(255, 255, 240));
    p.drawPath(bubble);

    QFont font("DejaVu Sans");
    font.setPixelSize(19);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 70, 190));
    p.drawText(QRectF(1.5, 1.5, 29, 22), Qt::AlignCenter, "?");
    return image;
}

// Drawn in a 256-unit box and scaled, so that every size has the same proportions; lines
// keep at least one pixel and the service lines go where they would blur into the ground.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 256.0;
    p.scale(unit, unit);
    const auto lineWidth = [unit](qreal width) { return std::max(width, 1.0 / unit); };

    const QRectF tile(8, 8, 240, 240);
    QLinearGradient ground(tile.topLeft(), tile.bottomLeft());
    ground.setColorAt(0.0, QColor(58, 150, 88));
    ground.setColorAt(1.0, QColor(30, 104, 62));
    p.setPen(QPen(QColor(18, 70, 40), lineWidth(4)));
    p.setBrush(ground);
    p.drawRoundedRect(tile, 44, 44);

    // The court from above: side lines, base lines, the net across, and the service boxes.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(245, 250, 245), lineWidth(7), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QRectF court(56, 36, 144, 184);
    p.drawRect(court);
    p.setPen(QPen(QColor(230, 236, 230), lineWidth(size >= 48 ? 5 : 7)));
    p.drawLine(QPointF(40, 128), QPointF(216, 128));
    if (size >= 48) {
        p.setPen(QPen(QColor(245, 250, 245), lineWidth(5)));
        p.drawLine(QPointF(56, 82), QPointF(200, 82));
        p.drawLine(QPointF(56, 174), QPointF(200, 174));
        p.drawLine(QPointF(128, 82), QPointF(128, 174));
    }

    // The ball, landing in the lower service box with a soft shadow below it.
    const QPointF centre(160, 158);
    const qreal radius = 54;
    QRadialGradient shadow(centre + QPointF(10, 14), radius * 1.15);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 110));
    shadow.setColorAt(0.8, QColor(0, 0, 0, 40));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(centre + QPointF(10, 14), radius * 1.15, radius * 1.15);

    QRadialGradient felt(centre - QPointF(18, 20), radius * 1.5);
    felt.setColorAt(0.0, QColor(240, 255, 130));
    felt.setColorAt(0.5, QColor(206, 242, 34));
    felt.setColorAt(1.0, QColor(138, 178, 0));
    p.setPen(QPen(QColor(100, 130, 0), lineWidth(3)));
    p.setBrush(felt);
    p.drawEllipse(centre, radius, radius);

    QPainterPath clip;
    clip.addEllipse(centre, radius - 2, radius - 2);
    p.setClipPath(clip);
    QPainterPath seam;
    seam.moveTo(centre + QPointF(-44, -44));
    seam.cubicTo(centre + QPointF(-8, -18), centre + QPointF(-8, 18), centre + QPointF(-44, 44));
    seam.moveTo(centre + QPointF(44, -44));
    seam.cubicTo(centre + QPointF(8, -18), centre + QPointF(8, 18), centre + QPointF(44, 44));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 250), lineWidth(8), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(seam);
    return image;
}

bool save(const QImage &image, const QDir &dir, const char *name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources"));
    if (!out.exists()) {
        std::fprintf(stderr, "no folder %s\n", qPrintable(out.path()));
        return 1;
    }
    const QImage cfg = settingsGlyph();
    const QImage reset = resetGlyph();
    bool ok = save(sideBySide(cfg, etched(cfg)), out, "glyph_cfg.png");
    ok = save(sideBySide(reset, etched(reset)), out, "glyph_reset.png") && ok;
    ok = save(ball(), out, "ball.png") && ok;
    ok = save(logo(), out, "logo.png") && ok;
    // Four times the size covers a 4K monitor; the name gives them that pixel ratio.
    ok = save(ball(4), out, "ball@4x.png") && ok;
    ok = save(logo(4), out, "logo@4x.png") && ok;
    ok = save(question(), out, "question.png") && ok;
    for (const int size : {256, 48, 32})
        ok = save(icon(size), out, qPrintable(QStringLiteral("courtlyx-icon-%1.png").arg(size))) && ok;
    return ok ? 0 : 1;
}
