#pragma once
// The inputs of the design sheet, built from the parameter registry: one row
// per parameter, grouped as the registry groups them (in the order of
// ParamGroup), each a caption, a field and (for numbers) the unit picker,
// with a line under it when the typed value is refused, when the design's
// value stops the evaluation, or when a value set is not used. Rows that do
// not apply to the design are hidden unless they hold a value. A typed value is checked as it is
// typed (a bad one is marked and explained early) but enters the design only when the entry is
// finished (Enter, Tab, focus out) and accepted: then it goes to `onEdit`; a refused one goes
// nowhere and stays for the user to mend. The wheel over the sheet scrolls it: a drop-down changes
// by the wheel only while it has the keyboard focus.
#include "derived_inputs.h"
#include "design.h"

#include <QLocale>
#include <QStringList>
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
    // (parameter, new setting or none, name of the edit)
    using EditHandler = std::function<void(ParamId, std::optional<ParamSetting>, const QString&)>;

    explicit InputSheet(QWidget* parent = nullptr);

    void setEditHandler(EditHandler handler) { m_onEdit = std::move(handler); }
    // Called whenever the set of rows holding a refused entry changes.
    void setRefusalHandler(std::function<void()> handler) { m_onRefusals = std::move(handler); }

    // Shows the design: every row's value (but the one being typed in) and
    // which rows apply.
    void showDesign(const Design& design, const DesignPoint& point);

    // Shows the inputs the budget works out: an unset one read-only with the
    // value the budget uses and where it comes from (the climate looked up at
    // the site: editable, and what is typed into it is set); a set one says
    // that its value is not used.
    void showDerived(const std::vector<DerivedInput>& derived);

    // Marks the row whose value stops the evaluation with why (none:
    // ParamId::Count); the row shows even where it would not apply.
    void showStop(ParamId id, const QString& why);

    // The row's field: a QLineEdit, or a QComboBox for a choice.
    QWidget* field(ParamId id) const { return m_rows[IndexOf(id)].field; }
    bool refused(ParamId id) const { return m_rows[IndexOf(id)].refused; }

    // The captions of the rows that hold a refused entry, in sheet order.
    QStringList refusedCaptions() const;
    // Finishes the entry being typed, as Enter would (e.g. before a save).
    void finishEntry();
    // Puts the design's value back into every row holding a refused entry.
    void discardRefused();
    // Gives every row's field, unit and problem line its accessible name (the
    // caption, "... unit", "... refused"). The window asks for it after its
    // first frame: a name makes Qt build the widget's accessibility interface
    // at once, which for the sheet's fields was half a millisecond of the
    // start-up.
    void nameRows();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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
        bool typing = false; // the text was edited since the entry was last finished
        QString refusal;     // why the entry is refused
        QString stop;        // why the design's value stops the evaluation
        QString unused;      // why a value set is not used
        bool tinted = false; // the field is tinted red
        std::optional<DerivedInput> derived; // what the budget uses in its place
    };

    void createGroups();
    void createRow(Row& row, QGroupBox* group, int line);
    void connectRow(Row& row);

    void typed(Row& row);
    void unitPicked(Row& row);
    void choicePicked(Row& row);
    void finishTyping(Row& row);
    void send(Row& row, const std::optional<ParamSetting>& setting);
    void markRefused(Row& row, const QString& why);
    void showProblem(Row& row);
    void showRow(Row& row);
    void showGroups();
    void showSetting(Row& row, const std::optional<ParamSetting>& setting);
    QString pickedUnit(const Row& row) const;
    QString derivedText(const Row& row) const;
    QString derivedNote(const Row& row) const;
    void pickUnit(Row& row, const QString& unit);
    void guardWheel(QComboBox* box);

    std::array<Row, kParamCount> m_rows{};
    std::vector<QGroupBox*> m_groups;
    QLocale m_locale;
    DesignPoint m_point; // of the design shown: the bounds depend on its path
    EditHandler m_onEdit;
    std::function<void()> m_onRefusals;
    const Row* m_editing = nullptr; // the row whose typing is being applied
};
