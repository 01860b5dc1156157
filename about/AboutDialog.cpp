#include "about/AboutDialog.h"

#include "about/LinkLabel.h"
#include "ui_AboutDialog.h"

namespace vistrel {

AboutDialog::AboutDialog(Beeper& beeper, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::AboutDialog>()) {
    ui->setupUi(this);
    for (LinkLabel* link : {ui->mailLink, ui->webLink}) {
        link->UseServices(DesktopLinkOpener(), DesktopErrorReporter(), beeper);
    }
    ui->mailLink->Bind();
    ui->mailLink->SetLinkUrl(QStringLiteral("mailto:") + ui->mailLink->text());
    ui->webLink->Bind();
    ui->webLink->SetLinkUrl(ui->webLink->text());
    // The links come before OK in the tab order, but the box opens with OK focused, so that
    // Enter closes it.
    setTabOrder(ui->mailLink, ui->webLink);
    setTabOrder(ui->webLink, ui->okButton);
    ui->okButton->setFocus();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::reject() {
    done(Closed);
}

}  // namespace vistrel
