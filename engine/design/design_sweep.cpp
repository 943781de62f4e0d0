#include "design_sweep.h"

#include <cmath>

void ZeroCrossings::add(double x, double fadeMargin) {
    if (std::isnan(fadeMargin)) {
        m_lastX.reset();
        return;
    }
    if (m_crossings.size() < kMaxKept) {
        if (fadeMargin == 0.0) {
            m_crossings.push_back(x);
        } else if (m_lastX && m_lastMargin != 0.0 && (m_lastMargin > 0.0) != (fadeMargin > 0.0)) {
            const double t = m_lastMargin / (m_lastMargin - fadeMargin); // 0 ... 1
            m_crossings.push_back(*m_lastX + t * (x - *m_lastX));
        }
    }
    m_lastX = x;
    m_lastMargin = fadeMargin;
}

void LargestClosing::add(double x, double fadeMargin) {
    if (fadeMargin >= 0.0 && (!m_best || x > *m_best)) {
        m_best = x;
    }
}
