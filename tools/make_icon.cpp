// Writes the program's icon: quarvel.svg and quarvel-N.png for each size N given. Both are drawn
// from the one description below, so the scalable and the fixed sizes always agree.
//
// The picture: a history grid on a blue ground, with the draws that hit marked in red and joined
// by a dotted line, the gaps between them being the omissions the program measures.

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 256;  // the design's own units
const QColor kGround("#1f5f99"), kPaper("#ffffff"), kLine("#c9d6e3"), kHit("#d8302f");
const std::vector<QPointF> kHits = {{56, 56}, {152, 104}, {200, 152}, {104, 200}};
constexpr int kGridLines[] = {80, 128, 176};
constexpr double kHitRadius = 17;

void paint(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kGround);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(32, 32, 192, 192), 12, 12);
    p.setPen(QPen(kLine, 4));
    for (int v : kGridLines) {
        p.drawLine(QLineF(32, v, 224, v));
        p.drawLine(QLineF(v, 32, v, 224));
    }
    QPen dotted(kHit, 6, Qt::CustomDashLine, Qt::RoundCap, Qt::RoundJoin);
    dotted.setDashPattern({2.0 / 6, 14.0 / 6});  // in pen widths, as the SVG's 2 14
    p.setPen(dotted);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(kHits.data(), static_cast<int>(kHits.size()));
    p.setPen(Qt::NoPen);
    p.setBrush(kHit);
    for (const QPointF& c : kHits) p.drawEllipse(c, kHitRadius, kHitRadius);
}

QString svg() {
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kSide << "\" height=\"" << kSide
      << "\" viewBox=\"0 0 " << kSide << ' ' << kSide << "\">\n"
      << "  <rect x=\"8\" y=\"8\" width=\"240\" height=\"240\" rx=\"40\" fill=\"" << kGround.name()
      << "\"/>\n"
      << "  <rect x=\"32\" y=\"32\" width=\"192\" height=\"192\" rx=\"12\" fill=\"" << kPaper.name()
      << "\"/>\n"
      << "  <g stroke=\"" << kLine.name() << "\" stroke-width=\"4\">\n";
    for (int v : kGridLines)
        s << "    <line x1=\"32\" y1=\"" << v << "\" x2=\"224\" y2=\"" << v << "\"/>\n"
          << "    <line x1=\"" << v << "\" y1=\"32\" x2=\"" << v << "\" y2=\"224\"/>\n";
    s << "  </g>\n  <polyline fill=\"none\" stroke=\"" << kHit.name()
      << "\" stroke-width=\"6\" stroke-linecap=\"round\" stroke-linejoin=\"round\" "
         "stroke-dasharray=\"2 14\" points=\"";
    for (const QPointF& c : kHits) s << c.x() << ',' << c.y() << ' ';
    s << "\"/>\n  <g fill=\"" << kHit.name() << "\">\n";
    for (const QPointF& c : kHits)
        s << "    <circle cx=\"" << c.x() << "\" cy=\"" << c.y() << "\" r=\"" << kHitRadius
          << "\"/>\n";
    s << "  </g>\n</svg>\n";
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT_FOLDER [SIZE ...]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QFile file(folder + "/quarvel.svg");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(svg().toUtf8()) < 0) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::stoi(argv[i]);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.scale(double(size) / kSide, double(size) / kSide);
        paint(p);
        p.end();
        const QString name = folder + QStringLiteral("/quarvel-%1.png").arg(size);
        if (!image.save(name, "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
