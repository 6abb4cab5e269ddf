#pragma once
// The template abstract control: a template's name and its abstract lines. Placed in the
// TEDS information window (and later in the create/remap and download windows).

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace editor {

class AbstractControl final : public QWidget {
    Q_OBJECT
public:
    explicit AbstractControl(QWidget* parent = nullptr);

    // Title := the template's name; text := its abstract lines (empty for none).
    void UpdateTemplateAbstract(int templateIndex);
    // The same from a name and lines already at hand.
    void show(const std::string& name, const std::vector<std::string>& lines);

    QLabel* AbstractTitle = nullptr;
    QPlainTextEdit* TemplateAbstract = nullptr;
    QLabel* Label6 = nullptr;
};

} // namespace editor
