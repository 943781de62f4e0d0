#pragma once
// A terrestrial hop's terrain profile in the design window: the drawing of
// profile_drawing.h painted as the report paints it (profile_paint.h), in
// the desktop's palette, at the median or the minimum k. The pointer or the
// arrow keys pick a profile point: a marker on it and its read-out ("12.40
// km: ground 412.0 m, ray 455.3 m, clearance 31.2 m = 1.42 F1") under the
// drawing, which is also the view's accessible description.
#include "budget_sheet.h"
#include "profile_drawing.h"

#include <QWidget>

#include <cstddef>
#include <optional>

class QComboBox;
class QTabWidget;
struct Evaluation;
struct ProfileStyle;

class ProfileView : public QWidget {
  public:
    explicit ProfileView(QWidget* parent = nullptr);

    // The sheet's terrain drawn again (none: nothing to draw). The marker
    // stays on its point; a new profile starts it at the critical point.
    void showSheet(const BudgetSheet& sheet);
    void setEarthFactor(ProfileK k);
    ProfileK earthFactor() const { return m_k; }

    const ProfileDrawing& drawing() const { return m_drawing; }
    bool hasTerrain() const { return !m_drawing.km.empty(); }
    // The profile point marked (none without a terrain).
    std::optional<std::size_t> marker() const { return m_marker; }
    void setMarker(std::size_t index);
    // What the view says of the point marked ("" when none).
    QString readout() const;
    // The plot area at the widget's size (px), for the pointer.
    QRectF plotArea() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ProfileStyle profileStyle() const;
    QRectF drawingRect() const;
    void rebuild();
    void markAt(double x);
    void readoutChanged();

    std::optional<SheetTerrain> m_terrain;
    ProfileDrawing m_drawing;
    ProfileK m_k = ProfileK::Median;
    std::optional<std::size_t> m_marker;
};

// The window's "&Profile" tab: the choice of k over the view. The tab shows
// only when the design has a terrain profile and keeps its place among the
// views; the view is made the first time there is one.
class ProfilePage : public QWidget {
  public:
    explicit ProfilePage(QTabWidget* views);

    void showEvaluation(const Evaluation& evaluation);
    // Shown among the views (a design with a terrain profile).
    bool shown() const;
    ProfileView* view() const { return m_view; } // nullptr until the first terrain

  private:
    void ensureView();

    QTabWidget* m_views;
    QComboBox* m_k = nullptr;
    ProfileView* m_view = nullptr;
};
