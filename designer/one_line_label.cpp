#include "one_line_label.h"

#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

namespace {

constexpr int kUnboundedPx = 2000; // the width and height QLabel lays a line out in

} // namespace

bool OneLineLabel::plain() const {
    const Qt::TextFormat format = textFormat();
    const bool rich = format == Qt::RichText ||
                      (format == Qt::AutoText && Qt::mightBeRichText(text())) ||
                      format == Qt::MarkdownText;
    const bool control =
        (textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard)) != 0;
    // An empty label is as wide as an average character: QLabel's own, cheap.
    return !text().isEmpty() && !rich && !control && !wordWrap() && frameWidth() == 0 &&
           indent() <= 0 && margin() == 0 && minimumWidth() == 0 &&
           !text().contains(QLatin1Char('\t'));
}

QSize OneLineLabel::sizeHint() const {
    if (!plain())
        return QLabel::sizeHint();
    ensurePolished();
    // As QLabel lays it out: the horizontal alignment as drawn, no centring
    // (which would round), mnemonics as the style shows them.
    int flags = QStyle::visualAlignment(layoutDirection(), alignment()) &
                ~(Qt::AlignVCenter | Qt::AlignHCenter);
    if (buddy() != nullptr && text().contains(QLatin1Char('&'))) {
        flags |= Qt::TextShowMnemonic;
        QStyleOption option;
        option.initFrom(this);
        if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
            flags |= Qt::TextHideMnemonic;
    }
    if (flags != m_sizedFlags || text() != m_sizedText || font() != m_sizedFont) {
        const QMargins margins = contentsMargins();
        const QRect box = fontMetrics().boundingRect(
            0, 0, kUnboundedPx - margins.left() - margins.right(), kUnboundedPx, flags, text());
        m_size =
            (box.size() + QSize(margins.left() + margins.right(), margins.top() + margins.bottom()))
                .expandedTo(minimumSize());
        m_sizedFlags = flags;
        m_sizedText = text();
        m_sizedFont = font();
    }
    return m_size;
}

QSize OneLineLabel::minimumSizeHint() const {
    return plain() ? sizeHint() : QLabel::minimumSizeHint();
}
