#include "result_panel.h"

#include "design_document.h"
#include "design_fields.h"
#include "link_calculation.h"
#include "one_line_label.h"
#include "verdict.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct LineText {
    QString key; // the value label's name after the table's prefix
    QString caption;
    QString value;
    QString extra; // the unit, or a term's share of the margin
    QString tip;
};

QString trimmedText(const std::string& text) {
    return QString::fromStdString(text).trimmed();
}

// "+37.0 dB": a term's share of the fade margin, with its sign.
QString shareText(double db, const QLocale& locale) {
    return (db >= 0.0 ? QStringLiteral("+") : QString()) + DecibelText(db, locale) +
           QStringLiteral(" dB");
}

void setText(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}

} // namespace

// A titled table of lines (caption, value, unit) with notes under it; the
// labels are made once and reused, so that an edit only changes texts.
class LineTable : public QGroupBox {
  public:
    LineTable(const QString& prefix, QWidget* parent) : QGroupBox(parent), m_prefix(prefix) {
        auto* layout = new QVBoxLayout(this);
        m_grid = new QGridLayout;
        m_grid->setColumnStretch(0, 1);
        layout->addLayout(m_grid);
        m_notes = new QLabel(this);
        m_notes->setWordWrap(true);
        m_notes->hide();
        layout->addWidget(m_notes);
    }

    void setLines(const std::vector<LineText>& lines, const QStringList& notes = {}) {
        while (m_rows.size() < lines.size())
            addRow();
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            Row& row = m_rows[i];
            const bool used = i < lines.size();
            if (used) {
                const LineText& line = lines[i];
                setText(row.caption, line.caption);
                setText(row.value, line.value);
                setText(row.extra, line.extra);
                const QString name = m_prefix + line.key;
                if (row.value->objectName() != name)
                    row.value->setObjectName(name);
                const QString spoken = line.caption + QStringLiteral(" ") + line.value +
                                       (line.extra.isEmpty() ? QString() : " " + line.extra);
                if (row.value->accessibleName() != spoken)
                    row.value->setAccessibleName(spoken);
                if (row.caption->toolTip() != line.tip)
                    row.caption->setToolTip(line.tip);
            }
            for (QLabel* label : {row.caption, row.value, row.extra})
                if (label->isVisibleTo(this) != used)
                    label->setVisible(used);
        }
        const QString noteText = notes.join(QLatin1Char('\n'));
        setText(m_notes, noteText);
        if (m_notes->isVisibleTo(this) == noteText.isEmpty())
            m_notes->setVisible(!noteText.isEmpty());
    }

    void makeSelectable() {
        m_selectable = true;
        for (const Row& row : m_rows)
            row.value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

  private:
    struct Row {
        QLabel* caption;
        QLabel* value;
        QLabel* extra;
    };

    void addRow() {
        const int line = static_cast<int>(m_rows.size());
        Row row{new OneLineLabel(this), new OneLineLabel(this), new OneLineLabel(this)};
        row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (m_selectable)
            row.value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row.extra->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->addWidget(row.caption, line, 0);
        m_grid->addWidget(row.value, line, 1);
        m_grid->addWidget(row.extra, line, 2);
        m_rows.push_back(row);
    }

    QString m_prefix;
    QGridLayout* m_grid;
    QLabel* m_notes;
    std::vector<Row> m_rows;
    bool m_selectable = false;
};

ResultPanel::ResultPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ResultPanel"));
    m_layout = new QVBoxLayout(this);
    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("Verdict"));
    m_verdict->setWordWrap(true);
    QFont big = m_verdict->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    m_verdict->setFont(big);
    m_layout->addWidget(m_verdict);
    m_staleNote = new QLabel(this);
    m_staleNote->setObjectName(QStringLiteral("StaleNote"));
    m_staleNote->setWordWrap(true);
    m_staleNote->hide();
    m_layout->addWidget(m_staleNote);
    m_terms = new LineTable(QStringLiteral("Term"), this);
    m_terms->setTitle(QStringLiteral("Budget"));
    m_layout->addWidget(m_terms);
    m_results = new LineTable(QStringLiteral("Result"), this);
    m_results->setTitle(QStringLiteral("Results"));
    m_layout->addWidget(m_results);
    m_layout->addStretch(1);
}

ResultPanel::~ResultPanel() = default;

void ResultPanel::showEvaluation(const Evaluation& evaluation) {
    // A design the model refuses has no budget: the verdict says which field
    // stops it, and the results stay those of the last design evaluated.
    m_evaluated = evaluation.ok();
    showNote();
    if (!evaluation.ok()) {
        setText(m_verdict, StopText(evaluation));
        m_verdictState = -1;
        colourVerdict();
        return;
    }
    const LinkResults& results = evaluation.sheet.results;
    const double asked = evaluation.point[ParamId::Margin];
    setText(m_verdict, VerdictText(results.FadeMargin, asked, m_locale));
    m_verdictState = LinkCloses(results.FadeMargin, asked) ? 1 : -1;
    colourVerdict();

    std::vector<LineText> lines;
    for (const LinkTerm& term : evaluation.terms)
        lines.push_back({QString::fromUtf8(term.key), QString::fromUtf8(term.caption),
                         DecibelText(term.value, m_locale) + " " + QString::fromUtf8(term.unit),
                         shareText(term.db, m_locale),
                         QStringLiteral("Formula: ") + QString::fromUtf8(term.source)});
    lines.push_back({QStringLiteral("FadeMargin"),
                     QString::fromUtf8(ResultRowOf(&LinkResults::FadeMargin).caption),
                     DecibelText(results.FadeMargin, m_locale) + QStringLiteral(" dB"), QString(),
                     QStringLiteral("the sum of the terms above")});
    m_terms->setLines(lines);

    lines.clear();
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        const ResultRow& row = ResultTable[i];
        lines.push_back({QString::fromUtf8(ResultKey(i).data(), int(ResultKey(i).size())),
                         QString::fromUtf8(row.caption),
                         trimmedText(ResultShownText(row, results.*row.field)),
                         QString::fromUtf8(row.unit),
                         {}});
    }
    lines.push_back({QStringLiteral("MinBepDesired"),
                     QString::fromUtf8(kBepCaption),
                     trimmedText(BepText(evaluation.sheet.effective.MinEbNoDesired)),
                     QStringLiteral("errors per bit"),
                     {}});
    m_results->setLines(lines);

    while (m_sections.size() < evaluation.sections.size()) {
        m_sections.push_back(new LineTable(QStringLiteral("Line"), this));
        if (m_selectable)
            m_sections.back()->makeSelectable();
        m_layout->insertWidget(m_layout->count() - 1, m_sections.back());
    }
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        LineTable* table = m_sections[s];
        const bool used = s < evaluation.sections.size();
        if (used) {
            const SheetSection& section = evaluation.sections[s];
            if (table->title() != QString::fromStdString(section.title))
                table->setTitle(QString::fromStdString(section.title));
            lines.clear();
            for (const SheetLine& line : section.lines)
                lines.push_back({QString::fromStdString(line.key),
                                 QString::fromStdString(line.caption),
                                 trimmedText(line.text),
                                 QString::fromStdString(line.unit),
                                 {}});
            // A section the calculator writes as JSON fields only: its fields.
            for (const SheetField& field :
                 section.lines.empty() ? section.fields : std::vector<SheetField>{})
                lines.push_back({QString::fromStdString(field.name),
                                 QString::fromStdString(field.name),
                                 field.text ? QString::fromStdString(*field.text)
                                            : NumberText(field.number, m_locale),
                                 {},
                                 {}});
            QStringList notes;
            for (const std::string& note : section.notes)
                notes << QString::fromStdString(note);
            table->setLines(lines, notes);
        }
        if (table->isVisibleTo(this) != used)
            table->setVisible(used);
    }
}

void ResultPanel::makeValuesSelectable() {
    m_selectable = true;
    for (LineTable* table : {m_terms, m_results})
        table->makeSelectable();
    for (LineTable* table : m_sections)
        table->makeSelectable();
}

void ResultPanel::showRefused(const QStringList& captions) {
    m_refused = captions;
    showNote();
}

void ResultPanel::showNote() {
    QStringList parts;
    if (!m_evaluated)
        parts << QStringLiteral("Results for the last design evaluated");
    if (m_refused.size() == 1)
        parts << QStringLiteral("Results for the last accepted values: %1 holds a refused entry")
                     .arg(m_refused.front());
    else if (m_refused.size() > 1)
        parts << QStringLiteral("Results for the last accepted values: %1 and %2 hold refused "
                                "entries")
                     .arg(QStringList(m_refused.begin(), m_refused.end() - 1)
                              .join(QStringLiteral(", ")),
                          m_refused.back());
    const QString note = parts.join(QLatin1Char('\n'));
    setText(m_staleNote, note);
    m_staleNote->setAccessibleName(note);
    if (m_staleNote->isVisibleTo(this) == note.isEmpty())
        m_staleNote->setVisible(!note.isEmpty());
}

void ResultPanel::colourVerdict() {
    if (m_colouredState == m_verdictState)
        return;
    m_colouredState = m_verdictState;
    QPalette palette;
    if (m_verdictState != 0)
        palette.setColor(QPalette::WindowText, VerdictColour(this->palette(), m_verdictState > 0));
    m_verdict->setPalette(palette);
}

void ResultPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        m_colouredState = 0;
        colourVerdict();
    }
    QWidget::changeEvent(event);
}
