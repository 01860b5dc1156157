#pragma once

#include <QString>

#include "about/Beeper.h"
#include "about/ClickableLabel.h"
#include "about/LinkColours.h"
#include "about/LinkErrorReporter.h"
#include "links/LinkOpener.h"

namespace vistrel {

// A static text that works as a hyperlink: underlined, coloured by its state, sized to its text,
// with the hand cursor and a tooltip that shows its target. A click opens the target; a failure
// beeps and explains itself in a message box.
class LinkLabel : public ClickableLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // Turns the label into a link; run it once the label has its text, font and place. A label
    // without a target takes its text as target, one without text shows its target.
    void Bind();

    // Changes the target and the tooltip; the label keeps showing its own text.
    void SetLinkUrl(QString target);
    void MarkVisited(bool flag);

    // Resizes the label to its text in the link font, keeping the edge its alignment names.
    void FitToText();
    void ShowLaunchError(int result);

    // Where clicks open their target and where failures beep and are told; run it before the
    // first click.
    void UseServices(LinkOpener& linkOpener, LinkErrorReporter& errorReporter, Beeper& beep);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void Click() override;
    void SetHovering(bool flag);
    void ApplyTextColour();

    LinkColours colours;
    LinkState state;
    QString url;
    LinkOpener* opener = nullptr;
    LinkErrorReporter* reporter = nullptr;
    Beeper* beeper = nullptr;
};

}  // namespace vistrel
