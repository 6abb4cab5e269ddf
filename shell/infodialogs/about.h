#pragma once
// The information dialogs of the Help menu: "Tedsmith - About" (program type, version,
// disclaimer) and "Tedsmith - General information" (also the program folder, the
// drivers of the chosen interface and the data files loaded). Both fill themselves
// when created; nothing changes while they are open.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace shell {

class About final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 14;
    explicit About(QWidget* parent = nullptr);

    QLabel* PrgTypeName = nullptr;
    QLabel* ZQ = nullptr;
    QPlainTextEdit* Disclaimer = nullptr;
};

class GeneralInfo final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 23;
    explicit GeneralInfo(QWidget* parent = nullptr);

    QLabel* PrgTypeName = nullptr;
    QLabel* ZQ = nullptr;
    QLabel* PrgDir = nullptr;
    QPlainTextEdit* Drivers = nullptr;
    QPlainTextEdit* Files_loaded = nullptr;
    QPushButton* nofocus = nullptr;
};

} // namespace shell
