// The terrain profile painted into an image: the line of sight in its colour
// where the ray runs, the critical point's mark on the ridge, the obstacle's
// above it, the marker's ring, and the report carrying the drawing.
#include "plot_colours.h"
#include "profile_paint.h"
#include "report_render.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <vector>

namespace {

const std::vector<double> kKm{0.0, 2.5, 5.0, 7.5, 10.0};
const std::vector<double> kGroundM{10.0, 10.0, 100.0, 10.0, 10.0};
constexpr QSize kImage{800, 450};

SheetTerrain knifeEdge(bool diffraction) {
    const ClearanceHop hop{kKm, kGroundM, 110.0, 110.0, 10.0};
    std::string error;
    SheetTerrain terrain{};
    terrain.heights = *CheckAntennaHeights(hop, HeightCriteria{}, error);
    if (diffraction)
        terrain.diffraction =
            DeltaBullingtonLoss({kKm, kGroundM, 110.0, 110.0, 10.0, 6371.0 * 4.0 / 3.0}, error);
    return terrain;
}

QImage painted(const ProfileDrawing& drawing, const ProfileStyle& style) {
    QImage image(kImage, QImage::Format_ARGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    PaintProfile(painter, QRectF(QPointF(0, 0), kImage), drawing, style);
    painter.end();
    return image;
}

int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// The pixel nearest `colour` within `reach` px of `at`: its distance from it.
int nearestTo(const QImage& image, QPointF at, QColor colour, int reach = 1) {
    int best = 3 * 255;
    for (int dx = -reach; dx <= reach; ++dx)
        for (int dy = -reach; dy <= reach; ++dy) {
            const QPoint p = at.toPoint() + QPoint(dx, dy);
            if (image.rect().contains(p))
                best = std::min(best, distance(image.pixelColor(p), colour));
        }
    return best;
}

// True when a pixel within `reach` px of `at` is a tint of `colour`: its hue
// (a thin line's pixels are the colour blended with the background).
bool tintNear(const QImage& image, QPointF at, QColor colour, int reach = 1) {
    for (int dx = -reach; dx <= reach; ++dx)
        for (int dy = -reach; dy <= reach; ++dy) {
            const QColor pixel = image.pixelColor(at.toPoint() + QPoint(dx, dy));
            if (pixel.hsvSaturation() > 50 && std::abs(pixel.hsvHue() - colour.hsvHue()) < 12)
                return true;
        }
    return false;
}

// How dark the pixels around `at` are, summed.
int darkness(const QImage& image, QPointF at) {
    int sum = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            sum += 255 - qGray(image.pixel(at.toPoint() + QPoint(dx, dy)));
    return sum;
}

} // namespace

class ProfilePaintTest : public QObject {
    Q_OBJECT
  private slots:
    void rayAndEnvelopesWhereTheyRun() {
        const ProfileDrawing d = BuildProfileDrawing(knifeEdge(false));
        const ProfileStyle style = PaperProfileStyle();
        const QImage image = painted(d, style);
        const ProfileLayout layout = LayoutProfile(QRectF(QPointF(0, 0), kImage), d, style);
        // The ray at 120 m between the points (no grid line there), in its
        // colour; 15 m above it only the background.
        for (const double km : {1.25, 3.75, 6.25, 8.75}) {
            QVERIFY2(nearestTo(image, layout.at(km, 120.0), kRxEbNoColour) < 40,
                     qPrintable(QString::number(km)));
            QCOMPARE(image.pixelColor(layout.at(km, 135.0).toPoint()), QColor(Qt::white));
        }
        // The upper F1 mid-path (128.66 m) in the F1's colour, the 0.6 F1 under
        // the ray (114.80 m) in its own: the dashes may leave a gap, so along
        // a few pixels.
        bool f1 = false;
        bool f06 = false;
        for (int step = -6; step <= 6; ++step) {
            const double km = 5.0 + step * 0.02;
            f1 = f1 || tintNear(image, layout.at(km, 128.66), kMinEbNoColour);
            f06 = f06 || tintNear(image, layout.at(km, 114.804), kMarginColour);
        }
        QVERIFY(f1);
        QVERIFY(f06);
        // Neither where the other runs.
        QVERIFY(!tintNear(image, layout.at(5.0, 128.66), kMarginColour));
        QVERIFY(!tintNear(image, layout.at(5.0, 114.804), kMinEbNoColour));
        // The terrain filled under the ridge's flank, nothing above the ridge.
        QVERIFY(distance(image.pixelColor(layout.at(5.0, 60.0).toPoint()), kTerrainColour) < 60);
        // The whole target painted: no gray of the image left.
        QVERIFY(image.pixelColor(2, 2) != QColor(Qt::gray));
        QVERIFY(image.pixelColor(kImage.width() - 2, kImage.height() - 2) != QColor(Qt::gray));
    }

    void criticalPointAndObstacleMarked() {
        const ProfileStyle style = PaperProfileStyle();
        const ProfileDrawing plain = BuildProfileDrawing(knifeEdge(false));
        const ProfileLayout layout = LayoutProfile(QRectF(QPointF(0, 0), kImage), plain, style);
        const QPointF ridge = layout.at(plain.criticalMark.km, plain.criticalMark.m);
        QImage image = painted(plain, style);
        QVERIFY(nearestTo(image, ridge, kCrossingColour, 0) < 20);
        // Not on a point of the terrain where the ridge is not.
        QVERIFY(nearestTo(image, layout.at(2.5, plain.terrainM[1]), kCrossingColour, 0) > 60);
        QVERIFY(!plain.obstacle);
        QVERIFY(nearestTo(image, ridge - QPointF(0, 6), kObstacleColour, 1) > 60);

        const ProfileDrawing diffracted = BuildProfileDrawing(knifeEdge(true));
        QVERIFY(diffracted.obstacle);
        image = painted(diffracted, style);
        // The legend has a row for the obstacle: the plot moves.
        const ProfileLayout moved = LayoutProfile(QRectF(QPointF(0, 0), kImage), diffracted, style);
        const QPointF edge = moved.at(diffracted.obstacle->km, diffracted.obstacle->m);
        QVERIFY(nearestTo(image, edge - QPointF(0, 6), kObstacleColour, 1) < 20);
        QVERIFY(nearestTo(image, edge, kCrossingColour, 0) < 20);
    }

    // Arc-second samples put several points in a pixel column: a peak one
    // sample wide still reaches its height, a notch its depth.
    void narrowPeakKeptInADenseProfile() {
        std::vector<double> km;
        std::vector<double> ground;
        for (int i = 0; i <= 1600; ++i) {
            km.push_back(i * 0.03125);
            ground.push_back(i == 800 ? 180.0 : i == 1200 ? 20.0 : 100.0);
        }
        std::string error;
        SheetTerrain terrain{};
        terrain.heights = *CheckAntennaHeights({km, ground, 150.0, 150.0, 10.0}, {}, error);
        const ProfileDrawing d = BuildProfileDrawing(terrain);
        const ProfileStyle style = PaperProfileStyle();
        const QImage image = painted(d, style);
        const ProfileLayout layout = LayoutProfile(QRectF(QPointF(0, 0), kImage), d, style);
        QCOMPARE(d.critical, std::size_t(800));
        // Under the peak's top (and the critical point's mark on it): ground,
        // far above the ground around it; above the mark: none.
        const QPointF top = layout.at(25.0, d.terrainM[800]);
        for (const double below : {12.0, 30.0, 60.0})
            QVERIFY2(tintNear(image, top + QPointF(0, below), kTerrainEdgeColour),
                     qPrintable(QString::number(below)));
        QVERIFY(!tintNear(image, top - QPointF(0, 12), kTerrainEdgeColour));
        // The notch: open sky half-way down it.
        const QPointF notch = layout.at(37.5, (d.terrainM[1200] + 100.0) / 2.0);
        QVERIFY(nearestTo(image, notch, kTerrainColour, 0) > 60);
        // Beside the notch, ground at that height.
        QVERIFY(nearestTo(image, notch + QPointF(15, 0), kTerrainColour, 0) < 20);
    }

    void markerRingAndPalette() {
        const ProfileDrawing d = BuildProfileDrawing(knifeEdge(false));
        ProfileStyle style = PaperProfileStyle();
        const ProfileLayout layout = LayoutProfile(QRectF(QPointF(0, 0), kImage), d, style);
        const QImage unmarked = painted(d, style);
        style.marker = 3;
        const QImage marked = painted(d, style);
        // The ring of radius 7 px round the marked point's ground.
        const QPointF ring = layout.at(7.5, d.terrainM[3]) + QPointF(0, -7.0);
        QVERIFY(darkness(marked, ring) > darkness(unmarked, ring) + 200);
        // A dark desktop: its base colour behind everything.
        style.background = QColor(0x20, 0x20, 0x20);
        style.text = Qt::white;
        const QImage dark = painted(d, style);
        QCOMPARE(dark.pixelColor(layout.at(8.75, 140.0).toPoint()), style.background);
    }

    void reportHtmlCarriesTheDrawing() {
        ReportData data;
        data.title = "Quillstone link budget";
        data.chartNote = "No chart";
        data.profile = BuildProfileDrawing(knifeEdge(true));
        data.profileCaption = ProfileCaption(*data.profile);
        std::string bytes;
        std::string error;
        QVERIFY(RenderReport(data, ReportFormat::Html, bytes, error));
        const std::size_t svg = bytes.find("<svg");
        QVERIFY(svg != std::string::npos);
        QVERIFY(bytes.find("<title>Terrain profile at the median k = 4/3</title>", svg) !=
                std::string::npos);
        QVERIFY(
            bytes.find("<p class=\"caption\"><i>Terrain profile at the median k = 4/3. Critical") !=
            std::string::npos);
        // The PDF has a page more for the figure than without it.
        std::string with;
        QVERIFY(RenderReport(data, ReportFormat::Pdf, with, error));
        data.profile.reset();
        std::string without;
        QVERIFY(RenderReport(data, ReportFormat::Pdf, without, error));
        QVERIFY(with.size() > without.size() + 2000);
    }
};

QTEST_MAIN(ProfilePaintTest)
#include "profile_paint_test.moc"
