#pragma once
// The Help menu's "Tedsmith - About": program type, version and disclaimer. It fills
// itself when created; nothing changes while it is open.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

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

} // namespace shell
