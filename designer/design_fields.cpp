#include "design_fields.h"

#include "budget_sheet.h"
#include "value_reader.h"

#include <array>
#include <cmath>

namespace {

// What a bare number means, by name: the row's default unit when it has
// one (a temperature read in degC), else the unit the registry shows.
QString unitLabel(const ParamRow& row) {
    if (row.defaultUnit != nullptr)
        return QString::fromUtf8(row.defaultUnit);
    const QString label = QString::fromUtf8(ParamUnitLabel(row));
    if (!label.isEmpty())
        return label;
    return QStringLiteral("plain");
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

// The sections of a design's budget; none at all when a feature refuses it.
// Known from the features the design brings in: nothing is evaluated (this
// runs for every parameter when the sheet is first built).
std::optional<std::size_t> sectionCount(const DesignPoint& point) {
    const BudgetModel model(point);
    std::string error;
    if (!model.check(point, error))
        return std::nullopt;
    return model.sectionCount();
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
    // A list's entries as typed (a comma may part their fields); a number
    // with the locale's decimal separator as a full stop.
    const std::string typed =
        FieldKindOf(row) == FieldKind::Text ? text.toStdString() : cText(text, locale);
    const double path = design[ParamId::Path];
    const ValueReading reading = ReadValueText(row, typed, path, pickedUnit.toStdString());
    if (!reading.ok())
        return {std::nullopt, QString::fromStdString(ValueMessage("", quoted(text).toStdString(),
                                                                  row, reading, path))};
    return {reading.setting, {}};
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
            for (const ParamId referred : {other.needs, other.replacedBy})
                if (const ParamRow* trigger = ReferredRow(other, referred))
                    list[IndexOf(trigger->id)] = true;
        }
        for (const ParamRow& each : ParamTable)
            list[IndexOf(each.id)] = list[IndexOf(each.id)] || bringsFeature(each);
        return list;
    }();
    return triggers[IndexOf(row.id)];
}

QString UnsetText(const ParamRow& row, const QLocale& locale, const QString& unit) {
    if (IsTrigger(row))
        return QStringLiteral("not set");
    const double value = ParamDefault(row);
    if (FieldKindOf(row) == FieldKind::Text)
        return QStringLiteral("none");
    if (FieldKindOf(row) == FieldKind::Choice)
        return QStringLiteral("%1 (default)")
            .arg(QString::fromUtf8(row.choices()[static_cast<std::size_t>(value)].name));
    std::optional<double> shown = FromBaseUnit(row, value, unit);
    QString label = unit;
    if (!shown || unit.isEmpty()) {
        shown = FromBaseUnit(row, value, QString());
        label = *ParamUnitLabel(row) != '\0' ? unitLabel(row) : QString();
    }
    return QStringLiteral("%1%2 (default)")
        .arg(NumberText(shown.value_or(value), locale),
             label.isEmpty() ? QString() : QStringLiteral(" ") + label);
}

const ParamRow* ReferredRow(const ParamRow& row, ParamId referred) {
    if (referred == row.id || referred == ParamId::Count)
        return nullptr;
    return &ParamRowOf(referred);
}

QString UnusedText(const ParamRow& row, const DesignPoint& point) {
    const auto caption = [](const ParamRow* other) {
        return QString::fromUtf8(ParamCaption(*other));
    };
    const ParamRow* needs = ReferredRow(row, row.needs);
    const ParamRow* replacedBy = ReferredRow(row, row.replacedBy);
    if (replacedBy != nullptr && point.has(replacedBy->id))
        return QStringLiteral("not used: replaced by %1").arg(caption(replacedBy));
    if (needs != nullptr && !point.has(needs->id))
        return QStringLiteral("not used: needs %1").arg(caption(needs));
    return QStringLiteral("not used on this design");
}

QString PreferredUnit(const ParamRow& row) {
    // The window's range is in miles; a design starts in kilometres.
    struct Metric {
        UnitFamily family;
        const char* unit;
    };
    static constexpr Metric kMetric[] = {{UnitFamily::Distance, "km"}};
    for (const Metric& metric : kMetric) {
        if (metric.family == row.family && FromBaseUnit(row, 1.0, QString::fromLatin1(metric.unit)))
            return QString::fromLatin1(metric.unit);
    }
    return QString();
}
