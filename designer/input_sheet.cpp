#include "input_sheet.h"

#include "design_fields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kRefusedTint = 90; // of 255: how much of the palette's red tints a refused field

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
    row.caption = new QLabel(caption, group);
    row.caption->setObjectName(partName("Caption", param));
    row.caption->setToolTip(tip);
    if (FieldKindOf(param) == FieldKind::Choice) {
        row.choice = new QComboBox(group);
        row.choice->addItem(UnsetText(param, m_locale));
        for (const Choice& choice : param.choices())
            row.choice->addItem(QString::fromUtf8(choice.name));
        row.field = row.choice;
    } else {
        row.edit = new QLineEdit(group);
        row.edit->setPlaceholderText(UnsetText(param, m_locale));
        row.field = row.edit;
        const std::vector<UnitChoice> units = UnitChoices(param);
        if (FieldKindOf(param) == FieldKind::Number && units.size() > 1) {
            row.unit = new QComboBox(group);
            row.unit->setObjectName(partName("Unit", param));
            row.unit->setAccessibleName(caption + QStringLiteral(" unit"));
            for (const UnitChoice& unit : units)
                row.unit->addItem(unit.label, unit.unit);
            grid->addWidget(row.unit, line, kUnit);
        } else if (*ParamUnitLabel(param) != '\0') {
            row.unitLabel = new QLabel(units.front().label, group);
            grid->addWidget(row.unitLabel, line, kUnit);
        }
    }
    row.field->setObjectName(partName("Field", param));
    row.field->setAccessibleName(caption);
    row.field->setToolTip(tip);
    row.caption->setBuddy(row.field);
    row.problem = new QLabel(group);
    row.problem->setObjectName(partName("Problem", param));
    row.problem->setWordWrap(true);
    row.problem->setAccessibleName(caption + QStringLiteral(" refused"));
    row.problem->hide();
    grid->addWidget(row.caption, line, kCaption);
    grid->addWidget(row.field, line, kField);
    grid->addWidget(row.problem, line + 1, kField, 1, 2);
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

void InputSheet::typed(Row& row) {
    const FieldReading reading =
        ReadField(*row.param, row.edit->text(), pickedUnit(row), m_locale, m_point);
    if (!reading.ok()) {
        markRefused(row, reading.error);
        return;
    }
    markRefused(row, QString());
    if (reading.setting && row.unit != nullptr)
        pickUnit(row, QString::fromStdString(reading.setting->unit));
    send(row, reading.setting, row.session);
}

void InputSheet::unitPicked(Row& row) {
    if (row.edit->text().trimmed().isEmpty()) // nothing typed: the unit waits for a number
        return;
    const FieldReading reading =
        ReadField(*row.param, row.edit->text(), pickedUnit(row), m_locale, m_point);
    if (!reading.ok()) {
        markRefused(row, reading.error);
        return;
    }
    send(row, reading.setting, 0);
    showSetting(row, reading.setting);
}

void InputSheet::choicePicked(Row& row) {
    const int index = row.choice->currentIndex();
    std::optional<ParamSetting> setting;
    if (index > 0)
        setting = ParamSetting{double(index - 1), double(index - 1), {}};
    send(row, setting, 0);
}

void InputSheet::finishTyping(Row& row) {
    ++row.session; // the next typing is a new edit
    if (!row.refused)
        showSetting(row, row.shown);
}

void InputSheet::send(Row& row, const std::optional<ParamSetting>& setting, int session) {
    if (!m_onEdit)
        return;
    m_editing = &row;
    m_onEdit(row.param->id, setting,
             QStringLiteral("Set %1").arg(QString::fromUtf8(ParamCaption(*row.param))), session);
    m_editing = nullptr;
}

void InputSheet::markRefused(Row& row, const QString& why) {
    const bool refused = !why.isEmpty();
    if (refused == row.refused && row.problem->text() == why)
        return;
    row.refused = refused;
    row.problem->setText(why);
    row.problem->setVisible(refused);
    row.field->setAccessibleDescription(why);
    // Only the background is set; the rest follows the desktop's palette.
    QPalette palette;
    if (refused)
        palette.setColor(QPalette::Base, refusedBase(row.group->palette()));
    row.field->setPalette(palette);
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
    row.shown = setting;
    if (row.choice != nullptr) {
        const int index = setting ? int(setting->value) + 1 : 0;
        if (row.choice->currentIndex() != index)
            row.choice->setCurrentIndex(index);
        return;
    }
    const QString text = setting ? SettingText(*row.param, *setting, m_locale) : QString();
    if (row.edit->text() != text)
        row.edit->setText(text);
    if (row.unit != nullptr) // an unset row starts again from its bare unit
        pickUnit(row, setting ? QString::fromStdString(setting->unit) : QString());
    markRefused(row, QString());
}

void InputSheet::showDesign(const Design& design, const DesignPoint& point) {
    m_point = point;
    for (Row& row : m_rows) {
        const std::optional<ParamSetting>& setting = design.setting(row.param->id);
        // The row being typed in keeps its text; a refused text stays until
        // its parameter changes some other way (undo, a file, a solve).
        if (&row == m_editing) {
            row.shown = setting;
        } else if (!row.refused || row.shown != setting) {
            showSetting(row, setting);
        }
        const bool applies = ParamApplies(*row.param, point);
        if (row.field->isVisibleTo(this) != applies) {
            for (QWidget* part :
                 {static_cast<QWidget*>(row.caption), row.field, static_cast<QWidget*>(row.unit),
                  static_cast<QWidget*>(row.unitLabel)})
                if (part != nullptr)
                    part->setVisible(applies);
            row.problem->setVisible(applies && row.refused);
        }
    }
    for (QGroupBox* group : m_groups) {
        const bool any = std::any_of(m_rows.begin(), m_rows.end(), [&](const Row& row) {
            return row.group == group && ParamApplies(*row.param, point);
        });
        if (group->isVisibleTo(this) != any)
            group->setVisible(any);
    }
}
