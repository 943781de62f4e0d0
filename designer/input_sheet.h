#pragma once
// The inputs of the design sheet, built from the parameter registry: one row
// per parameter, grouped as the registry groups them (in the order of
// ParamGroup), each a caption, a field and (for numbers) the unit picker,
// with a line under it when the typed value is refused. Rows that do not
// apply to the design are hidden. Typed values are read as they are typed;
// a good one goes to `onEdit`, a bad one is marked and explained and goes
// nowhere.
#include "design.h"

#include <QLocale>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class InputSheet : public QWidget {
  public:
    // (parameter, new setting or none, name of the edit, typing session)
    using EditHandler =
        std::function<void(ParamId, std::optional<ParamSetting>, const QString&, int)>;

    explicit InputSheet(QWidget* parent = nullptr);

    void setEditHandler(EditHandler handler) { m_onEdit = std::move(handler); }

    // Shows the design: every row's value (but the one being typed in) and
    // which rows apply.
    void showDesign(const Design& design, const DesignPoint& point);

    // The row's field: a QLineEdit, or a QComboBox for a choice.
    QWidget* field(ParamId id) const { return m_rows[IndexOf(id)].field; }
    bool refused(ParamId id) const { return m_rows[IndexOf(id)].refused; }

  private:
    struct Row {
        const ParamRow* param = nullptr;
        QLabel* caption = nullptr;
        QWidget* field = nullptr;
        QLineEdit* edit = nullptr;   // numbers and texts
        QComboBox* choice = nullptr; // choices
        QComboBox* unit = nullptr;   // numbers with units
        QLabel* unitLabel = nullptr; // numbers with one unit
        QLabel* problem = nullptr;
        QGroupBox* group = nullptr;
        std::optional<ParamSetting> shown; // what the field shows
        bool refused = false;
        int session = 1; // the typing session, new after each finished edit
    };

    void createGroups();
    void createRow(Row& row, QGroupBox* group, int line);
    void connectRow(Row& row);

    void typed(Row& row);
    void unitPicked(Row& row);
    void choicePicked(Row& row);
    void finishTyping(Row& row);
    void send(Row& row, const std::optional<ParamSetting>& setting, int session);
    void markRefused(Row& row, const QString& why);
    void showSetting(Row& row, const std::optional<ParamSetting>& setting);
    QString pickedUnit(const Row& row) const;
    void pickUnit(Row& row, const QString& unit);

    std::array<Row, kParamCount> m_rows{};
    std::vector<QGroupBox*> m_groups;
    QLocale m_locale;
    DesignPoint m_point; // of the design shown: the bounds depend on its path
    EditHandler m_onEdit;
    const Row* m_editing = nullptr; // the row whose typing is being applied
};
