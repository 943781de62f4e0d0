#pragma once
// The outcome of the design sheet, all from the budget sheet: the verdict in
// words and colour, the budget term by term with each term's signed share of
// the fade margin, the nine results and the bit error performance, then each
// section the features add (their lines and notes). Each value's accessible
// name is its caption with its value.
#include <QLocale>
#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;
class QVBoxLayout;
struct Evaluation;
class LineTable;

class ResultPanel : public QWidget {
  public:
    explicit ResultPanel(QWidget* parent = nullptr);
    ~ResultPanel() override;

    void showEvaluation(const Evaluation& evaluation);
    QLabel* verdict() const { return m_verdict; }
    // The fields that hold a refused entry (captions): while there are any,
    // a note under the verdict says the results are the last accepted
    // values'.
    void showRefused(const QStringList& captions);
    // The values, and those of rows made later, become selectable by mouse.
    // The window asks for it after its first frame: a selectable label lays
    // its text out as a document, a third of the panel's cost at start-up.
    void makeValuesSelectable();
    bool valuesSelectable() const { return m_selectable; }

  protected:
    void changeEvent(QEvent* event) override; // a new desktop palette recolours the verdict

  private:
    void colourVerdict();
    void showNote();

    QLabel* m_verdict = nullptr;
    QLabel* m_staleNote = nullptr; // why the results are not the design's own
    QStringList m_refused;         // the fields holding a refused entry
    bool m_evaluated = true;       // the design shown was evaluated
    LineTable* m_terms = nullptr;
    LineTable* m_results = nullptr;
    std::vector<LineTable*> m_sections;
    QVBoxLayout* m_layout = nullptr;
    QLocale m_locale;
    int m_verdictState = 0;  // 1 closes, -1 short, 0 no budget
    int m_colouredState = 0; // the state the verdict's colour is for
    bool m_selectable = false;
};
