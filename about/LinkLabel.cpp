#include "about/LinkLabel.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QStyle>

#include "about/LinkGeometry.h"
#include "links/LaunchResult.h"

namespace vistrel {

LinkLabel::LinkLabel(QWidget* parent)
    : ClickableLabel(parent),
      colours{.hoverColor = QGuiApplication::palette().color(QPalette::Highlight)} {}

void LinkLabel::Bind() {
    setTextFormat(Qt::PlainText);
    if (url.isEmpty()) {
        url = text();
    }
    if (text().isEmpty()) {
        setText(url);
    }
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    BindClicks();
    FitToText();
    setToolTip(url);
    ApplyTextColour();
}

void LinkLabel::SetLinkUrl(QString target) {
    url = std::move(target);
    if (IsBound()) {
        FitToText();
        setToolTip(url);
    }
}

void LinkLabel::MarkVisited(bool flag) {
    state.visited = flag;
    if (IsBound()) {
        ApplyTextColour();
    }
}

void LinkLabel::FitToText() {
    if (!IsBound()) {
        return;
    }
    const QFontMetrics metrics(font());
    const QSize extent(metrics.horizontalAdvance(text()), metrics.height());
    setGeometry(
        FitRectToText(geometry(), extent, QStyle::visualAlignment(layoutDirection(), alignment())));
}

void LinkLabel::ShowLaunchError(int result) {
    const auto translate = [](const char* english) {
        return QCoreApplication::translate(LaunchErrorContext, english).toStdString();
    };
    reporter->ShowError(QString::fromStdString(LaunchErrorMessage(result, translate)));
}

void LinkLabel::UseServices(LinkOpener& linkOpener, LinkErrorReporter& errorReporter,
                            Beeper& beep) {
    opener = &linkOpener;
    reporter = &errorReporter;
    beeper = &beep;
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    ClickableLabel::enterEvent(event);
    if (IsBound()) {
        SetHovering(true);
    }
}

void LinkLabel::leaveEvent(QEvent* event) {
    ClickableLabel::leaveEvent(event);
    if (IsBound()) {
        SetHovering(false);
    }
}

void LinkLabel::Click() {
    const int result = opener->OpenLink(url.toStdString());
    MarkVisited(IsLaunchSuccess(result));
    if (!IsLaunchSuccess(result)) {
        beeper->Beep();
        ShowLaunchError(result);
    }
}

void LinkLabel::SetHovering(bool flag) {
    state.hovering = flag;
    ApplyTextColour();
    repaint();
}

void LinkLabel::ApplyTextColour() {
    QPalette textPalette = palette();
    textPalette.setColor(QPalette::WindowText, colours.For(state));
    setPalette(textPalette);
}

}  // namespace vistrel
