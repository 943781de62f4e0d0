// The Profile tab of the design window on its real widgets: hidden without
// a terrain, in its place among the views with one; the marker moved by real
// keys and a real mouse move, the read-out and the accessible description
// following it; the choice of k; the screen's decimal separator. The design
// parameters of a profile come later: the tests give the window's page an
// evaluation whose sheet has a terrain worked out on a synthetic profile.
#include "design_fixture.h"
#include "profile_paint.h"
#include "profile_view.h"

#include <QAccessible>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>

#include <cmath>

using testing_support::DesignRun;

namespace {

// 20 km in 201 points: a ridge at 12 km over rolling ground.
SheetTerrain syntheticTerrain() {
    std::vector<double> km;
    std::vector<double> ground;
    for (int i = 0; i <= 200; ++i) {
        const double d = 0.1 * i;
        km.push_back(d);
        ground.push_back(200.0 + 15.0 * std::sin(d) + 90.0 * std::exp(-(d - 12.0) * (d - 12.0)));
    }
    std::string error;
    const std::optional<HeightCheck> heights =
        CheckAntennaHeights({km, ground, 60.0, 45.0, 7.5}, HeightCriteria{}, error);
    if (!heights)
        qFatal("%s", error.c_str());
    SheetTerrain terrain{};
    terrain.heights = *heights;
    return terrain;
}

Evaluation withTerrain(const DesignWindow& window) {
    Evaluation e = window.evaluation();
    e.sheet.terrain = syntheticTerrain();
    return e;
}

QTabWidget* views(const DesignRun& run) {
    return run.find<QTabWidget>("Views");
}

} // namespace

class ProfileViewTest : public QObject {
    Q_OBJECT
  private slots:
    void tabOnlyWithATerrain() {
        DesignRun run;
        QVERIFY(run.ready());
        DesignWindow* window = run.start();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTabWidget* tabs = views(run);
        QVERIFY(tabs != nullptr);
        // Last of the views, hidden, and nothing built behind it yet.
        const int index = tabs->indexOf(window->profile());
        QCOMPARE(index, tabs->count() - 1);
        QCOMPARE(tabs->tabText(index), QStringLiteral("&Profile"));
        QVERIFY(!tabs->isTabVisible(index));
        QVERIFY(window->profile()->view() == nullptr);
        QVERIFY(run.find<ProfileView>("ProfileView") == nullptr);

        window->profile()->showEvaluation(withTerrain(*window));
        QVERIFY(tabs->isTabVisible(index));
        QCOMPARE(tabs->indexOf(window->profile()), index); // its place kept
        // Alt+P, the tab's mnemonic, brings it up.
        QTest::keyClick(window, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(tabs->currentIndex(), index);
        auto* view = run.find<ProfileView>("ProfileView");
        QVERIFY(view != nullptr);
        QVERIFY(view->isVisible());
        QCOMPARE(view->drawing().km.size(), std::size_t(201));

        // An edit evaluates the design again: it has no terrain, the tab goes.
        DesignRun::type(run.field("Range"), "15");
        QVERIFY(!tabs->isTabVisible(index));
        QVERIFY(!view->hasTerrain());
        QVERIFY(tabs->currentIndex() != index);
    }

    void keysMoveTheMarker() {
        DesignRun run;
        DesignWindow* window = run.start();
        window->profile()->showEvaluation(withTerrain(*window));
        views(run)->setCurrentWidget(window->profile());
        auto* view = run.find<ProfileView>("ProfileView");
        auto* k = run.find<QComboBox>("ProfileK");
        QVERIFY(view != nullptr && k != nullptr);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // The view takes the focus with Tab, from the choice of k before it.
        k->setFocus();
        QTest::keyClick(k, Qt::Key_Tab);
        QVERIFY(view->hasFocus());

        // The marker starts on the critical point (the ridge at 12 km).
        const ProfileDrawing& d = view->drawing();
        QVERIFY(view->marker());
        QCOMPARE(*view->marker(), d.critical);
        QVERIFY(std::fabs(d.km[d.critical] - 12.0) < 1.0);
        const QString atCritical = view->readout();
        QCOMPARE(atCritical, QString::fromStdString(ProfilePointText(d, d.critical)));
        QVERIFY(atCritical.endsWith(" F1"));

        struct Press {
            Qt::Key key;
            std::size_t expected;
        };
        const Press presses[] = {
            {Qt::Key_Right, d.critical + 1},
            {Qt::Key_Right, d.critical + 2},
            {Qt::Key_Left, d.critical + 1},
            {Qt::Key_End, 200},
            {Qt::Key_Right, 200},
            {Qt::Key_Home, 0},
            {Qt::Key_Left, 0},
            {Qt::Key_PageDown, 20},
        };
        for (const Press& press : presses) {
            const QString before = view->readout();
            QTest::keyClick(view, press.key);
            QCOMPARE(*view->marker(), press.expected);
            const QString text = QString::fromStdString(ProfilePointText(d, press.expected));
            QCOMPARE(view->readout(), text);
            QCOMPARE(view->accessibleDescription(), text);
            QCOMPARE(QAccessible::queryAccessibleInterface(view)->text(QAccessible::Description),
                     text);
            if (press.key == Qt::Key_End || press.key == Qt::Key_Right)
                QVERIFY(press.expected == 200 || text != before);
        }
        QVERIFY(view->readout().startsWith("2.00 km: ground "));
        QCOMPARE(view->accessibleName(), QStringLiteral("Terrain profile"));
    }

    void mouseMoveMarksTheNearestPoint() {
        DesignRun run;
        DesignWindow* window = run.start();
        window->profile()->showEvaluation(withTerrain(*window));
        views(run)->setCurrentWidget(window->profile());
        auto* view = run.find<ProfileView>("ProfileView");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRectF plot = view->plotArea();
        QVERIFY(plot.width() > 100);
        // A quarter of the way across the plot: 5 km, the 51st point.
        const QPoint at(qRound(plot.left() + plot.width() * 0.25), qRound(plot.center().y()));
        QTest::mouseMove(view, at);
        QTRY_COMPARE(view->marker().value_or(0), std::size_t(50));
        QVERIFY(view->readout().startsWith("5.00 km: ground "));
        QCOMPARE(view->accessibleDescription(), view->readout());
        // The far right: the receiver's end, without a fraction of F1.
        QTest::mouseMove(view, QPoint(qRound(plot.right()) - 1, qRound(plot.center().y())));
        QTRY_COMPARE(view->marker().value_or(0), std::size_t(200));
        QVERIFY(!view->readout().contains("F1"));
    }

    void minimumKRedraws() {
        DesignRun run;
        DesignWindow* window = run.start();
        window->profile()->showEvaluation(withTerrain(*window));
        views(run)->setCurrentWidget(window->profile());
        auto* view = run.find<ProfileView>("ProfileView");
        auto* k = run.find<QComboBox>("ProfileK");
        QCOMPARE(k->itemText(0), QStringLiteral("Median k = 4/3"));
        QCOMPARE(k->itemText(1), QStringLiteral("Minimum k = 2/3"));
        const std::size_t ridge = *view->marker();
        const double medianF1 = view->drawing().clearanceF1[ridge];
        k->setFocus();
        QTest::keyClick(k, Qt::Key_Down);
        QCOMPARE(view->earthFactor(), ProfileK::Minimum);
        QVERIFY(QString::fromStdString(view->drawing().title).contains("minimum k = 2/3"));
        // The same point, less clearance under a flatter-bending ray.
        QCOMPARE(*view->marker(), ridge);
        QVERIFY(view->drawing().clearanceF1[ridge] < medianF1);
        QCOMPARE(view->readout(), QString::fromStdString(ProfilePointText(view->drawing(), ridge)));
    }

    void readoutInTheScreensLocale() {
        DesignRun run;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        DesignWindow* window = run.start();
        window->profile()->showEvaluation(withTerrain(*window));
        auto* view = run.find<ProfileView>("ProfileView");
        QVERIFY2(view->readout().contains(QRegularExpression("^1\\d,\\d0 km: ground \\d+,\\d m")),
                 qPrintable(view->readout()));
        QVERIFY(view->readout().contains(QRegularExpression(" = -?\\d+,\\d\\d F1$")));
    }

    // A profile typed into the sheet: the tab comes up with the file's
    // ground, the ridge its critical point; a refused file keeps the last
    // accepted design and no terrain appears.
    void typedProfileShowsTheTab() {
        DesignRun run;
        QVERIFY(run.ready());
        QString csv = QStringLiteral("distance_km,height_m\n");
        for (int i = 0; i <= 20; ++i)
            csv += QStringLiteral("%1,%2\n").arg(i).arg(i == 8 ? 160 : 100);
        const QString file = run.path(QStringLiteral("ridge.csv"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(csv.toUtf8());
        out.close();
        DesignWindow* window = run.start();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTabWidget* tabs = views(run);
        const int index = tabs->indexOf(window->profile());
        DesignRun::type(run.find<QLineEdit>("FieldTxHeight"), QStringLiteral("30"));
        DesignRun::type(run.find<QLineEdit>("FieldRxHeight"), QStringLiteral("30"));
        QVERIFY(!tabs->isTabVisible(index));
        DesignRun::type(run.find<QLineEdit>("FieldProfile"), file);
        QVERIFY(tabs->isTabVisible(index));
        QVERIFY(window->evaluation().sheet.terrain.has_value());
        QTest::keyClick(window, Qt::Key_P, Qt::AltModifier);
        auto* view = run.find<ProfileView>("ProfileView");
        QVERIFY(view != nullptr);
        QCOMPARE(view->drawing().km.size(), std::size_t(21));
        QVERIFY(view->readout().contains(QStringLiteral("8.00 km"))); // the ridge, marked first
    }
};

QTEST_MAIN(ProfileViewTest)
#include "profile_view_test.moc"
