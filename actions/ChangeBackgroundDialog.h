#pragma once

#include <QDialog>
#include <QString>

#include "changer/ChangerFiles.h"

class QComboBox;

namespace vistrel {

// "Change Background Automatically…": how often, from which pictures and how spread over the
// monitors. Accepting it saves the settings; turned on, it writes the autostart entry for the
// agent and starts it (or has a running one read the settings again); turned off, it removes the
// entry and ends the agent.
class ChangeBackgroundDialog : public QDialog {
    Q_OBJECT

  public:
    // `agent` is the vistrel-background program, by default the one beside this program's
    // file, else the one in PATH.
    explicit ChangeBackgroundDialog(QWidget* parent = nullptr, QString agent = DefaultAgent());

    static QString DefaultAgent();

    // The settings as the dialog shows them.
    ChangerSettings Chosen() const;

    void accept() override;

  private:
    // Returns why the schedule could not be put in place, or an empty string.
    QString Apply(const ChangerSettings& settings) const;

    QString agent;
    SettingsFile settingsFile;
    AutostartEntry autostart;
    QComboBox* interval;
    QComboBox* source;
    QComboBox* spread;
};

}  // namespace vistrel
