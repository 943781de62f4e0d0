#include "design_document.h"

#include "design_rules.h"

namespace {

class SetParamsCommand final : public QUndoCommand {
  public:
    using Change = std::pair<ParamId, std::optional<ParamSetting>>;

    SetParamsCommand(DesignDocument& document, std::vector<Change> after, const QString& what)
        : QUndoCommand(what), m_document(document), m_after(std::move(after)) {
        for (const Change& change : m_after)
            m_before.emplace_back(change.first, document.design().setting(change.first));
    }

    void redo() override { applyAll(m_after); }
    void undo() override { applyAll(m_before); }

  private:
    void applyAll(const std::vector<Change>& changes) {
        for (const Change& change : changes)
            m_document.apply(change.first, change.second);
    }

    DesignDocument& m_document;
    std::vector<Change> m_before;
    std::vector<Change> m_after;
};

} // namespace

Evaluation Evaluate(const Design& design) {
    Evaluation evaluation;
    evaluation.point = design.point();
    evaluation.model.emplace(evaluation.point);
    // The window names a parameter by its caption, as its rows do.
    const std::optional<DesignFault> fault = CheckDesign(design, evaluation.point, [](ParamId id) {
        return std::string(ParamCaption(ParamRowOf(id)));
    });
    if (fault) {
        evaluation.error = fault->message;
        evaluation.stop = fault->param;
        return evaluation;
    }
    evaluation.model->evaluate(evaluation.point, evaluation.sheet);
    evaluation.sections = evaluation.model->sections(evaluation.point, evaluation.sheet);
    evaluation.terms = evaluation.model->terms(evaluation.point, evaluation.sheet);
    evaluation.derived = DerivedInputs(evaluation.point, evaluation.sheet);
    return evaluation;
}

namespace {

QString captionOf(ParamId id) {
    return QString::fromUtf8(ParamCaption(ParamRowOf(id)));
}

} // namespace

QString StopMessage(const Evaluation& evaluation) {
    QString message = QString::fromStdString(evaluation.error);
    if (evaluation.stop != ParamId::Count) { // the name the message may put first goes
        const QString name = captionOf(evaluation.stop) + QStringLiteral(": ");
        if (message.startsWith(name))
            message.remove(0, name.size());
    }
    return message;
}

QString StopText(const Evaluation& evaluation) {
    if (evaluation.ok())
        return QString();
    const QString message = QString::fromStdString(evaluation.error);
    const QString said =
        evaluation.stop == ParamId::Count ||
                message.startsWith(captionOf(evaluation.stop) + QLatin1Char(' ')) ||
                message.startsWith(captionOf(evaluation.stop) + QLatin1Char(':'))
            ? message
            : QStringLiteral("%1: %2").arg(captionOf(evaluation.stop), message);
    return said + QStringLiteral(" \u2014 the budget is not evaluated");
}

DesignDocument::DesignDocument() {
    connect(&m_undo, &QUndoStack::indexChanged, this, [this] { emit changed(); });
    connect(&m_undo, &QUndoStack::cleanChanged, this, [this] { emit modifiedChanged(); });
}

// The stack's own clearing as it goes is no edit to show.
DesignDocument::~DesignDocument() {
    disconnect(&m_undo, nullptr, this, nullptr);
}

void DesignDocument::setParam(ParamId id, std::optional<ParamSetting> setting,
                              const QString& what) {
    if (m_design.setting(id) == setting)
        return;
    m_undo.push(new SetParamsCommand(*this, {{id, std::move(setting)}}, what));
}

void DesignDocument::setParams(
    const std::vector<std::pair<ParamId, std::optional<ParamSetting>>>& settings,
    const QString& what) {
    std::vector<SetParamsCommand::Change> changes;
    for (const auto& [id, setting] : settings) {
        if (m_design.setting(id) != setting)
            changes.emplace_back(id, setting);
    }
    if (!changes.empty())
        m_undo.push(new SetParamsCommand(*this, std::move(changes), what));
}

void DesignDocument::reset(const Design& design, const QString& path) {
    m_undo.clear();
    m_design = design;
    m_path = path;
    emit changed();
    emit modifiedChanged();
}

void DesignDocument::apply(ParamId id, const std::optional<ParamSetting>& setting) {
    if (setting)
        m_design.set(id, *setting);
    else
        m_design.clear(id);
}
