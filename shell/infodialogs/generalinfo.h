#pragma once
// The Help menu's "Tedsmith - General information": program type, version and folder,
// the drivers of the chosen interface and the data files loaded with their validation
// results. It fills itself when created; nothing changes while it is open.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace shell {

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
