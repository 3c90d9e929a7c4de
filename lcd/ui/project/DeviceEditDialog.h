#pragma once
// "设备编辑": the device catalogue of the settings directory. A name is chosen or typed in
// the name picker; "保存" adds a device under a new name (a type is changed by deleting
// and adding it again), "删除" removes the named one, "新建" clears the pickers for a new
// name, "退出" closes. Every change is saved at once.

#include <QDialog>

#include "project/DeviceCatalogue.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

class DeviceEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit DeviceEditDialog(Messenger& messenger, QWidget* parent = nullptr);

    const DeviceCatalogue& catalogue() const { return m_catalogue; }
    QComboBox* namePicker() const { return m_name; }
    QComboBox* colourPicker() const { return m_colours; }
    QCheckBox* bitmapBox() const { return m_bitmaps; }
    QSpinBox* logicalX() const { return m_logX; }
    QSpinBox* logicalY() const { return m_logY; }
    QDoubleSpinBox* physicalX() const { return m_physX; }
    QDoubleSpinBox* physicalY() const { return m_physY; }

    void newDevice();
    void saveDevice();
    void deleteDevice();

private:
    void showDevice(const QString& name);

    Messenger& m_messenger;
    DeviceCatalogue m_catalogue;
    QComboBox* m_name = nullptr;
    QComboBox* m_colours = nullptr;
    QCheckBox* m_bitmaps = nullptr;
    QSpinBox* m_logX = nullptr;
    QSpinBox* m_logY = nullptr;
    QDoubleSpinBox* m_physX = nullptr;
    QDoubleSpinBox* m_physY = nullptr;
};
