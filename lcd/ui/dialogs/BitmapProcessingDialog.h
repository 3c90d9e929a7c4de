#pragma once
// "位图处理": a BMP picture converted to the module's pixel bytes at a chosen size and colour
// count and written as C-array text. "使用控制位" is offered for 64 colours only; ticked, the
// control mode (h, l) goes into bits 5 and 2 of every byte.

#include <QDialog>

#include "ui/FileQuestion.h"

class Messenger;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class BitmapProcessingDialog : public QDialog {
    Q_OBJECT
public:
    // The choices of the two combos, in their order.
    static constexpr int kSizes[][2] = {{320, 234}, {320, 240}, {640, 480},
                                        {800, 480}, {800, 600}, {-1, -1}};
    static constexpr int kColours[] = {8, 64, 256, 16, 14};
    static constexpr int kColours64 = 1;

    BitmapProcessingDialog(Messenger& messenger, FileChooser chooser, QWidget* parent = nullptr);

    QComboBox* sizeList() const { return m_size; }
    QComboBox* colourList() const { return m_colours; }
    QCheckBox* controlCheck() const { return m_control; }
    QComboBox* modeList() const { return m_mode; }
    QLabel* modeLabel() const { return m_modeLabel; }
    QLineEdit* pathEdit() const { return m_path; }
    QPushButton* extractButton() const { return m_extract; }

    // "提取": true when the text file was written.
    bool extract();

private:
    void colourChosen(int index);
    void showMode(bool shown);

    Messenger& m_messenger;
    FileChooser m_chooser;
    QComboBox* m_size;
    QComboBox* m_colours;
    QCheckBox* m_control;
    QLabel* m_modeLabel;
    QComboBox* m_mode;
    QLineEdit* m_path;
    QPushButton* m_extract;
};
