#pragma once
// The dialogs that make something for one device of the catalogue: "新建工程" (device,
// project name, storage folder), "新建页面" (device, page name) and "页面转换" (device).
// The device picker "设备型号：" lists the catalogue and fills the read-only fields of the
// chosen device; OK is taken only when the core's checks accept the choice.

#include <QDialog>

#include "project/DeviceCatalogue.h"
#include "project/Workspace.h"

class QComboBox;
class QLineEdit;
class Messenger;

class DeviceChoiceDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { NewProject, NewPage, ConvertPage };
    DeviceChoiceDialog(Kind kind, Messenger& messenger, QWidget* parent = nullptr);

    // With an empty catalogue it says so and returns Rejected without showing.
    int exec() override;
    void accept() override;

    NewProjectChoice projectChoice() const;
    NewPageChoice pageChoice() const;
    ScreenParams screen() const;
    bool bitmaps() const;

    QComboBox* devicePicker() const { return m_device; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* pathEdit() const { return m_path; }
    // The read-only fields, top to bottom: physical X and Y, logical X and Y, colours,
    // bitmap support.
    QList<QLineEdit*> fields() const { return m_fields; }

private:
    void showDevice(int index);
    void browse();

    Kind m_kind;
    DeviceCatalogue m_catalogue;
    QComboBox* m_device = nullptr;
    QList<QLineEdit*> m_fields;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_path = nullptr;
};

// "页面名称": the name of a new page of the open project. OK is refused, the dialog
// staying open, for an empty name or one whose ".pg" completion the project refuses.
class PageNameDialog : public QDialog {
    Q_OBJECT
public:
    PageNameDialog(const Workspace& workspace, QWidget* parent = nullptr);
    void accept() override;
    QString name() const;
    QLineEdit* nameEdit() const { return m_name; }

private:
    const Workspace& m_workspace;
    QLineEdit* m_name = nullptr;
};
