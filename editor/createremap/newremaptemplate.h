#pragma once
// NewRemapTemplate, the create/remap dialog: a thin Qt view over NewRemapModel. One
// instance lives for the whole run; its buttons and its close box only hide it. As the
// document's template dialog hook it is prepared, without being shown, whenever a
// template is matched or forced, unless it is on show for its owner.

// moc cannot parse the standard library's concepts some of these pull in.
#ifndef Q_MOC_RUN
#include "editor/createremap/newremapmodel.h"
#include "editor/model/tedsdocument.h"
#endif

#include <QDialog>

#include <map>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace editor {

class AbstractControl;

class NewRemapTemplate final : public QDialog, public TemplateDialogHook {
    Q_OBJECT
public:
    explicit NewRemapTemplate(QWidget* parent = nullptr);
    ~NewRemapTemplate() override;

    // Initiate for owner; the caller shows the dialog modal and then reads GotTemplate.
    void Initiate(int mode, TedsDocument& owner);
    bool GotTemplate() const { return model.GotTemplate(); }

    // TemplateDialogHook
    void prepareForTemplate(TedsDocument& owner, int templateIndex, bool matched) override;

    NewRemapModel model;

    // --- Controls, named as the program names them ---------------------------------------
    QGroupBox* ugidFrame = nullptr;
    QComboBox* UgidSelector = nullptr;
    QLabel* Label5 = nullptr;
    QGroupBox* TemplateFrame = nullptr;
    QComboBox* SelectTemplate = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* Manufacturers = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ManufacturerField = nullptr;
    QLabel* Label4 = nullptr;
    AbstractControl* Abstract1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* UTID = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Usedbits = nullptr;
    QGroupBox* cmdFrame = nullptr;
    QPushButton* Cancel_Button = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* nofocus = nullptr;
    QPushButton* CopyManu_template = nullptr;

    // Shows the model in the controls.
    void sync();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildUi();
    void connectControls();
    void Remap_Nofocus();
    void fill(QComboBox* c, const std::vector<std::string>& items, int selected);

    bool syncing_ = false;
    int listListener_ = 0;
    std::map<const QComboBox*, std::vector<std::string>> shown_;  // entries each box holds
};

} // namespace editor
