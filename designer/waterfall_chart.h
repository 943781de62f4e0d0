#pragma once
// Where every decibel went: the budget's terms as a waterfall, one bar per
// term from the running sum before it to the sum after it, ending in the
// fade margin; gains and losses in the palette's colours. Under it the noise
// budget: each part's share of the system noise temperature (the antenna,
// the feed, each stage of the receiver chain), as the engine explains it.
#include <QLocale>
#include <QWidget>

#include <vector>

struct Evaluation;

class WaterfallChart : public QWidget {
  public:
    explicit WaterfallChart(QWidget* parent = nullptr);

    void showEvaluation(const Evaluation& evaluation);

    struct Bar {
        QString caption;
        double from = 0.0; // dB, the running sum before the term
        double to = 0.0;   // after it
        bool total = false;
    };
    const std::vector<Bar>& bars() const { return m_bars; }

    struct Share {
        QString caption;
        double percent = 0.0;
    };
    struct Breakdown {
        QString title;
        std::vector<Share> shares;
    };
    const std::vector<Breakdown>& breakdowns() const { return m_breakdowns; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override; // all of it: its scroll area scrolls

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<Bar> m_bars;
    std::vector<Breakdown> m_breakdowns;
    QLocale m_locale;
};
