#include "profile_view.h"

#include "design_document.h"
#include "profile_paint.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPageSteps = 10; // Page Up and Page Down move a tenth of the profile
constexpr int kPad = 4;        // px

} // namespace

ProfileView::ProfileView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ProfileView"));
    setAccessibleName(QStringLiteral("Terrain profile"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ProfileView::sizeHint() const {
    return {560, 320};
}

QSize ProfileView::minimumSizeHint() const {
    return {280, 180};
}

void ProfileView::showSheet(const BudgetSheet& sheet) {
    const bool fresh =
        !m_terrain || !sheet.terrain ||
        m_terrain->heights.median.points.size() != sheet.terrain->heights.median.points.size();
    m_terrain = sheet.terrain;
    rebuild();
    if (!hasTerrain())
        m_marker.reset();
    else if (fresh || !m_marker)
        m_marker = m_drawing.critical;
    else
        m_marker = std::min(*m_marker, m_drawing.km.size() - 1);
    readoutChanged();
}

void ProfileView::setEarthFactor(ProfileK k) {
    if (k == m_k)
        return;
    m_k = k;
    rebuild();
    readoutChanged();
}

void ProfileView::rebuild() {
    m_drawing = m_terrain ? BuildProfileDrawing(*m_terrain, m_k) : ProfileDrawing{};
}

void ProfileView::setMarker(std::size_t index) {
    if (!hasTerrain())
        return;
    index = std::min(index, m_drawing.km.size() - 1);
    if (m_marker == index)
        return;
    m_marker = index;
    readoutChanged();
}

QString ProfileView::readout() const {
    return m_marker ? QString::fromStdString(ProfilePointText(m_drawing, *m_marker)) : QString();
}

void ProfileView::readoutChanged() {
    const QString text = readout();
    if (accessibleDescription() != text)
        setAccessibleDescription(text);
    update();
}

ProfileStyle ProfileView::profileStyle() const {
    const QPalette& colours = palette();
    ProfileStyle s;
    s.font = font();
    s.background = colours.color(QPalette::Base);
    s.text = colours.color(QPalette::Text);
    s.grid = colours.color(QPalette::Midlight);
    s.marker = m_marker;
    return s;
}

// The drawing above one line of read-out.
QRectF ProfileView::drawingRect() const {
    const int line = fontMetrics().height() + 2 * kPad;
    return QRectF(0, 0, width(), std::max(10, height() - line));
}

QRectF ProfileView::plotArea() const {
    return LayoutProfile(drawingRect(), m_drawing, profileStyle()).plot;
}

void ProfileView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    if (!hasTerrain()) {
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No terrain profile"));
        return;
    }
    const QRectF area = drawingRect();
    PaintProfile(painter, area, m_drawing, profileStyle());
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(QRectF(kPad, area.bottom(), width() - 2 * kPad, height() - area.bottom()),
                     Qt::AlignVCenter | Qt::AlignLeft, readout());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        option.backgroundColor = colours.color(QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ProfileView::markAt(double x) {
    if (!hasTerrain())
        return;
    const ProfileLayout layout = LayoutProfile(drawingRect(), m_drawing, profileStyle());
    setMarker(NearestProfilePoint(m_drawing, layout.kmAt(x)));
}

void ProfileView::mouseMoveEvent(QMouseEvent* event) {
    if (plotArea().contains(event->position()))
        markAt(event->position().x());
}

void ProfileView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (plotArea().contains(event->position()))
        markAt(event->position().x());
}

void ProfileView::keyPressEvent(QKeyEvent* event) {
    if (!hasTerrain() || !m_marker) {
        QWidget::keyPressEvent(event);
        return;
    }
    const std::size_t last = m_drawing.km.size() - 1;
    const std::size_t page = std::max<std::size_t>(1, m_drawing.km.size() / kPageSteps);
    const std::size_t at = *m_marker;
    switch (event->key()) {
    case Qt::Key_Left:
        setMarker(at == 0 ? 0 : at - 1);
        break;
    case Qt::Key_Right:
        setMarker(std::min(last, at + 1));
        break;
    case Qt::Key_PageUp:
        setMarker(at < page ? 0 : at - page);
        break;
    case Qt::Key_PageDown:
        setMarker(std::min(last, at + page));
        break;
    case Qt::Key_Home:
        setMarker(0);
        break;
    case Qt::Key_End:
        setMarker(last);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

ProfilePage::ProfilePage(QTabWidget* views) : m_views(views) {
    setObjectName(QStringLiteral("ProfilePage"));
    const int index = views->addTab(this, QStringLiteral("&Profile"));
    views->setTabVisible(index, false);
}

bool ProfilePage::shown() const {
    return m_views->isTabVisible(m_views->indexOf(this));
}

void ProfilePage::ensureView() {
    if (m_view != nullptr)
        return;
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Earth radius &factor:"), this);
    m_k = new QComboBox(this);
    m_k->setObjectName(QStringLiteral("ProfileK"));
    m_k->setAccessibleName(QStringLiteral("Profile drawn at"));
    m_k->addItem(QString(), int(ProfileK::Median));
    m_k->addItem(QString(), int(ProfileK::Minimum));
    label->setBuddy(m_k);
    row->addWidget(label);
    row->addWidget(m_k, 1);
    layout->addLayout(row);
    m_view = new ProfileView(this);
    layout->addWidget(m_view, 1);
    connect(m_k, &QComboBox::activated, this,
            [this] { m_view->setEarthFactor(static_cast<ProfileK>(m_k->currentData().toInt())); });
}

void ProfilePage::showEvaluation(const Evaluation& evaluation) {
    const bool terrain = evaluation.ok() && evaluation.sheet.terrain.has_value();
    if (terrain) {
        ensureView();
        const HeightCheck& heights = evaluation.sheet.terrain->heights;
        const QString median =
            QStringLiteral("Median k = %1")
                .arg(QString::fromStdString(EarthFactorText(heights.median.earthFactor)));
        const QString minimum =
            QStringLiteral("Minimum k = %1")
                .arg(QString::fromStdString(EarthFactorText(heights.minimum.earthFactor)));
        if (m_k->itemText(0) != median)
            m_k->setItemText(0, median);
        if (m_k->itemText(1) != minimum)
            m_k->setItemText(1, minimum);
        m_view->showSheet(evaluation.sheet);
    } else if (m_view != nullptr) {
        m_view->showSheet(BudgetSheet{});
    }
    const int index = m_views->indexOf(this);
    if (m_views->isTabVisible(index) != terrain)
        m_views->setTabVisible(index, terrain);
}
