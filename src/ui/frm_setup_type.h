#pragma once
// frmSetupType, the small progress window of the start-up: it says that
// the data connection is being configured, and its status line (lblDesc)
// shows the step of the server check under way.
#include <QWidget>

class QLabel;

namespace dovrel::ui {

class FrmSetupType : public QWidget {
    Q_OBJECT

public:
    // Creates the controls and runs Form_Load, as creating the window does.
    // The status line is registered with the Qt host for the window's life.
    explicit FrmSetupType(QWidget* parent = nullptr);

    // The controls, by their names.
    QLabel* lblDesc() const { return lblDesc_; }
    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* Image1() const { return image1_; }

    // The load step: the run's display font, then the captions converted.
    void Form_Load();

private:
    void createControls();
    void centreOnScreen();

    QLabel* lblDesc_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* image1_ = nullptr;
};

}  // namespace dovrel::ui
