#pragma once
// What a row of the design sheet takes and shows, worked out from the
// parameter registry alone: the kind of field, the units offered beside the
// number, the reading of a typed value (with its unit, or with the unit
// picked) into a parameter setting or one line saying why not, and the
// texts of numbers in the user's locale. Nothing here knows a parameter by
// name, so a row added to the registry gets its field without code here.
#include "design.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

enum class FieldKind {
    Number, // a number, typed with a unit or with the unit picked beside it
    Choice, // one of the row's named choices
    Text,   // a list of entries, typed as one text and read, entry by entry,
            // by the row's own reader
};

FieldKind FieldKindOf(const ParamRow& row);

// The units offered beside a number: first the bare number (unit "", shown
// as the row's unit label), then every unit of the family by its name.
struct UnitChoice {
    QString label; // as shown in the picker
    QString unit;  // as saved: "" for a bare number
};
std::vector<UnitChoice> UnitChoices(const ParamRow& row);

// A typed value read for the row: unset (an empty field), a setting, or the
// reason it is refused. `pickedUnit` applies when the text names no unit;
// the bounds are those on the design's path.
struct FieldReading {
    std::optional<ParamSetting> setting; // none: clear the parameter
    QString error;                       // not empty: refused, nothing applied
    bool ok() const { return error.isEmpty(); }
};
FieldReading ReadField(const ParamRow& row, const QString& text, const QString& pickedUnit,
                       const QLocale& locale, const DesignPoint& design);

// What the field shows of a setting: its number in the locale, or a list's
// entries as the registry writes them.
QString SettingText(const ParamRow& row, const ParamSetting& setting, const QLocale& locale);

// The number of a setting as the field shows it: the shortest text that
// reads back to it, in the locale, without group separators.
QString NumberText(double value, const QLocale& locale);

// A value in the family's base unit as a number in `unit` ("" for the row's
// bare unit): the unit table's exact inverse; none when it has none.
std::optional<double> FromBaseUnit(const ParamRow& row, double base, const QString& unit);

// A value in the family's base unit as a setting given in `unit` when it
// converts back, else as a bare number in the base unit.
ParamSetting SettingInUnit(const ParamRow& row, double base, const QString& unit);

// The field's tooltip: its one-line help and the published source of its
// formula, when it has one.
QString FieldToolTip(const ParamRow& row);

// True when another row applies only with this one set, or is replaced by
// it: leaving it unset means "none", not "the default".
bool IsTrigger(const ParamRow& row);

// The text of what an unset row stands for, in `unit` ("" for the row's bare
// unit): "16.09344 km (default)", or "not set" for a trigger.
QString UnsetText(const ParamRow& row, const QLocale& locale, const QString& unit = QString());

// Why a row set is not used on the design: "not used: needs Rain Rate",
// "not used: replaced by Rx Dish Diameter".
QString UnusedText(const ParamRow& row, const DesignPoint& point);

// The row of a parameter a row refers to (needs, replacedBy): none when it
// refers to none (itself, or ParamId::Count).
const ParamRow* ReferredRow(const ParamRow& row, ParamId referred);

// The unit a new design's empty row offers first: a metric one where the
// bare number is not ("" for the bare unit).
QString PreferredUnit(const ParamRow& row);
