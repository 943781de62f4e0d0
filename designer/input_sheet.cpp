#include "input_sheet.h"

#include "design_fields.h"
#include "one_line_label.h"
#include "sheet_combo_box.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kDerivedDigits = 6; // significant digits of a value the budget works out
constexpr int kRefusedTint = 90;  // of 255: how much of the palette's red tints a refused field

enum Column { kCaption, kField, kUnit };

QString partName(const char* prefix, const ParamRow& row) {
    return QString::fromLatin1(prefix) + QString::fromUtf8(ParamKey(row));
}

// A field's background with the refusal tint, from whatever palette the
// desktop gives (light or dark).
QColor refusedBase(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor red(Qt::red);
    const auto mix = [](int a, int b) {
        return (a * (255 - kRefusedTint) + b * kRefusedTint) / 255;
    };
    return QColor(mix(base.red(), red.red()), mix(base.green(), red.green()),
                  mix(base.blue(), red.blue()));
}

} // namespace

InputSheet::InputSheet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("InputSheet"));
    createGroups();
}

void InputSheet::createGroups() {
    auto* layout = new QVBoxLayout(this);
    std::vector<ParamGroup> order;
    for (const ParamRow& row : ParamTable)
        order.push_back(row.group);
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (const ParamGroup group : order) {
        auto* box = new QGroupBox(QString::fromUtf8(ParamGroupTitle(group)), this);
        box->setObjectName(QStringLiteral("Group%1").arg(static_cast<int>(group)));
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(kField, 1);
        int line = 0;
        for (const ParamRow& param : ParamTable) {
            if (param.group == group) {
                Row& row = m_rows[IndexOf(param.id)];
                row.param = &param;
                createRow(row, box, line);
                connectRow(row);
                line += 2;
            }
        }
        layout->addWidget(box);
        m_groups.push_back(box);
    }
    layout->addStretch(1);
}

void InputSheet::createRow(Row& row, QGroupBox* group, int line) {
    const ParamRow& param = *row.param;
    const QString caption = QString::fromUtf8(ParamCaption(param));
    const QString tip = FieldToolTip(param);
    auto* grid = static_cast<QGridLayout*>(group->layout());
    row.group = group;
    row.caption = new OneLineLabel(caption, group);
    row.caption->setObjectName(partName("Caption", param));
    row.caption->setToolTip(tip);
    if (FieldKindOf(param) == FieldKind::Choice) {
        row.choice = new SheetComboBox(group);
        row.choice->addItem(UnsetText(param, m_locale));
        for (const Choice& choice : param.choices())
            row.choice->addItem(QString::fromUtf8(choice.name));
        guardWheel(row.choice);
        row.field = row.choice;
    } else {
        row.edit = new QLineEdit(group);
        row.edit->setPlaceholderText(UnsetText(param, m_locale));
        row.field = row.edit;
        const std::vector<UnitChoice> units = UnitChoices(param);
        if (FieldKindOf(param) == FieldKind::Number && units.size() > 1) {
            row.unit = new SheetComboBox(group);
            row.unit->setObjectName(partName("Unit", param));
            for (const UnitChoice& unit : units)
                row.unit->addItem(unit.label, unit.unit);
            guardWheel(row.unit);
            pickUnit(row, PreferredUnit(param));
            row.edit->setPlaceholderText(UnsetText(param, m_locale, pickedUnit(row)));
            grid->addWidget(row.unit, line, kUnit);
        } else if (*ParamUnitLabel(param) != '\0') {
            row.unitLabel = new OneLineLabel(units.front().label, group);
            grid->addWidget(row.unitLabel, line, kUnit);
        }
    }
    row.field->setObjectName(partName("Field", param));
    row.field->setToolTip(tip);
    row.caption->setBuddy(row.field);
    row.problem = new QLabel(group);
    row.problem->setObjectName(partName("Problem", param));
    row.problem->setWordWrap(true);
    row.problem->hide();
    grid->addWidget(row.caption, line, kCaption);
    grid->addWidget(row.field, line, kField);
    grid->addWidget(row.problem, line + 1, kField, 1, 2);
}

void InputSheet::nameRows() {
    for (const Row& row : m_rows) {
        if (row.param == nullptr)
            continue;
        const QString caption = QString::fromUtf8(ParamCaption(*row.param));
        row.field->setAccessibleName(caption);
        if (row.unit != nullptr)
            row.unit->setAccessibleName(caption + QStringLiteral(" unit"));
        row.problem->setAccessibleName(caption + QStringLiteral(" refused"));
    }
}

void InputSheet::connectRow(Row& row) {
    if (row.choice != nullptr) {
        connect(row.choice, &QComboBox::activated, this, [this, &row] { choicePicked(row); });
        return;
    }
    connect(row.edit, &QLineEdit::textEdited, this, [this, &row] { typed(row); });
    connect(row.edit, &QLineEdit::editingFinished, this, [this, &row] { finishTyping(row); });
    if (row.unit != nullptr)
        connect(row.unit, &QComboBox::activated, this, [this, &row] { unitPicked(row); });
}

void InputSheet::guardWheel(QComboBox* box) {
    // The wheel neither gives it the focus nor, without the focus, changes it.
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
}

bool InputSheet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel)
        return QWidget::eventFilter(watched, event);
    auto* box = qobject_cast<QComboBox*>(watched);
    if (box == nullptr || box->hasFocus())
        return QWidget::eventFilter(watched, event);
    // As the desktop's own forms do: the wheel over an unfocused drop-down
    // scrolls the sheet around it.
    for (QWidget* outer = parentWidget(); outer != nullptr; outer = outer->parentWidget()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(outer)) {
            QApplication::sendEvent(area->viewport(), event);
            break;
        }
    }
    return true;
}

void InputSheet::typed(Row& row) {
    // Checked as it is typed, to mark a bad entry early; applied only when
    // the entry is finished.
    row.typing = true;
    const FieldReading reading =
        ReadField(*row.param, row.edit->text(), pickedUnit(row), m_locale, m_point);
    markRefused(row, reading.error);
}

void InputSheet::unitPicked(Row& row) {
    if (row.derived && !row.shown) { // the value worked out, shown in the unit picked
        showSetting(row, row.shown);
        return;
    }
    if (row.edit->text().trimmed().isEmpty()) { // nothing typed: the unit waits for a number
        row.edit->setPlaceholderText(UnsetText(*row.param, m_locale, pickedUnit(row)));
        return;
    }
    const FieldReading reading =
        ReadField(*row.param, row.edit->text(), pickedUnit(row), m_locale, m_point);
    if (!reading.ok()) {
        markRefused(row, reading.error);
        return;
    }
    row.typing = false;
    send(row, reading.setting);
    showSetting(row, row.shown);
}

void InputSheet::choicePicked(Row& row) {
    const int index = row.choice->currentIndex();
    std::optional<ParamSetting> setting;
    if (index > 0)
        setting = ParamSetting{double(index - 1), double(index - 1), {}};
    send(row, setting);
}

void InputSheet::finishTyping(Row& row) {
    if (!row.typing && !row.refused)
        return;
    row.typing = false;
    const FieldReading reading =
        ReadField(*row.param, row.edit->text(), pickedUnit(row), m_locale, m_point);
    if (!reading.ok()) { // stays in the field, red, for the user to mend
        markRefused(row, reading.error);
        return;
    }
    markRefused(row, QString());
    send(row, reading.setting);
    showSetting(row, row.shown); // as the design holds it: "25 km" shows as 25 beside km
}

void InputSheet::send(Row& row, const std::optional<ParamSetting>& setting) {
    if (!m_onEdit)
        return;
    m_editing = &row;
    m_onEdit(row.param->id, setting,
             QStringLiteral("Set %1").arg(QString::fromUtf8(ParamCaption(*row.param))));
    m_editing = nullptr;
}

QStringList InputSheet::refusedCaptions() const {
    QStringList captions;
    for (const Row& row : m_rows)
        if (row.refused)
            captions << QString::fromUtf8(ParamCaption(*row.param));
    return captions;
}

void InputSheet::finishEntry() {
    for (Row& row : m_rows)
        if (row.edit != nullptr && row.edit->hasFocus())
            finishTyping(row);
}

void InputSheet::discardRefused() {
    for (Row& row : m_rows) {
        if (row.refused) {
            row.typing = false;
            showSetting(row, row.shown);
        }
    }
}

void InputSheet::markRefused(Row& row, const QString& why) {
    const bool refused = !why.isEmpty();
    if (refused == row.refused && row.refusal == why)
        return;
    row.refused = refused;
    row.refusal = why;
    showProblem(row);
    if (m_onRefusals)
        m_onRefusals();
}

// One way for every problem of a row: the message under the field, and the
// field tinted red when the row is refused or stops the evaluation; a set
// row that is not used says so, untinted.
void InputSheet::showProblem(Row& row) {
    const QString text = row.refused ? row.refusal : !row.stop.isEmpty() ? row.stop : row.unused;
    const bool red = row.refused || !row.stop.isEmpty();
    if (row.problem->text() != text)
        row.problem->setText(text);
    const bool visible = row.field->isVisibleTo(this) && !text.isEmpty();
    if (row.problem->isVisibleTo(this) != visible)
        row.problem->setVisible(visible);
    if (row.field->accessibleDescription() != text)
        row.field->setAccessibleDescription(text);
    if (red == row.tinted)
        return;
    row.tinted = red;
    // Only the background is set; the rest follows the desktop's palette.
    QPalette palette;
    if (red)
        palette.setColor(QPalette::Base, refusedBase(row.group->palette()));
    row.field->setPalette(palette);
}

void InputSheet::showStop(ParamId id, const QString& why) {
    for (Row& row : m_rows) {
        const QString stop = row.param->id == id ? why : QString();
        if (row.stop != stop) {
            row.stop = stop;
            showRow(row);
        }
    }
    showGroups();
}

QString InputSheet::pickedUnit(const Row& row) const {
    return row.unit != nullptr ? row.unit->currentData().toString() : QString();
}

void InputSheet::pickUnit(Row& row, const QString& unit) {
    const int index = row.unit->findData(unit);
    if (index < 0) // a unit spelt as the bare label: the bare entry stands for it
        row.unit->setCurrentIndex(0);
    else if (index != row.unit->currentIndex())
        row.unit->setCurrentIndex(index);
}

void InputSheet::showSetting(Row& row, const std::optional<ParamSetting>& setting) {
    const bool cleared = !setting && row.shown.has_value();
    row.shown = setting;
    row.typing = false;
    // An input the budget works out, and not set: its value, read-only.
    const bool worked = row.derived.has_value() && !setting;
    const QString tip = worked ? FieldToolTip(*row.param) + QStringLiteral("\n") + derivedNote(row)
                               : FieldToolTip(*row.param);
    if (row.field->toolTip() != tip)
        row.field->setToolTip(tip);
    if (row.choice != nullptr) {
        const int index = setting  ? int(setting->value) + 1
                          : worked ? int(row.derived->value) + 1
                                   : 0;
        if (row.choice->currentIndex() != index)
            row.choice->setCurrentIndex(index);
        row.choice->setEnabled(!worked);
        markRefused(row, QString());
        return;
    }
    const QString text = setting  ? SettingText(*row.param, *setting, m_locale)
                         : worked ? derivedText(row)
                                  : QString();
    if (row.edit->text() != text)
        row.edit->setText(text);
    // A value looked up (the site's climate) is the field's until one is typed.
    row.edit->setReadOnly(worked && !row.derived->typeable);
    if (row.unit != nullptr) {
        // A setting shows in its own unit; a row cleared starts again from
        // the unit a new design offers first.
        if (setting)
            pickUnit(row, QString::fromStdString(setting->unit));
        else if (cleared)
            pickUnit(row, PreferredUnit(*row.param));
        const QString unset = UnsetText(*row.param, m_locale, pickedUnit(row));
        if (row.edit->placeholderText() != unset)
            row.edit->setPlaceholderText(unset);
    }
    markRefused(row, QString());
}

QString InputSheet::derivedText(const Row& row) const {
    const DerivedInput& input = *row.derived;
    if (FieldKindOf(*row.param) == FieldKind::Choice)
        return QString::fromUtf8(row.param->choices()[std::size_t(input.value)].name);
    const QString unit = pickedUnit(row);
    const std::optional<double> shown = FromBaseUnit(*row.param, input.value, unit);
    QLocale plain = m_locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(shown.value_or(input.value), 'g', kDerivedDigits);
}

// "38609.1 km — Atmosphere: Slant Range"
QString InputSheet::derivedNote(const Row& row) const {
    QString unit = row.unit != nullptr        ? row.unit->currentText()
                   : row.unitLabel != nullptr ? row.unitLabel->text()
                                              : QString();
    return QStringLiteral("%1%2 \u2014 %3")
        .arg(derivedText(row), unit.isEmpty() ? QString() : QStringLiteral(" ") + unit,
             QString::fromStdString(row.derived->source));
}

void InputSheet::showDerived(const std::vector<DerivedInput>& derived) {
    std::array<std::optional<DerivedInput>, kParamCount> now{};
    for (const DerivedInput& input : derived)
        now[IndexOf(input.id)] = input;
    for (Row& row : m_rows) {
        std::optional<DerivedInput>& input = now[IndexOf(row.param->id)];
        const bool same = row.derived.has_value() == input.has_value() &&
                          (!input || (row.derived->value == input->value &&
                                      row.derived->source == input->source));
        if (!same) {
            row.derived = std::move(input);
            if (!row.refused && !row.typing)
                showSetting(row, row.shown);
        }
        // Set, yet worked out by the budget: the value set is not used.
        if (row.derived && row.shown)
            row.unused = QStringLiteral("not used: the budget uses ") + derivedNote(row);
        else if (row.derived)
            row.unused = derivedNote(row);
        showRow(row);
    }
    showGroups();
}

void InputSheet::showDesign(const Design& design, const DesignPoint& point) {
    m_point = point;
    for (Row& row : m_rows) {
        const std::optional<ParamSetting>& setting = design.setting(row.param->id);
        // The row being applied keeps its text; a text being typed or refused
        // stays until its parameter changes some other way (undo, a file, a
        // solve).
        if (&row == m_editing) {
            row.shown = setting;
        } else if ((!row.refused && !row.typing) || row.shown != setting) {
            showSetting(row, setting);
        }
        row.unused =
            setting && !ParamApplies(*row.param, point) ? UnusedText(*row.param, point) : QString();
        showRow(row);
    }
    showGroups();
}

// A row shows when it applies, and whenever it holds a value, a refused entry
// or the value the budget uses, or stops the evaluation: nothing set or
// typed is ever out of sight.
void InputSheet::showRow(Row& row) {
    const bool visible = ParamApplies(*row.param, m_point) || row.shown.has_value() ||
                         row.refused || !row.stop.isEmpty() || row.derived.has_value();
    if (row.field->isVisibleTo(this) != visible) {
        for (QWidget* part :
             {static_cast<QWidget*>(row.caption), row.field, static_cast<QWidget*>(row.unit),
              static_cast<QWidget*>(row.unitLabel)})
            if (part != nullptr)
                part->setVisible(visible);
    }
    showProblem(row);
}

void InputSheet::showGroups() {
    for (QGroupBox* group : m_groups) {
        const bool any = std::any_of(m_rows.begin(), m_rows.end(), [&](const Row& row) {
            return row.group == group && row.field->isVisibleTo(this);
        });
        if (group->isVisibleTo(this) != any)
            group->setVisible(any);
    }
}
