#pragma once
// The design the window edits: the parameters set (engine/design/design.h), the
// file it came from, and every change as a command on an undo stack, so
// that each edit can be undone and the stack's clean state says whether
// there is anything unsaved. Its evaluation is the budget model's, as the
// calculator makes it.
#include "budget_sheet.h"
#include "derived_inputs.h"
#include "design.h"
#include "design_fields.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <optional>
#include <string>
#include <vector>

// One evaluation of a design: its numbers, the features that apply, and
// what the budget sheet made of them. `error` is the model's one-line
// refusal (the sheet is then not worked out), `stop` the parameter it
// concerns (ParamId::Count: none).
struct Evaluation {
    DesignPoint point;
    std::optional<BudgetModel> model;
    std::string error;
    ParamId stop = ParamId::Count;
    BudgetSheet sheet{};
    std::vector<SheetSection> sections;
    std::vector<LinkTerm> terms;
    std::vector<DerivedInput> derived; // the inputs the budget works out (none unevaluated)

    bool ok() const { return error.empty(); }
};

Evaluation Evaluate(const Design& design);

// The refusal as the sheet says it: "Path Elevation: elevation must be from 5
// to 90 degrees — the budget is not evaluated"; empty when the design is
// evaluated.
QString StopText(const Evaluation& evaluation);
// The refusal as the field that stops it says it (the message alone).
QString StopMessage(const Evaluation& evaluation);

class DesignDocument : public QObject {
    Q_OBJECT
  public:
    DesignDocument();
    ~DesignDocument() override;

    const Design& design() const { return m_design; }
    QUndoStack* undoStack() { return &m_undo; }

    // Sets (or, with none, clears) one parameter as an undoable edit named
    // `what`: each finished entry is one edit. Nothing happens when nothing
    // would change.
    void setParam(ParamId id, std::optional<ParamSetting> setting, const QString& what);
    // Several parameters as one edit.
    void setParams(const std::vector<std::pair<ParamId, std::optional<ParamSetting>>>& settings,
                   const QString& what);

    // A new or opened design: no history, nothing unsaved.
    void reset(const Design& design, const QString& path);

    const QString& path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }
    bool modified() const { return !m_undo.isClean(); }
    void markSaved() { m_undo.setClean(); }

    // Applies a setting without the undo stack (the commands' own step).
    void apply(ParamId id, const std::optional<ParamSetting>& setting);

  signals:
    // After every edit, undo, redo and reset.
    void changed();
    // When the design comes to differ from its file, or no longer does.
    void modifiedChanged();

  private:
    Design m_design;
    QUndoStack m_undo;
    QString m_path;
};
