#include "design_fields.h"

#include "budget_sheet.h"

#include <array>
#include <cmath>

namespace {

QString unitLabel(const ParamRow& row) {
    const QString label = QString::fromUtf8(ParamUnitLabel(row));
    if (!label.isEmpty())
        return label;
    return row.defaultUnit != nullptr ? QString::fromUtf8(row.defaultUnit)
                                      : QStringLiteral("plain");
}

QString unitList(const ParamRow& row) {
    return QString::fromStdString(UnitList(row.family));
}

// The number as the C reader wants it: the locale's decimal separator (when
// it is not a full stop) read as one.
std::string cText(const QString& text, const QLocale& locale) {
    QString normal = text.trimmed();
    const QString point = locale.decimalPoint();
    if (point != QStringLiteral("."))
        normal.replace(point, QStringLiteral("."));
    return normal.toStdString();
}

QString quoted(const QString& text) {
    return QString::fromStdString(Quoted(text.trimmed().toStdString()));
}

std::optional<double> toBase(const ParamRow& row, double given, const QString& unit) {
    return ToBaseUnit(row.family, row.defaultUnit, given, unit.toStdString());
}

// The sections of a design's budget; none at all when a feature refuses it.
std::optional<std::size_t> sectionCount(const DesignPoint& point) {
    const BudgetModel model(point);
    std::string error;
    if (!model.check(point, error))
        return std::nullopt;
    return model.sections(point, model.evaluate(point)).size();
}

// True when a feature of the budget comes in with the parameter set alone.
bool bringsFeature(const ParamRow& row) {
    static const std::optional<std::size_t> plain = sectionCount(Design().point());
    DesignPoint point = Design().point();
    point.set.set(IndexOf(row.id));
    return sectionCount(point) != plain;
}

} // namespace

FieldKind FieldKindOf(const ParamRow& row) {
    if (row.choices != nullptr)
        return FieldKind::Choice;
    if (row.family == UnitFamily::List || row.readItem != nullptr)
        return FieldKind::Text;
    return FieldKind::Number; // every family of units reads through ParseQuantity
}

std::vector<UnitChoice> UnitChoices(const ParamRow& row) {
    const QString label = unitLabel(row);
    std::vector<UnitChoice> choices{{label, QString()}};
    const QStringList units = unitList(row).split(QStringLiteral(", "), Qt::SkipEmptyParts);
    for (const QString& unit : units) {
        if (unit != label)
            choices.push_back({unit, unit});
    }
    return choices;
}

FieldReading ReadField(const ParamRow& row, const QString& text, const QString& pickedUnit,
                       const QLocale& locale, const DesignPoint& design) {
    if (text.trimmed().isEmpty())
        return {};
    if (FieldKindOf(row) == FieldKind::Text) { // entries as typed: a comma may part their fields
        ParamSetting setting;
        std::string error;
        if (!ReadListSetting(row, text.toStdString(), setting, error))
            return {std::nullopt, QString::fromStdString(error)};
        return {setting, {}};
    }
    const std::string typed = cText(text, locale);
    if (FieldKindOf(row) == FieldKind::Choice) {
        const std::optional<std::size_t> index = FindChoice(row, typed);
        if (!index)
            return {std::nullopt,
                    QStringLiteral("%1 is not %2")
                        .arg(quoted(text), QString::fromStdString(ChoiceNames(row, ", ", " or ")))};
        const double value = static_cast<double>(*index);
        return {ParamSetting{value, value, {}}, {}};
    }
    const QString units = unitList(row);
    Quantity quantity;
    switch (ParseQuantity(row.family, row.defaultUnit, typed, quantity)) {
    case UnitFault::None:
        break;
    case UnitFault::NotANumber:
        return {std::nullopt,
                units.isEmpty()
                    ? QStringLiteral("%1 is not a number").arg(quoted(text))
                    : QStringLiteral("%1 is not a number (units: %2)").arg(quoted(text), units)};
    case UnitFault::WrongUnit:
        return {std::nullopt, QStringLiteral("the unit does not fit %1 (units: %2)")
                                  .arg(QString::fromUtf8(ParamCaption(row)), units)};
    case UnitFault::OutOfRange:
        return {std::nullopt, QStringLiteral("%1 is too large").arg(quoted(text))};
    }
    ParamSetting setting = SettingOf(quantity);
    if (quantity.unit.empty() && !pickedUnit.isEmpty()) {
        const std::optional<double> base = toBase(row, quantity.given, pickedUnit);
        if (!base)
            return {std::nullopt,
                    QStringLiteral("the unit %1 does not fit %2 (units: %3)")
                        .arg(pickedUnit, QString::fromUtf8(ParamCaption(row)), units)};
        setting = ParamSetting{*base, quantity.given, pickedUnit.toStdString()};
    }
    const double path = design[ParamId::Path];
    if (!std::isfinite(setting.value) || !InBoundsOnPath(row, setting.value, path)) {
        const QString bounds = QString::fromUtf8(BoundsOnPath(row, path).text);
        return {std::nullopt,
                bounds.isEmpty()
                    ? QStringLiteral("%1 is out of range").arg(quoted(text))
                    : QStringLiteral("%1 is out of range (%2)").arg(quoted(text), bounds)};
    }
    return {setting, {}};
}

QString SettingText(const ParamRow& row, const ParamSetting& setting, const QLocale& locale) {
    if (FieldKindOf(row) == FieldKind::Text)
        return QString::fromStdString(ListSettingText(setting));
    return NumberText(setting.given, locale);
}

QString NumberText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const double size = std::fabs(value);
    const bool fixed = value == 0.0 || (size >= 1e-4 && size < 1e15);
    return plain.toString(value, fixed ? 'f' : 'g', QLocale::FloatingPointShortest);
}

std::optional<double> FromBaseUnit(const ParamRow& row, double base, const QString& unit) {
    return ::FromBaseUnit(row.family, row.defaultUnit, base, unit.toStdString());
}

ParamSetting SettingInUnit(const ParamRow& row, double base, const QString& unit) {
    const std::optional<double> given = FromBaseUnit(row, base, unit);
    if (given && !unit.isEmpty())
        return ParamSetting{base, *given, unit.toStdString()};
    return ParamSetting{base, given.value_or(base), {}};
}

QString FieldToolTip(const ParamRow& row) {
    QString tip = QString::fromUtf8(row.help);
    if (row.source != nullptr && *row.source != '\0')
        tip += QStringLiteral("\nFormula: ") + QString::fromUtf8(row.source);
    return tip;
}

bool IsTrigger(const ParamRow& row) {
    static const std::array<bool, kParamCount> triggers = [] {
        std::array<bool, kParamCount> list{};
        for (const ParamRow& other : ParamTable) {
            if (other.needs != other.id)
                list[IndexOf(other.needs)] = true;
            if (other.replacedBy != other.id)
                list[IndexOf(other.replacedBy)] = true;
        }
        for (const ParamRow& each : ParamTable)
            list[IndexOf(each.id)] = list[IndexOf(each.id)] || bringsFeature(each);
        return list;
    }();
    return triggers[IndexOf(row.id)];
}

QString UnsetText(const ParamRow& row, const QLocale& locale) {
    if (IsTrigger(row))
        return QStringLiteral("not set");
    const double value = ParamDefault(row);
    if (FieldKindOf(row) == FieldKind::Text)
        return QStringLiteral("none");
    if (FieldKindOf(row) == FieldKind::Choice)
        return QStringLiteral("%1 (default)")
            .arg(QString::fromUtf8(row.choices()[static_cast<std::size_t>(value)].name));
    const std::optional<double> shown = FromBaseUnit(row, value, QString());
    const QString label = QString::fromUtf8(ParamUnitLabel(row));
    return QStringLiteral("%1%2 (default)")
        .arg(NumberText(shown.value_or(value), locale),
             label.isEmpty() ? QString() : QStringLiteral(" ") + label);
}
